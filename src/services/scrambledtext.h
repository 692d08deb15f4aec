#pragma once
// A reversible scramble for a value that the per-user store should not show in plain text (the
// download link of the last update answer). It hides the text from a casual look; it is no
// protection against anyone who wants to read it.
#include <QString>

namespace hl {

// The UTF-8 bytes of text, each combined with the next byte of a fixed key stream, as upper-case
// hexadecimal. Pure.
QString ScrambleText(const QString& text);

// The text that ScrambleText turned into `scrambled`; empty when `scrambled` is not such a text
// (odd length or a character that is not a hexadecimal digit). Pure.
QString UnscrambleText(const QString& scrambled);

} // namespace hl
