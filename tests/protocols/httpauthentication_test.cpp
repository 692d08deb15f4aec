#include "protocols/basicauthenticator.h"
#include "protocols/digestauthenticator.h"
#include "protocols/httpauthschemes.h"
#include "protocols/httpchallenge.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

HttpChallenge challenge(const char* header) {
    const QList<HttpChallenge> all = parseChallenges({QString::fromUtf8(header)});
    return all.isEmpty() ? HttpChallenge{} : all.first();
}

TEST(AuthChallenges, ParamsToken68AndSeveralChallengesInOneHeader) {
    const QList<HttpChallenge> all = parseChallenges(
        {QStringLiteral(
             "Newauth realm=\"apps\", type=1, title=\"Login to \\\"apps\\\"\", Basic realm=\"simple\""),
         QStringLiteral("Negotiate abc+/=="),
         QStringLiteral("Digest realm = \"a, b\" ,nonce=n1,,qop=\"auth,auth-int\"")});
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[0].Scheme, QStringLiteral("Newauth"));
    EXPECT_EQ(all[0].param(QStringLiteral("TYPE")), QStringLiteral("1"));
    EXPECT_EQ(all[0].param(QStringLiteral("title")), QStringLiteral("Login to \"apps\""));
    EXPECT_EQ(all[1].Scheme, QStringLiteral("Basic"));
    EXPECT_EQ(all[1].param(QStringLiteral("realm")), QStringLiteral("simple"));
    EXPECT_EQ(all[2].Token68, QStringLiteral("abc+/=="));
    EXPECT_EQ(all[3].param(QStringLiteral("realm")), QStringLiteral("a, b"));
    EXPECT_EQ(all[3].param(QStringLiteral("nonce")), QStringLiteral("n1"));
    EXPECT_EQ(all[3].param(QStringLiteral("qop")), QStringLiteral("auth,auth-int"));

    // Broken text yields what can be read, and nothing past the limit.
    EXPECT_EQ(parseChallenges({QStringLiteral(", , =x, \"unterminated")}).size(), 0);
    EXPECT_EQ(parseChallenges({QStringLiteral("Basic realm=\"open")}).first().param(QStringLiteral("realm")),
              QStringLiteral("open"));
    EXPECT_EQ(parseChallenges({QStringList(100, QStringLiteral("A, B")).join(QLatin1Char(','))}).size(),
              kMaxChallenges);
}

TEST(BasicAuth, EncodesInTheChallengesCharsetAndRefusesARepeat) {
    struct Case {
        const char* header;
        const char* user;
        const char* expected;
    };
    const Case cases[] = {
        {"Basic realm=\"x\"", "Aladdin", "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ=="},
        {"Basic realm=\"x\", charset=\"UTF-8\"", "J\xC3\xBCrgen", "Basic SsO8cmdlbjpvcGVuIHNlc2FtZQ=="},
        {"Basic realm=\"x\"", "J\xC3\xBCrgen", "Basic SvxyZ2VuOm9wZW4gc2VzYW1l"}, // ISO-8859-1
        {"Basic realm=\"x\", enc=\"UTF-8\"", "J\xC3\xBCrgen", "Basic SsO8cmdlbjpvcGVuIHNlc2FtZQ=="},
    };
    for (const Case& c : cases) {
        BasicAuthenticator basic;
        const QString user = QString::fromUtf8(c.user);
        ASSERT_TRUE(basic.accept(challenge(c.header), user, QStringLiteral("open sesame")));
        EXPECT_EQ(basic.headerValue(QStringLiteral("GET"), QStringLiteral("/")), QLatin1String(c.expected));
        // Challenged again after the credentials went out: they were refused.
        EXPECT_FALSE(basic.accept(challenge(c.header), user, QStringLiteral("open sesame")));
        EXPECT_TRUE(basic.accept(challenge(c.header), user, QStringLiteral("other")));
    }
    BasicAuthenticator nobody;
    EXPECT_FALSE(nobody.accept(challenge("Basic realm=\"x\""), QString(), QStringLiteral("pw")));
}

// RFC 7616, section 3.9.1.
constexpr char kRfcChallenge[] = "Digest realm=\"http-auth@example.org\", qop=\"auth, auth-int\", "
                                 "algorithm=%1, nonce=\"7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v\", "
                                 "opaque=\"FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS\"";
constexpr char kRfcClientNonce[] = "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ";

DigestAuthenticator rfcDigest() {
    return DigestAuthenticator([] { return QLatin1String(kRfcClientNonce); });
}

TEST(DigestAuth, ComputesTheResponsesOfTheRfcExamples) {
    const std::pair<const char*, const char*> cases[] = {
        {"MD5", "8ca523f5e9506fed4657c9700eebdbec"},
        {"SHA-256", "753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1"},
    };
    for (const auto& [algorithm, response] : cases) {
        DigestAuthenticator digest = rfcDigest();
        const HttpChallenge rfc =
            challenge(QString::fromLatin1(kRfcChallenge).arg(QLatin1String(algorithm)).toUtf8());
        ASSERT_TRUE(DigestAuthenticator::supports(rfc));
        ASSERT_TRUE(digest.accept(rfc, QStringLiteral("Mufasa"), QStringLiteral("Circle of Life")));
        EXPECT_EQ(
            digest.headerValue(QStringLiteral("GET"), QStringLiteral("/dir/index.html")),
            QStringLiteral("Digest username=\"Mufasa\", realm=\"http-auth@example.org\", "
                           "uri=\"/dir/index.html\", algorithm=%1, "
                           "nonce=\"7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v\", nc=00000001, "
                           "cnonce=\"%2\", qop=auth, response=\"%3\", "
                           "opaque=\"FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS\"")
                .arg(QLatin1String(algorithm), QLatin1String(kRfcClientNonce), QLatin1String(response)));
        EXPECT_TRUE(digest.headerValue(QStringLiteral("GET"), QStringLiteral("/"))
                        .contains(QStringLiteral("nc=00000002")));
    }
}

