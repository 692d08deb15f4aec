#include "settings/textlines.h"

namespace hl {
namespace {

// Finds line breaks with the vectorised single-character search of the view: the next CR and the
// next LF are looked up once and remembered until the scan passes them, so the text is read about
// twice in all rather than character by character.
template <typename View> class BreakFinder {
public:
    explicit BreakFinder(View text) : text_(text) {}

    // The position of the next CR or LF at or after `from`, or -1.
    qsizetype next(qsizetype from) {
        if (cr_ != -1 && cr_ < from) cr_ = text_.indexOf('\r', from);
        if (lf_ != -1 && lf_ < from) lf_ = text_.indexOf('\n', from);
        if (cr_ == -1) return lf_;
        return lf_ == -1 ? cr_ : qMin(cr_, lf_);
    }

private:
    View text_;
    qsizetype cr_ = -2;
    qsizetype lf_ = -2;
};

// The length of the line break at `at` (2 for CR LF); `at` holds a CR or an LF.
template <typename View> qsizetype breakLength(View text, qsizetype at) {
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

// Calls lineFound(line) for each line of `text`, then returns whether the text ended with a break.
template <typename View, typename LineFound> bool forEachLine(View text, LineFound lineFound) {
    BreakFinder<View> breaks(text);
    qsizetype start = 0;
    for (qsizetype at = breaks.next(0); at >= 0; at = breaks.next(start)) {
        lineFound(text.sliced(start, at - start));
        start = at + breakLength(text, at);
    }
    if (start < text.size()) lineFound(text.sliced(start));
    return start == text.size() && !text.isEmpty();
}

// Every line of `text` followed by `lineBreak`; without `terminateLast` the last line keeps the
// break it had, so the text's lines stay exactly as they were.
template <typename Result, typename View>
Result rewriteBreaks(View text, QLatin1String lineBreak, bool terminateLast) {
    Result result;
    result.reserve(text.size() + text.size() / 16 + lineBreak.size());
    const bool endsWithBreak = forEachLine(text, [&](View line) {
        result.append(line);
        result.append(lineBreak);
    });
    if (!terminateLast && !text.isEmpty() && !endsWithBreak) result.chop(lineBreak.size());
    return result;
}

} // namespace

QLatin1String LineBreakText(LineBreak lineBreak) {
    switch (lineBreak) {
    case LineBreak::Lf:
        return QLatin1String("\n");
    case LineBreak::Cr:
        return QLatin1String("\r");
    case LineBreak::CrLf:
        break;
    }
    return QLatin1String("\r\n");
}

LineBreak DetectLineBreak(QStringView text) {
    const qsizetype at = BreakFinder<QStringView>(text).next(0);
    if (at < 0) return LineBreak::CrLf;
    if (text[at] == QLatin1Char('\n')) return LineBreak::Lf;
    return breakLength(text, at) == 2 ? LineBreak::CrLf : LineBreak::Cr;
}

QStringList SplitLines(QStringView text) {
    QStringList lines;
    forEachLine(text, [&](QStringView line) { lines.append(line.toString()); });
    return lines;
}

QString ReplaceLineBreaks(QStringView text, LineBreak lineBreak) {
    return rewriteBreaks<QString>(text, LineBreakText(lineBreak), false);
}

QString TerminateLines(QStringView text, LineBreak lineBreak) {
    return rewriteBreaks<QString>(text, LineBreakText(lineBreak), true);
}

QByteArray TerminateLines(QByteArrayView text, LineBreak lineBreak) {
    return rewriteBreaks<QByteArray>(text, LineBreakText(lineBreak), true);
}

} // namespace hl
