#include "grabber/linkpipeline.h"

#include "grabber/asciicase.h"
#include "grabber/urlresolution.h"

namespace hl {
namespace {

const QLatin1StringView kScriptPrefix("javascript:");

// How many values pass between two looks at the sink's stop request.
constexpr int kStopCheckInterval = 1024;

} // namespace

LinkPipeline::LinkPipeline(const GrabCriteria& criteria)
    : scope_(criteria.scope, criteria.boxUrl), lowerFilter_(AsciiLower(criteria.filter)) {}

std::optional<QString> LinkPipeline::ProcessLink(QStringView value, const QString& pageUrl,
                                                 const QString& baseHref) const {
    // A script link is dropped however the base tag would have dressed it up: resolved against a
    // base it would no longer begin with "javascript:".
    if (value.startsWith(kScriptPrefix)) return std::nullopt;
    QString link = ResolveAgainstBase(value.toString(), pageUrl, baseHref);
    if (link.startsWith(kScriptPrefix)) return std::nullopt;
    link = ResolveAgainstPage(link, pageUrl);
    const qsizetype fragment = link.indexOf(QLatin1Char('#'));
    if (fragment >= 0) link.truncate(fragment);
    if (!scope_.keeps(link) || link.isEmpty()) return std::nullopt;
    if (!lowerFilter_.isEmpty() && !AsciiLower(link).contains(lowerFilter_)) return std::nullopt;
    return link;
}

std::optional<QString> LinkPipeline::ProcessFound(QStringView value, LinkValueKind kind,
                                                  const QString& pageUrl, const QString& baseHref) const {
    switch (kind) {
    case LinkValueKind::Href:
        if (StartsWithAsciiCaseless(value, QLatin1StringView("mailto:"))) return ProcessLink(value, {}, {});
        return ProcessLink(value, pageUrl, baseHref);
    case LinkValueKind::Source:
        return ProcessLink(value, pageUrl, baseHref);
    case LinkValueKind::SitemapLoc:
        break;
    }
    return ProcessLink(value, pageUrl, {});
}

void CollectLinks(const QString& page, const QString& pageUrl, const GrabCriteria& criteria, LinkSink& sink) {
    const LinkPipeline pipeline(criteria);
    const QString baseHref = GetBaseHref(page);
    int untilStopCheck = kStopCheckInterval;
    ScanLinkValues(page, [&](QStringView value, LinkValueKind kind) {
        if (const std::optional<QString> link = pipeline.ProcessFound(value, kind, pageUrl, baseHref))
            sink.Found(*link);
        if (--untilStopCheck > 0) return true;
        untilStopCheck = kStopCheckInterval;
        return !sink.StopRequested();
    });
}

} // namespace hl
