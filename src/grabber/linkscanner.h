#pragma once
// Finds the link values of a page by plain text search, not by parsing HTML or XML: quoted href,
// src and data-src attributes and sitemap <loc> elements, found by case-insensitive (A-Z only)
// search for fixed needles in the raw text. There is no tolerance for other white space (an
// attribute after a line break or with blanks around "=" is not found) and no entity decoding.
// Every function is linear in the size of the page.
#include <QString>
#include <QStringView>
#include <functional>

namespace hl {

// Where a value was found; decides what it is resolved against (see linkpipeline.h).
enum class LinkValueKind {
    Href,       // " href=" and a quote
    Source,     // " src=" or " data-src=" and a quote
    SitemapLoc, // "<loc>"
};

// The href of the page's first "<base " tag: quoted with " or ', as written. Empty when there is no
// such tag, no ">" closes it, it has no "href=", or the value is unquoted or unterminated.
QString GetBaseHref(QStringView page);

// Calls visit with every value of the page, in this order. Two passes, the first for values in
// double quotes, the second for values in single quotes; each pass runs four searches (" href=",
// " src=", " data-src=" with the pass's quote, then "<loc>" up to the next "<") over a remainder
// that starts as the whole page and loses its front up to each value's terminator. The searches of
// a pass share the remainder, so " src=" sees only what follows the pass's last href value, and so
// on. A value without terminator is empty, and the remainder then continues right after its
// needle. The value is a view into page. visit returns false to end the scan early.
void ScanLinkValues(QStringView page,
                    const std::function<bool(QStringView value, LinkValueKind kind)>& visit);

} // namespace hl
