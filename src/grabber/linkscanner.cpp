#include "grabber/linkscanner.h"

#include "grabber/asciicase.h"

namespace hl {
namespace {

struct Search {
    QLatin1StringView needle; // lower case
    char16_t terminator;
    LinkValueKind kind;
};

constexpr Search kDoubleQuotePass[] = {
    {QLatin1StringView(" href=\""), u'"', LinkValueKind::Href},
    {QLatin1StringView(" src=\""), u'"', LinkValueKind::Source},
    {QLatin1StringView(" data-src=\""), u'"', LinkValueKind::Source},
    {QLatin1StringView("<loc>"), u'<', LinkValueKind::SitemapLoc},
};

constexpr Search kSingleQuotePass[] = {
    {QLatin1StringView(" href='"), u'\'', LinkValueKind::Href},
    {QLatin1StringView(" src='"), u'\'', LinkValueKind::Source},
    {QLatin1StringView(" data-src='"), u'\'', LinkValueKind::Source},
    {QLatin1StringView("<loc>"), u'<', LinkValueKind::SitemapLoc},
};

// Runs the four searches of one pass; false when visit ended the scan.
bool runPass(QStringView page, const Search (&searches)[4],
             const std::function<bool(QStringView, LinkValueKind)>& visit) {
    qsizetype remainder = 0; // where the remainder starts in page
    for (const Search& search : searches) {
        for (qsizetype at = IndexOfAsciiCaseless(page, search.needle, remainder); at >= 0;
             at = IndexOfAsciiCaseless(page, search.needle, remainder)) {
            const qsizetype start = at + search.needle.size();
            const qsizetype end = page.indexOf(QChar(search.terminator), start);
            QStringView value;
            if (end < 0) {
                remainder = start;
            } else {
                value = page.sliced(start, end - start);
                remainder = end + 1;
            }
            if (!visit(value, search.kind)) return false;
        }
    }
    return true;
}

} // namespace

QString GetBaseHref(QStringView page) {
    const qsizetype tagStart = IndexOfAsciiCaseless(page, QLatin1StringView("<base "));
    if (tagStart < 0) return {};
    const qsizetype tagEnd = page.indexOf(QLatin1Char('>'), tagStart);
    if (tagEnd < 0) return {};
    const QStringView tag = page.sliced(tagStart, tagEnd + 1 - tagStart);
    const QLatin1StringView href("href=");
    const qsizetype hrefAt = IndexOfAsciiCaseless(tag, href);
    if (hrefAt < 0) return {};
    const qsizetype quoteAt = hrefAt + href.size();
    if (quoteAt >= tag.size()) return {};
    const QChar quote = tag[quoteAt];
    if (quote != QLatin1Char('"') && quote != QLatin1Char('\'')) return {};
    const qsizetype valueEnd = tag.indexOf(quote, quoteAt + 1);
    if (valueEnd < 0) return {};
    return tag.sliced(quoteAt + 1, valueEnd - quoteAt - 1).toString();
}

void ScanLinkValues(QStringView page, const std::function<bool(QStringView, LinkValueKind)>& visit) {
    if (runPass(page, kDoubleQuotePass, visit)) runPass(page, kSingleQuotePass, visit);
}

} // namespace hl
