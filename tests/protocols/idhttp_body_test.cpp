#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "support/compression.h"
#include "support/httpscript.h"
#include "support/tempdir.h"
#include "testclient.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

using test::answerEachRequest;
using test::headerValue;
using test::httpReply;
using test::requestLine;
using test::ScriptedConnection;
using test::ScriptedServer;
using test::TestClient;

// Sends head and the first bytes of a body, then closes.
ScriptedServer::Script cutShort(QByteArray bytes) {
    return [bytes = std::move(bytes)](ScriptedConnection& c) {
        c.readHead();
        c.send(bytes);
    };
}

TEST(HttpBodies, ContentLengthShortfallFailsAndTheFileHoldsExactlyWhatArrived) {
    const QByteArray arrived(600, 'x');
    ScriptedServer server(cutShort("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + arrived));
    TestClient http;
    test::TempDir dir;
    TFileStream file(dir.file(QStringLiteral("f.part")), TFileStream::Mode::Create);
    EXPECT_THROW(http.Get(server.url(), &file), EIdConnClosedGracefully);
    EXPECT_EQ(file.Size(), 600);
    EXPECT_EQ(dir.read(QStringLiteral("f.part")), arrived);
}

TEST(HttpBodies, ChunkedShortfallFailsWithTheChunksThatArrived) {
    ScriptedServer server(cutShort("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n64\r\n" +
                                   QByteArray(50, 'y')));
    TestClient http;
    TMemoryStream destination;
    try {
        http.Get(server.url(), &destination);
        FAIL() << "no exception";
    } catch (const EIdConnClosedGracefully& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Connection Closed Gracefully."));
    }
    EXPECT_EQ(destination.Data(), "abc" + QByteArray(50, 'y'));
}

TEST(HttpBodies, ChunkedBodyWithExtensionsAndTrailersIsReadWhole) {
    const QByteArray framed =
        "4;name=value\r\nWiki\r\n5\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n0\r\nX-Checksum: 42\r\n\r\n";
    ScriptedServer server(answerEachRequest(
        [&](const QByteArray&) { return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + framed; }));
    TestClient http;
    qint64 lastCount = 0;
    http.OnWork = [&](TWorkMode mode, qint64 count) {
        EXPECT_EQ(mode, wmRead);
        EXPECT_GT(count, lastCount);
        lastCount = count;
    };
    TMemoryStream destination;
    http.Get(server.url(), &destination);
    EXPECT_EQ(destination.Data(), "Wikipedia in\r\n\r\nchunks.");
    EXPECT_EQ(http.Response.RawHeaders.Value(QStringLiteral("X-Checksum")), QStringLiteral("42"));
    EXPECT_EQ(lastCount, framed.size()); // size lines and line ends count as received
}

TEST(HttpBodies, MalformedChunkFramingIsAnErrorNotAnEarlyEnd) {
    for (const QByteArray& framing :
         {QByteArray("3\r\nabc\r\nzz\r\nmore\r\n0\r\n\r\n"), QByteArray("3\r\nabcdef\r\n0\r\n\r\n")}) {
        ScriptedServer server(cutShort("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + framing));
        TestClient http;
        TMemoryStream destination;
        EXPECT_THROW(http.Get(server.url(), &destination), EIdHTTPInvalidChunk) << framing.constData();
    }
}

TEST(HttpBodies, BodyWithoutLengthEndsAtCloseOrAtTheMultipartBoundary) {
    ScriptedServer untilClose(cutShort("HTTP/1.1 200 OK\r\n\r\nall of it"));
    TestClient http;
    TMemoryStream whole;
    http.Get(untilClose.url(), &whole);
    EXPECT_EQ(whole.Data(), "all of it");

    const QByteArray parts = "--xyz\r\nContent-Type: text/plain\r\n\r\npart\r\n--xyz--";
    ScriptedServer multipart([&](ScriptedConnection& c) {
        c.readHead();
        c.send("HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=\"xyz\"\r\n\r\n" + parts +
               " epilogue\r\nnot body");
        c.waitForClientClose(2000);
    });
    TMemoryStream mixed;
    http.Get(multipart.url(), &mixed);
    EXPECT_EQ(mixed.Data(), parts);
}

TEST(HttpBodies, RangeAnswered200IsWrittenAtThePositionAnd416IsAnError) {
    ScriptedServer server(answerEachRequest([](const QByteArray& request) {
        return requestLine(request).contains("/gone")
                   ? httpReply("HTTP/1.1 416 Range Not Satisfiable", "", "")
                   : httpReply("HTTP/1.1 200 OK", "", "WHOLE BODY");
    }));
    TestClient http;
    http.Request.Range = QStringLiteral("4-");
    TMemoryStream destination;
    destination.Write(QByteArray("0123456789"));
    destination.Seek(4);
    http.Get(server.url(QStringLiteral("/file")), &destination);
    EXPECT_EQ(destination.Data(), "0123WHOLE BODY");

    destination.Seek(4);
    try {
        http.Get(server.url(QStringLiteral("/gone")), &destination);
        FAIL() << "no exception";
    } catch (const EIdHTTPProtocolException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("HTTP/1.1 416 Range Not Satisfiable"));
        EXPECT_EQ(e.ErrorCode, 416);
    }
    EXPECT_EQ(destination.Data(), "0123WHOLE BODY");
}

struct EncodingCase {
    const char* contentEncoding;
    QByteArray (*encode)(const QByteArray&);
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
    *os << c.contentEncoding;
}

class HttpContentEncodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(HttpContentEncodings, AreDecodedWithACompressorAndKeptAsReceivedWithout) {
    const QByteArray plain = QByteArray("compressible text ").repeated(500);
    const QByteArray encoded = GetParam().encode(plain);
    ScriptedServer server(answerEachRequest([&](const QByteArray&) {
        return httpReply("HTTP/1.1 200 OK",
                         QByteArray("Content-Encoding: ") + GetParam().contentEncoding + "\r\n", encoded);
    }));
    TestClient http;
    TMemoryStream asReceived;
    http.Get(server.url(), &asReceived);
    EXPECT_EQ(asReceived.Data(), encoded);

    http.Compressor = std::make_shared<TIdCompressorZLib>();
    qint64 reported = 0;
    http.OnWork = [&](TWorkMode, qint64 count) { reported = count; };
    TMemoryStream decoded;
    http.Get(server.url(), &decoded);
    EXPECT_EQ(decoded.Data(), plain);
    EXPECT_EQ(reported, encoded.size()); // progress counts the bytes on the wire

    http.Disconnect();
    server.waitIdle();
    const auto requests = test::splitRequests(server.received().at(0));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(headerValue(requests[0], "Accept-Encoding"), "");
    EXPECT_EQ(headerValue(requests[1], "Accept-Encoding"), "deflate, gzip, identity");
}

INSTANTIATE_TEST_SUITE_P(Codings, HttpContentEncodings,
                         ::testing::Values(EncodingCase{"gzip", test::gzipBytes},
                                           EncodingCase{"deflate", test::zlibBytes},
                                           EncodingCase{"Deflate", test::rawDeflateBytes}),
                         [](const auto& info) {
                             // "deflate" comes twice: as zlib data and as raw deflate data.
                             return std::string(info.param.contentEncoding) + "_" +
                                    std::to_string(info.index);
                         });

TEST(HttpBodies, CorruptGzipBodyFailsAndLeavesNothingBehind) {
    QByteArray encoded = test::gzipBytes(QByteArray("payload ").repeated(100));
    encoded[encoded.size() - 6] =
        static_cast<char>(encoded[encoded.size() - 6] ^ 0x55); // CRC-32 of the trailer
    ScriptedServer server(answerEachRequest([&](const QByteArray&) {
        return httpReply("HTTP/1.1 200 OK", "Content-Encoding: gzip\r\n", encoded);
    }));
    TestClient http;
    http.Compressor = std::make_shared<TIdCompressorZLib>();
    TMemoryStream destination;
    destination.Write(QByteArray("old"));
    try {
        http.Get(server.url(), &destination);
        FAIL() << "no exception";
    } catch (const EDecompressionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ZLib Error (-3)"));
    }
    EXPECT_EQ(destination.Data(), "old");
}

TEST(HttpBodies, WorkIsReportedPerBodyAndNotForHead) {
    ScriptedServer server(answerEachRequest(
        [](const QByteArray&) { return httpReply("HTTP/1.1 200 OK", "", QByteArray(100000, 'w')); }));
    TestClient http;
    std::vector<std::pair<TWorkMode, qint64>> begins;
    std::vector<qint64> counts;
    int ends = 0;
    http.OnWorkBegin = [&](TWorkMode mode, qint64 max) { begins.emplace_back(mode, max); };
    http.OnWork = [&](TWorkMode, qint64 count) { counts.push_back(count); };
    http.OnWorkEnd = [&](TWorkMode mode) {
        EXPECT_EQ(mode, wmRead);
        ++ends;
    };
    http.Head(server.url());
    EXPECT_TRUE(begins.empty());
    EXPECT_TRUE(counts.empty());

    http.Get(server.url(), nullptr);
    ASSERT_EQ(begins.size(), 1u);
    EXPECT_EQ(begins[0], std::make_pair(wmRead, qint64(100000)));
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), 100000);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_EQ(ends, 1);
}

TEST(HttpBodies, DisconnectFromOnWorkAbortsWithTheBytesReceivedSoFar) {
    ScriptedServer server([](ScriptedConnection& c) {
        c.readHead();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + QByteArray(5000, 'a'));
        c.waitForClientClose(2000);
    });
    TestClient http;
    TMemoryStream destination;
    http.OnWork = [&](TWorkMode, qint64) { http.Disconnect(); };
    try {
        http.Get(server.url(), &destination);
        FAIL() << "no exception";
    } catch (const EIdNotConnected& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Not Connected"));
    }
    EXPECT_GT(destination.Size(), 0);
    EXPECT_LE(destination.Size(), 5000);
    EXPECT_EQ(destination.Data(), QByteArray(destination.Size(), 'a'));
    EXPECT_FALSE(http.Connected());
}

