#include "protocols/httpexceptions.h"
#include "services/postform.h"
#include "support/httpscript.h"
#include "support/makerstandin.h"
#include "support/nonamesresolver.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

QString post(const test::ScriptedServer& server, const QStringList& fields = {QStringLiteral("cmd=x")}) {
    return PostForm(server.url(QStringLiteral("/form")), fields, 5000, test::noNamesResolver());
}

TEST(PostForm, PostsTheEncodedFieldsAndReturnsTheBodyInItsCharset) {
    test::ScriptedServer server(test::answerEachRequest([](const QByteArray&) {
        return test::httpReply("HTTP/1.1 200 OK", "Content-Type: text/plain; charset=ISO-8859-1\r\n",
                               "\xE9t\xE9");
    }));
    EXPECT_EQ(post(server, {QStringLiteral("a=1 2&3"), QStringLiteral("b=\u00E9\r")}),
              QStringLiteral("\u00E9t\u00E9"));
    server.waitIdle();
    const QByteArray request = server.received().at(0);
    EXPECT_EQ(test::requestLine(request), "POST /form HTTP/1.1");
    EXPECT_EQ(test::headerValue(request, "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_TRUE(request.endsWith("\r\n\r\na=1+2%263&b=%C3%A9%0D"));
}

TEST(PostForm, PlainHttpTakesAnErrorStatusAsAnError) {
    test::ScriptedServer server(test::answerEachRequest(
        [](const QByteArray&) { return test::httpReply("HTTP/1.1 503 Busy", "", "try later"); }));
    try {
        post(server);
        FAIL() << "no error";
    } catch (const EIdHTTPProtocolException& error) {
        EXPECT_EQ(error.ErrorCode, 503);
        EXPECT_EQ(error.ErrorMessage, QStringLiteral("try later"));
    }
}

// A hostile or broken server must not make the program hold or read an unbounded reply.
TEST(PostForm, AReplyBodyBeyondTheLimitIsAnError) {
    const QByteArray overLimit(kFormReplyLimit + 1, 'x');
    const QByteArray replies[] = {
        test::httpReply("HTTP/1.1 200 OK", "", overLimit),
        // announced far beyond memory, nothing sent: refused before any room is made for it
        "HTTP/1.1 200 OK\r\nContent-Length: 1000000000000000\r\n\r\n",
        "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + overLimit,
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10001\r\n" + overLimit.left(0x10001) +
            "\r\n0\r\n\r\n",
        // an error status's body is counted as well, rather than read to its end
        "HTTP/1.1 500 Oops\r\nContent-Length: 1000000000000000\r\n\r\n" + overLimit + overLimit,
    };
    for (const QByteArray& reply : replies) {
        test::ScriptedServer server([&](test::ScriptedConnection& connection) {
            connection.readHead();
            connection.send(reply);
            connection.waitForClientClose(5000);
        });
        EXPECT_THROW(post(server), EFormReplyTooLarge) << reply.left(60).toStdString();
    }
    test::ScriptedServer atLimit(test::answerEachRequest([](const QByteArray&) {
        return test::httpReply("HTTP/1.1 200 OK", "", QByteArray(kFormReplyLimit, 'y'));
    }));
    EXPECT_EQ(post(atLimit).size(), kFormReplyLimit);
}

TEST(PostToMakerServer, FallsBackToHttpOnlyWhenHttpsFails) {
    test::MakerStandIn maker([](const QByteArray&) { return test::httpReply("HTTP/1.1 200 OK", "", "OK"); });
    EXPECT_EQ(PostToMakerServer(maker.server(), QStringLiteral("/p"), {QStringLiteral("a=b")}, 5000),
              QStringLiteral("OK"));
    maker.waitIdle();
    EXPECT_EQ(maker.tlsAttempts(), 1);
    EXPECT_EQ(maker.requests().size(), 1);

    test::MakerStandIn silent([](const QByteArray&) { return QByteArray(); });
    EXPECT_EQ(PostToMakerServer(silent.server(), QStringLiteral("/p"), {}, 5000), std::nullopt);

    MakerServer unknown{QStringLiteral("maker.invalid"), test::noNamesResolver()};
    EXPECT_EQ(PostToMakerServer(unknown, QStringLiteral("/p"), {}, 5000), std::nullopt);
}

} // namespace
} // namespace hl