TEST(DigestAuth, SessionVariantsOldServersAndUserhash) {
    const auto valueFor = [](const char* header, const char* user = "u") {
        DigestAuthenticator digest([] { return QStringLiteral("c"); });
        EXPECT_TRUE(digest.accept(challenge(header), QString::fromUtf8(user), QStringLiteral("p")));
        return digest.headerValue(QStringLiteral("GET"), QStringLiteral("/f"));
    };
    // Expected values computed independently: H(H(H(u:r:p):n:c):n:00000001:c:auth:H(GET:/f)) and so on.
    EXPECT_TRUE(valueFor("Digest realm=r, nonce=n, qop=auth, algorithm=MD5-sess")
                    .contains(QStringLiteral("response=\"c467142e8eb6178c3fc538db69b2b81d\"")));
    const QString rfc2069 = valueFor("Digest realm=r, nonce=n");
    EXPECT_TRUE(rfc2069.contains(QStringLiteral("response=\"0120e71fd30e9b8c932d5b7630fd0af7\"")))
        << rfc2069.toStdString();
    EXPECT_FALSE(rfc2069.contains(QStringLiteral("qop")));
    EXPECT_FALSE(rfc2069.contains(QStringLiteral("opaque")));
    // H(u:r) as SHA-256 in place of the name.
    EXPECT_TRUE(
        valueFor("Digest realm=r, nonce=n, qop=auth, algorithm=SHA-256, userhash=true")
            .startsWith(QStringLiteral(
                "Digest username=\"1d8a03a6e21a4ce775060ea57360329ac750dea5d847297b42f0d46539af8ab2")));
    EXPECT_TRUE(valueFor("Digest realm=r, nonce=n, charset=UTF-8", "J\xC3\xBCrgen")
                    .startsWith(QStringLiteral("Digest username*=UTF-8''J%C3%BCrgen, ")));
}

TEST(DigestAuth, StaleNonceIsAnsweredAgainRefusedCredentialsAreNot) {
    DigestAuthenticator digest = rfcDigest();
    const HttpChallenge first = challenge("Digest realm=r, nonce=n1, qop=auth");
    ASSERT_TRUE(digest.accept(first, QStringLiteral("u"), QStringLiteral("p")));
    digest.headerValue(QStringLiteral("GET"), QStringLiteral("/"));
    EXPECT_TRUE(digest.accept(challenge("Digest realm=r, nonce=n2, qop=auth, stale=TRUE"),
                              QStringLiteral("u"), QStringLiteral("p")));
    const QString renewed = digest.headerValue(QStringLiteral("GET"), QStringLiteral("/"));
    EXPECT_TRUE(renewed.contains(QStringLiteral("nonce=\"n2\"")) &&
                renewed.contains(QStringLiteral("nc=00000001")));
    EXPECT_FALSE(digest.accept(challenge("Digest realm=r, nonce=n3, qop=auth"), QStringLiteral("u"),
                               QStringLiteral("p")));

    for (const char* unsupported : {"Digest realm=r, nonce=n, algorithm=SHA-512-256",
                                    "Digest realm=r, nonce=n, qop=auth-int", "Digest realm=r"})
        EXPECT_FALSE(DigestAuthenticator::supports(challenge(unsupported))) << unsupported;
}

TEST(AuthSchemes, FirstSupportedChallengeDecides) {
    StandardAuthSchemes schemes;
    std::unique_ptr<HttpAuthenticator> authenticator;
    const QStringList challenges = {
        QStringLiteral("NTLM"), QStringLiteral("Digest realm=r, nonce=n, algorithm=SHA-512-256"),
        QStringLiteral("Digest realm=r, nonce=n"), QStringLiteral("Basic realm=r")};
    ASSERT_TRUE(schemes.answer(challenges, QStringLiteral("u"), QStringLiteral("p"), authenticator));
    EXPECT_EQ(authenticator->scheme(), QStringLiteral("Digest"));
    HttpAuthenticator* const kept = authenticator.get();
    ASSERT_TRUE(schemes.answer({QStringLiteral("Digest realm=r, nonce=m, stale=true")}, QStringLiteral("u"),
                               QStringLiteral("p"), authenticator));
    EXPECT_EQ(authenticator.get(), kept); // the same scheme reuses its authenticator
    ASSERT_TRUE(schemes.answer({QStringLiteral("Basic realm=r")}, QStringLiteral("u"), QStringLiteral("p"),
                               authenticator));
    EXPECT_EQ(authenticator->scheme(), QStringLiteral("Basic"));

    EXPECT_FALSE(schemes.answer({QStringLiteral("Negotiate"), QStringLiteral("NTLM")}, QStringLiteral("u"),
                                QStringLiteral("p"), authenticator));
    EXPECT_FALSE(authenticator);
    EXPECT_FALSE(schemes.answer({QStringLiteral("Basic realm=r")}, QString(), QString(), authenticator));
    EXPECT_FALSE(authenticator);
}

} // namespace
} // namespace hl