TEST(HttpBodies, ProtocolErrorsCarryTheStatusLineAndKeepTheBodyOutOfTheDestination) {
    struct Case {
        QByteArray reply;
        const char* message;
        int code;
    };
    const Case cases[] = {
        {httpReply("HTTP/1.1 404 Not Found", "Content-Type: text/plain; charset=utf-8\r\n",
                   "nicht gefunden \xC3\xA4"),
         "HTTP/1.1 404 Not Found", 404},
        {httpReply("HTTP/1.0 503 Service Unavailable", "", "busy"), "HTTP/1.0 503 Service Unavailable", 503},
        {httpReply("HTTP/1.1 OK", "", "?"), "HTTP/1.1 OK", -1},
        {httpReply("HTTP/1.1 304 Not Modified", "", ""), "HTTP/1.1 304 Not Modified", 304},
    };
    for (const Case& c : cases) {
        ScriptedServer server(answerEachRequest([&](const QByteArray&) { return c.reply; }));
        TestClient http;
        TMemoryStream destination;
        try {
            http.Get(server.url(), &destination);
            ADD_FAILURE() << "no exception for " << c.message;
        } catch (const EIdHTTPProtocolException& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(c.message));
            EXPECT_EQ(e.ErrorCode, c.code);
            EXPECT_EQ(http.Response.ResponseCode, c.code);
            if (c.code == 404) {
                EXPECT_EQ(e.ErrorMessage, QStringLiteral("nicht gefunden \u00e4"));
            }
        }
        EXPECT_EQ(destination.Size(), 0) << c.message;
    }
}

