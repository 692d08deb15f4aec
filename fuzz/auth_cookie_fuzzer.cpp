// libFuzzer target for the header values a server sends to authenticate and to keep state: the
// challenges of WWW-Authenticate (answered by Basic and Digest as the client would) and Set-Cookie
// values with their dates, stored in a cookie jar and sent back.
//
// The input is header text, one value per line; the first byte picks the URL the reply came from.
#include "protocols/httpauthschemes.h"
#include "protocols/httpcookiejar.h"
#include "protocols/httpuri.h"

#include <QStringList>

namespace {

const char* const kOrigins[] = {"http://www.example.test/dir/page", "https://example.test/",
                                "http://127.0.0.1:8080/a/b/c?x", "https://[::1]/x/y/"};

hl::TIdURI origin(uint8_t choice) {
    hl::TIdURI uri;
    hl::mergeURI(uri, hl::parseURI(QLatin1String(kOrigins[choice % 4])));
    return uri;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const hl::TIdURI uri = origin(data[0]);
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QStringList values = text.split(QLatin1Char('\n'));

    hl::StandardAuthSchemes schemes;
    std::unique_ptr<hl::HttpAuthenticator> authenticator;
    for (int round = 0; round < 2; ++round) {
        if (schemes.answer(values, QStringLiteral("user"), QStringLiteral("pass"), authenticator))
            authenticator->headerValue(QStringLiteral("GET"), hl::requestTarget(uri));
    }

    hl::HttpCookieJar jar([] { return QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC); });
    hl::TIdHeaderList headers;
    for (const QString& value : values)
        headers.AddLine(QStringLiteral("Set-Cookie: ") + value);
    jar.storeReplyCookies(uri, headers);
    jar.storeReplyCookies(origin(data[0] + 1), headers);
    for (uint8_t other = 0; other < 4; ++other)
        jar.cookieHeader(origin(other));
    return 0;
}
