#include "services/feedback.h"
#include "services/postform.h"
#include "support/nginxserver.h"
#include "support/nonamesresolver.h"
#include "support/qtprinters.h"
#include "support/scriptedserver.h"
#include "support/tcprelay.h"
#include "support/testcertificate.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// nginx over TLS: /echo answers with what the request said about its connection and content;
// /fail answers with an error status and a body; /php/feedback.php answers "OK" in line breaks.
test::NginxOptions makerSite() {
    const test::TestCertificate& certificate = test::testCertificate();
    return {
        QStringLiteral("location /echo { return 200 \"$http_connection|$content_type|$request_method\"; }\n"
                       "location /fail { return 500 \"ERROR: maintenance\"; }\n"
                       "location /php/feedback.php { return 200 \"\\r\\nOK\\r\\n\"; }\n"
                       "location /no/php/feedback.php { return 200 \"Not now\"; }\n"),
        certificate.certificateFile, certificate.keyFile};
}

class HttpsPost : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nginx.started()) << nginx.log().toStdString(); }
    QString post(const QString& path) {
        return PostForm(nginx.url(path), {QStringLiteral("a=b")}, 5000, test::noNamesResolver());
    }

    test::NginxServer nginx{makerSite()};
};

TEST_F(HttpsPost, AsksToCloseTheConnectionAndTakesAnErrorStatusAsTheAnswer) {
    ASSERT_TRUE(nginx.url(QStringLiteral("/")).startsWith(QStringLiteral("https://")));
    EXPECT_EQ(post(QStringLiteral("/echo")), QStringLiteral("close|application/x-www-form-urlencoded|POST"));
    EXPECT_EQ(post(QStringLiteral("/fail")), QStringLiteral("ERROR: maintenance"));
}

// Every connection to the relay is passed on to nginx and counted: an attempt over http after the
// https answer would show as a second connection.
TEST_F(HttpsPost, FeedbackIsReceivedOnlyForOKAndAnHttpsAnswerIsNeverTriedAgainOverHttp) {
    const quint16 nginxPort = nginx.port();
    test::ScriptedServer relay([nginxPort](test::ScriptedConnection& connection) {
        test::relayToLoopback(connection.descriptor(), nginxPort);
    });
    const QString host = QStringLiteral("127.0.0.1:") + QString::number(relay.port());

    EXPECT_TRUE(SendFeedback({host, test::noNamesResolver()}, {QStringLiteral("cmd=feedback")}));
    EXPECT_FALSE(SendFeedback({host + QStringLiteral("/no"), test::noNamesResolver()}, {}));
    relay.waitIdle();
    EXPECT_EQ(relay.connectionCount(), 2);
}

} // namespace
} // namespace hl
