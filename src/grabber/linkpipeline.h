#pragma once
// The link pipeline: what happens to each value the scanner finds, up to the URL list. Pure
// functions over strings; the list itself (and its duplicate test) is reached through LinkSink, so
// that the window and the command line share every step.
#include "grabber/grabscope.h"
#include "grabber/linkscanner.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace hl {

// What the user chose for a grab, read once when it starts.
struct GrabCriteria {
    GrabScope scope = GrabScope::AllDomainNames;
    QString boxUrl; // the URL box's text: the reference of the scope test
    QString filter; // the "Contains:" text as typed (not trimmed); empty: no filter
};

// Receives the links of a scan in page order.
class LinkSink {
public:
    virtual ~LinkSink() = default;
    // A link that passed every step but the duplicate test, which is the list's (UrlListAppender).
    virtual void Found(const QString& link) = 0;
    // Asked between values; true ends the scan early. Any thread may have raised it.
    virtual bool StopRequested() const { return false; }
};

class LinkPipeline {
public:
    explicit LinkPipeline(const GrabCriteria& criteria);

    // One value through the pipeline: the base step, the script-link test, the page step, the
    // fragment cut, the scope test and the "Contains:" filter (A-Z compared without case). The link
    // to append (if it is not listed yet), or nothing when a step rejected it. An empty page URL and
    // an empty base leave the value unresolved.
    std::optional<QString> ProcessLink(QStringView value, const QString& pageUrl,
                                       const QString& baseHref) const;
    // ProcessLink with what a value found as `kind` is resolved against: an href that begins with
    // "mailto:" (any letter case) stays as written, a sitemap <loc> ignores the base tag.
    std::optional<QString> ProcessFound(QStringView value, LinkValueKind kind, const QString& pageUrl,
                                        const QString& baseHref) const;

private:
    ScopeTest scope_;
    QString lowerFilter_;
};

// Scans a page (its text and the URL it came from) and hands every link that the pipeline keeps to
// sink, in page order, until the page ends or sink asks to stop. An empty page yields nothing.
void CollectLinks(const QString& page, const QString& pageUrl, const GrabCriteria& criteria, LinkSink& sink);

} // namespace hl
