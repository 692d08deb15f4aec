// libFuzzer target for the URL Grabber's handling of a fetched page, which any web server controls:
// the decoding a fetch applies, the base tag, the two-pass scanner and the link pipeline with its
// resolution, scope test, filter and duplicate test.
//
// The first input byte picks the page URL, the scope and whether a filter applies; the rest is the
// page body. Besides crashes it checks what must hold for every page: the list gains only new,
// non-empty lines without a fragment, the count says how many, and a base reference is page text. Run it with
// -max_len=1048576 to see that a page of a megabyte stays linear (no time-out).
#include "grabber/linkpipeline.h"
#include "grabber/urllistappender.h"
#include "platform/textencoding.h"
#include "settings/textlines.h"

#include <QSet>
#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

const char* const kPageUrls[] = {
    "http://www.site.test/first/second/doc.html",
    "https://site.test:8443/dir/",
    "http://127.0.0.1",
    "",
    "ftp://files.test/pub/",
};

class CheckedList final : public hl::UrlListAccess {
public:
    QStringList Lines() const override { return lines; }
    void AppendLines(const QStringList& links) override {
        for (const QString& link : links) {
            require(!link.isEmpty() && !link.contains(QLatin1Char('#')));
            require(!seen.contains(link));
            seen.insert(link);
        }
        lines += links;
    }
    QStringList lines{QStringLiteral("http://www.site.test/first/second/")};
    QSet<QString> seen{QStringLiteral("http://www.site.test/first/second/")};
};

class AppendingSink final : public hl::LinkSink {
public:
    explicit AppendingSink(hl::UrlListAppender& appender) : appender_(appender) {}
    void Found(const QString& link) override { appender_.Ekle({link}); }

private:
    hl::UrlListAppender& appender_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t choice = data[0];
    const QByteArray body(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString page = hl::TerminateLines(hl::DecodeTextFile(body).text, hl::LineBreak::CrLf);

    hl::GrabCriteria criteria;
    criteria.boxUrl = QString::fromLatin1(kPageUrls[choice % std::size(kPageUrls)]);
    criteria.scope = static_cast<hl::GrabScope>((choice / 8) % 3);
    if (choice & 0x80) criteria.filter = QStringLiteral("ZIP");

    CheckedList list;
    hl::UrlListAppender appender(list);
    AppendingSink sink(appender);
    hl::CollectLinks(page, criteria.boxUrl, criteria, sink);
    require(appender.AddedLinkCount() == static_cast<quint64>(list.lines.size() - 1));
    const QString base = hl::GetBaseHref(page);
    require(base.isEmpty() || page.contains(base));
    return 0;
}
