#pragma once
// Lines of list text and their line-break styles.
#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace hl {

enum class LineBreak { CrLf, Lf, Cr };

// "\r\n", "\n" or "\r".
QLatin1String LineBreakText(LineBreak lineBreak);

// The style of the first line break in `text`; CR LF when there is none.
LineBreak DetectLineBreak(QStringView text);

// The lines of `text`, split at CR LF, LF and CR. A break at the very end starts no further line:
// "" has no lines, "a\n" one, "a\n\n" two (the second empty).
QStringList SplitLines(QStringView text);

// `text` with every line break (CR LF, LF or CR) replaced by `lineBreak`.
QString ReplaceLineBreaks(QStringView text, LineBreak lineBreak);

// The lines of `text` (as SplitLines finds them), each followed by `lineBreak`. The byte form is for
// encodings in which CR and LF are single ASCII bytes (UTF-8, the ANSI code page).
QString TerminateLines(QStringView text, LineBreak lineBreak);
QByteArray TerminateLines(QByteArrayView text, LineBreak lineBreak);

} // namespace hl