TEST(HttpBodies, InformationalRepliesAreSkipped) {
    ScriptedServer server(answerEachRequest([](const QByteArray&) {
        return "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX-A: 1\r\n\r\n" +
               httpReply("HTTP/1.1 200 OK", "", "done");
    }));
    TestClient http;
    TMemoryStream destination;
    http.Get(server.url(), &destination);
    EXPECT_EQ(destination.Data(), "done");
    EXPECT_EQ(http.Response.ResponseText, QStringLiteral("HTTP/1.1 200 OK"));
    EXPECT_FALSE(http.Response.RawHeaders.Contains(QStringLiteral("X-A")));
}

TEST(HttpBodies, HeadersCutShortByACloseAreUsed) {
    ScriptedServer server(
        cutShort("HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=a.zip\r\nX-Part"));
    TestClient http;
    TMemoryStream destination;
    http.Get(server.url(), &destination);
    EXPECT_EQ(http.Response.ContentDisposition, QStringLiteral("attachment; filename=a.zip"));
    EXPECT_EQ(destination.Size(), 0);
    EXPECT_FALSE(http.Connected());
}

TEST(HttpBodies, RepliesBeyondTheLimitsFail) {
    ScriptedServer longLine(cutShort("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(20000, 'l') + "\r\n\r\n"));
    ScriptedServer manyLines(
        cutShort("HTTP/1.1 200 OK\r\n" + QByteArray("X-A: 1\r\n").repeated(300) + "\r\n"));
    ScriptedServer hugeBody(cutShort("HTTP/1.1 200 OK\r\nContent-Length: 9223372036854775807\r\n\r\nabc"));
    TestClient http;
    EXPECT_THROW(http.Get(longLine.url(), nullptr), EIdReadLnMaxLineLengthExceeded);
    EXPECT_THROW(http.Get(manyLines.url(), nullptr), EIdHTTPMaxHeaderLinesExceeded);
    TMemoryStream destination;
    destination.Write(QByteArray("old"));
    EXPECT_THROW(http.Get(hugeBody.url(), &destination), EIdIOHandlerStreamDataTooLarge);
    EXPECT_EQ(destination.Data(), "old");
}

TEST(HttpBodies, OptionsDecideWhetherABodyIsRead) {
    struct Case {
        TIdHTTPOption option;
        const char* method;
        QByteArray reply;
        QByteArray withOption;
        QByteArray without;
    };
    const Case cases[] = {
        {hoNoReadChunked, "GET", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
         "", "ab"},
        {hoNoReadMultipartMIME, "GET",
         "HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b--", "", "--b--"},
        {hoWaitForUnexpectedData, "HEAD", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nab", "ab", ""},
    };
    for (const Case& c : cases) {
        for (const bool set : {true, false}) {
            ScriptedServer server(cutShort(c.reply));
            TestClient http;
            if (set) http.HTTPOptions |= c.option;
            TMemoryStream destination;
            http.DoRequest(QString::fromLatin1(c.method), server.url(), nullptr, &destination);
            EXPECT_EQ(destination.Data(), set ? c.withOption : c.without) << c.option << " set " << set;
        }
    }
}

TEST(HttpBodies, HtmlMetaDeclarationsSetHeadersAndCharset) {
    const QByteArray page =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
        "<META HTTP-EQUIV='Refresh' CONTENT='5; url=/next'></head></html>";
    ScriptedServer server(answerEachRequest([&](const QByteArray&) {
        return httpReply("HTTP/1.1 200 OK", "Content-Type: text/html\r\n", page);
    }));
    TestClient http;
    TMemoryStream destination;
    http.Get(server.url(), &destination);
    EXPECT_EQ(destination.Data(), page);
    EXPECT_EQ(http.Response.CharSet, QStringLiteral("windows-1251"));
    EXPECT_EQ(http.Response.RawHeaders.Value(QStringLiteral("Refresh")), QStringLiteral("5; url=/next"));

    http.HTTPOptions |= hoNoParseMetaHTTPEquiv;
    http.Get(server.url(), nullptr);
    EXPECT_EQ(http.Response.CharSet, QString());
}

} // namespace
} // namespace hl
