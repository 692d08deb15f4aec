#pragma once
// Reading the update server's answer and deciding whether it calls for the update notice. Pure.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace hl {

// The lines of an answer: split at CR LF, CR or LF; a line break at the very end starts no line.
QStringList AnswerLines(const QString& answer);

// The value of a line that is exactly "<tag>" value "</tag>" (the tag in lower case, compared with
// case); empty when the line or the tag is empty or the line is not such an element.
QString GetTagValue(QStringView line, QStringView tag);

// Whether a published version text can name a release: digits and dots only, and with the dots
// removed a decimal number within the signed 32-bit range. Never overflows, whatever its length.
bool IsPublishedVersionNumber(QStringView version);

} // namespace hl
