// Session resumption and strict certificate verification against Debian's openssl s_server and
// nginx. The session cache belongs to the process, so every test starts servers of its own: a
// fresh port is a server nobody has a session for.
#include "protocols/idhttp.h"
#include "protocols/sslexceptions.h"
#include "protocols/ssliohandlersocketopenssl.h"
#include "support/nginxserver.h"
#include "support/opensslserver.h"
#include "support/testauthority.h"
#include "support/testcertificate.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace hl {
namespace {

const TIdSSLVersions kProgramVersions{TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                      TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2};

TIdSSLOptions programOptions() {
    TIdSSLOptions options;
    options.SetSSLVersions(kProgramVersions);
    return options;
}

TIdSSLOptions strictOptions(const QString& caFile) {
    TIdSSLOptions options = programOptions();
    options.Verification = {true, caFile};
    return options;
}

struct Fetched {
    QByteArray body;
    bool resumed = false;
    QString serverSaysReused; // nginx's $ssl_session_reused, when the server adds it
};

// One GET on a new client and transport, as a download makes it.
Fetched fetch(const QString& url, const TIdSSLOptions& options) {
    auto tls = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
    tls->SSLOptions = options;
    TIdHTTP http;
    http.IOHandler = tls;
    http.ConnectTimeout = 5000;
    http.ReadTimeout = 5000;
    TMemoryStream body;
    http.Get(url, &body);
    return {body.Data(), tls->SessionResumed(),
            http.Response.RawHeaders.Value(QStringLiteral("X-Session-Reused"))};
}

// What s_server's status page says about the session: "New" or "Reused".
QByteArray sessionKind(const QByteArray& page) {
    for (const QByteArray& kind : {QByteArray("New, "), QByteArray("Reused, ")})
        if (page.contains("\n" + kind)) return kind.chopped(2);
    return "(no session line)";
}

QString localUrl(const char* host, quint16 port) {
    return QStringLiteral("https://%1:%2/").arg(QLatin1String(host)).arg(port);
}

struct ResumptionCase {
    const char* name;
    QStringList serverArguments;
    bool resumes;
};

void PrintTo(const ResumptionCase& c, std::ostream* os) {
    *os << c.name;
}

class SessionResumption : public testing::TestWithParam<ResumptionCase> {};

// The first connection makes a full handshake; the next ones resume its session, by ticket or by
// session id, unless the server keeps neither: then every connection makes a full handshake and
// works as before.
TEST_P(SessionResumption, LaterConnectionsResumeWhereTheServerAllows) {
    test::OpenSSLServer server(GetParam().serverArguments);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    const QString url = localUrl("localhost", server.port());
    const QByteArray later = GetParam().resumes ? "Reused" : "New";
    for (int i = 0; i < 3; ++i) {
        const Fetched fetched = fetch(url, programOptions());
        EXPECT_TRUE(fetched.body.contains("Protocol  : TLSv1.2")) << fetched.body.toStdString();
        EXPECT_EQ(sessionKind(fetched.body), i == 0 ? QByteArray("New") : later) << "connection " << i;
        EXPECT_EQ(fetched.resumed, i > 0 && GetParam().resumes) << "connection " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SessionResumption,
    testing::Values(ResumptionCase{"Tickets", {}, true},
                    ResumptionCase{"SessionIds", {QStringLiteral("-no_ticket")}, true},
                    ResumptionCase{
                        "Refused", {QStringLiteral("-no_ticket"), QStringLiteral("-no_cache")}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A session is offered only where it was made: under the same TLS options and server name.
TEST(SessionResumption, IsNeverOfferedUnderOtherOptionsOrAnotherName) {
    test::OpenSSLServer server;
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    const QString byName = localUrl("localhost", server.port());
    TIdSSLOptions onlyTls12;
    onlyTls12.SetSSLVersions({TIdSSLVersion::sslvTLSv1_2});

    EXPECT_EQ(sessionKind(fetch(byName, programOptions()).body), "New");
    EXPECT_EQ(sessionKind(fetch(byName, onlyTls12).body), "New");
    EXPECT_EQ(sessionKind(fetch(localUrl("127.0.0.1", server.port()), programOptions()).body), "New");
    EXPECT_EQ(sessionKind(fetch(byName, programOptions()).body), "Reused");
    EXPECT_EQ(sessionKind(fetch(byName, onlyTls12).body), "Reused");
}

// Several threads connecting to one server at once share the cache: every download is intact,
// and once a thread's first handshake is done its later connections resume. The client's view
// and nginx's ($ssl_session_reused) agree.
TEST(SessionResumption, ThreadsConnectingAtOnceShareTheSessions) {
    const test::TestCertificate& certificate = test::testCertificate();
    test::NginxServer nginx({QStringLiteral("add_header X-Session-Reused $ssl_session_reused always;"),
                             certificate.certificateFile, certificate.keyFile});
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    constexpr int kThreads = 8;
    constexpr int kConnections = 5;
    QByteArray content(20000, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 >> 3);
    const QString url = nginx.put(QStringLiteral("f.bin"), content);

    std::mutex mutex;
    int intact = 0, resumedByClient = 0, resumedByServer = 0;
    QStringList failures;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kConnections; ++i) {
                try {
                    const Fetched fetched = fetch(url, programOptions());
                    std::lock_guard lock(mutex);
                    intact += fetched.body == content ? 1 : 0;
                    resumedByClient += fetched.resumed ? 1 : 0;
                    resumedByServer += fetched.serverSaysReused == QLatin1String("r") ? 1 : 0;
                } catch (const Exception& e) {
                    std::lock_guard lock(mutex);
                    failures << e.message();
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(intact, kThreads * kConnections);
    EXPECT_EQ(resumedByClient, resumedByServer);
    EXPECT_GE(resumedByServer, kThreads * (kConnections - 1));
}

// TLS 1.3, which strict mode offers, hands out its tickets after the handshake; they are kept
// too, and each is offered once.
TEST(SessionResumption, ResumesTls13WithTicketsInStrictMode) {
    test::TestAuthority authority;
    const test::IssuedCertificate certificate =
        authority.issue(QStringLiteral("localhost"), QStringLiteral("DNS:localhost"));
    ASSERT_TRUE(authority.error().isEmpty()) << authority.error().toStdString();
    test::OpenSSLServer server(certificate.certificateFile, certificate.keyFile);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    const QString url = localUrl("localhost", server.port());
    for (int i = 0; i < 3; ++i) {
        const Fetched fetched = fetch(url, strictOptions(authority.caFile()));
        EXPECT_TRUE(fetched.body.contains("Protocol  : TLSv1.3")) << fetched.body.toStdString();
        EXPECT_EQ(sessionKind(fetched.body), i == 0 ? QByteArray("New") : QByteArray("Reused"));
        EXPECT_EQ(fetched.resumed, i > 0);
    }
}

// ---- Strict verification

struct VerificationCase {
    const char* name;
    test::IssuedCertificate (*make)(test::TestAuthority&);
    const char* host; // the URL's host
    // The reason after "Certificate verification failed: "; empty: the download succeeds.
    QString reason;
};

void PrintTo(const VerificationCase& c, std::ostream* os) {
    *os << c.name;
}

const QString kBothNames = QStringLiteral("DNS:localhost,IP:127.0.0.1");

test::TestAuthority& sharedAuthority() {
    static test::TestAuthority authority;
    return authority;
}

class StrictVerification : public testing::TestWithParam<VerificationCase> {};

// Each certificate fails strict verification with its own reason, or passes; without strict
// verification every one of them is accepted, as before.
TEST_P(StrictVerification, RefusesABadCertificateWithItsReason) {
    test::TestAuthority& authority = sharedAuthority();
    const test::IssuedCertificate certificate = GetParam().make(authority);
    ASSERT_TRUE(authority.error().isEmpty()) << authority.error().toStdString();
    test::OpenSSLServer server(certificate.certificateFile, certificate.keyFile);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    const QString url = localUrl(GetParam().host, server.port());

    EXPECT_EQ(sessionKind(fetch(url, programOptions()).body), "New");
    if (GetParam().reason.isEmpty()) {
        const Fetched fetched = fetch(url, strictOptions(authority.caFile()));
        EXPECT_TRUE(fetched.body.contains("Protocol  : TLSv1.3")) << fetched.body.toStdString();
        return;
    }
    try {
        fetch(url, strictOptions(authority.caFile()));
        FAIL() << "the certificate was accepted";
    } catch (const EIdOSSLCertificateError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Error connecting with SSL.\r\nCertificate verification failed: ") +
                      GetParam().reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, StrictVerification,
    testing::Values(
        VerificationCase{
            "Good",
            [](test::TestAuthority& a) { return a.issue(QStringLiteral("localhost"), kBothNames); },
            "localhost",
            {}},
        VerificationCase{
            "GoodForTheAddress",
            [](test::TestAuthority& a) { return a.issue(QStringLiteral("localhost"), kBothNames); },
            "127.0.0.1",
            {}},
        VerificationCase{
            "Expired",
            [](test::TestAuthority& a) { return a.issue(QStringLiteral("localhost"), kBothNames, -1); },
            "localhost", QStringLiteral("the certificate has expired.")},
        VerificationCase{
            "WrongName",
            [](test::TestAuthority& a) {
                return a.issue(QStringLiteral("files.example"), QStringLiteral("DNS:files.example"));
            },
            "localhost", QStringLiteral("the certificate is not for the host name \"localhost\".")},
        // The common name is no substitute for the address among the alternative names.
        VerificationCase{"WrongAddress",
                         [](test::TestAuthority& a) {
                             return a.issue(QStringLiteral("127.0.0.1"), QStringLiteral("DNS:localhost"));
                         },
                         "127.0.0.1", QStringLiteral("the certificate is not for the address 127.0.0.1.")},
        VerificationCase{
            "SelfSigned",
            [](test::TestAuthority& a) { return a.selfSigned(QStringLiteral("localhost"), kBothNames); },
            "localhost", QStringLiteral("the certificate is self-signed.")},
        VerificationCase{"UnknownIssuer",
                         [](test::TestAuthority& a) {
                             return a.issuedByStranger(QStringLiteral("localhost"), kBothNames);
                         },
                         "localhost", QStringLiteral("the certificate's issuer is unknown.")}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a CA file the system's store decides, and it does not know the test authority.
TEST(StrictVerificationTrust, TheSystemStoreDoesNotKnowAPrivateAuthority) {
    test::TestAuthority& authority = sharedAuthority();
    const test::IssuedCertificate certificate = authority.issue(QStringLiteral("localhost"), kBothNames);
    ASSERT_TRUE(authority.error().isEmpty()) << authority.error().toStdString();
    test::OpenSSLServer server(certificate.certificateFile, certificate.keyFile);
    ASSERT_TRUE(server.started()) << server.log().toStdString();
    try {
        fetch(localUrl("localhost", server.port()), strictOptions({}));
        FAIL() << "the certificate was accepted";
    } catch (const EIdOSSLCertificateError& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("the certificate's issuer is unknown."))) << e.what();
    }
}

// A CA file that cannot be read fails every strict connection before anything is sent, saying
// which file.
TEST(StrictVerificationTrust, AnUnreadableCAFileIsAnError) {
    test::TempDir folder;
    folder.write(QStringLiteral("empty.pem"), "no certificate here\n");
    for (const QString& file :
         {folder.file(QStringLiteral("missing.pem")), folder.file(QStringLiteral("empty.pem"))}) {
        TIdSSLIOHandlerSocketOpenSSL io;
        io.SSLOptions = strictOptions(file);
        io.Host = QStringLiteral("127.0.0.1");
        io.Port = 9;
        io.URIToCheck = QStringLiteral("https://localhost/");
        io.SetPassThrough(false);
        try {
            io.Open();
            FAIL() << "opened with " << file.toStdString();
        } catch (const EIdOSSLCreatingContextError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Error creating SSL context.\r\nCould not load the CA file \"%1\": ")
                    .arg(file)))
                << e.what();
        }
    }
}

} // namespace
} // namespace hl
