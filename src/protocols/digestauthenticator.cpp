#include "protocols/digestauthenticator.h"

#include "protocols/asciitext.h"
#include "protocols/authcharset.h"

#include <QRandomGenerator>
#include <optional>

namespace hl {

namespace {

struct DigestAlgorithm {
    const char* name;
    QCryptographicHash::Algorithm hash;
    bool session;
};

constexpr DigestAlgorithm kAlgorithms[] = {
    {"MD5", QCryptographicHash::Md5, false},
    {"MD5-sess", QCryptographicHash::Md5, true},
    {"SHA-256", QCryptographicHash::Sha256, false},
    {"SHA-256-sess", QCryptographicHash::Sha256, true},
};

std::optional<DigestAlgorithm> algorithmOf(const HttpChallenge& challenge) {
    const QString name = challenge.param(QStringLiteral("algorithm"));
    if (name.isEmpty()) return kAlgorithms[0];
    for (const DigestAlgorithm& algorithm : kAlgorithms)
        if (name.compare(QLatin1String(algorithm.name), Qt::CaseInsensitive) == 0) return algorithm;
    return std::nullopt;
}

bool offersQop(const HttpChallenge& challenge) {
    return challenge.hasParam(QStringLiteral("qop"));
}

bool offersQopAuth(const HttpChallenge& challenge) {
    const QStringList offered = challenge.param(QStringLiteral("qop")).split(QLatin1Char(','));
    for (const QString& qop : offered)
        if (qop.trimmed().compare(QLatin1String("auth"), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool isTrue(const QString& value) {
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString quoted(const QString& value) {
    QString out = QStringLiteral("\"");
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

bool isPlainAscii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
    return true;
}

QString randomNonce() {
    QByteArray random(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(random.begin(), random.end());
    return QString::fromLatin1(random.toHex());
}

} // namespace

DigestAuthenticator::DigestAuthenticator(NonceSource clientNonce) : clientNonce_(std::move(clientNonce)) {
    if (!clientNonce_) clientNonce_ = randomNonce;
}

bool DigestAuthenticator::supports(const HttpChallenge& challenge) {
    if (!challenge.isScheme("Digest") || challenge.param(QStringLiteral("nonce")).isEmpty()) return false;
    if (!algorithmOf(challenge)) return false;
    return !offersQop(challenge) || offersQopAuth(challenge);
}

bool DigestAuthenticator::accept(const HttpChallenge& challenge, const QString& username,
                                 const QString& password) {
    const auto algorithm = algorithmOf(challenge);
    if (username.isEmpty() || !algorithm) return false;
    const bool stale = isTrue(challenge.param(QStringLiteral("stale")));
    if (sent_ && !stale && username == username_ && password == password_) return false;
    username_ = username;
    password_ = password;
    realm_ = challenge.param(QStringLiteral("realm"));
    nonce_ = challenge.param(QStringLiteral("nonce"));
    opaque_ = challenge.param(QStringLiteral("opaque"));
    algorithm_ = QLatin1String(algorithm->name);
    hashAlgorithm_ = algorithm->hash;
    session_ = algorithm->session;
    qopAuth_ = offersQopAuth(challenge);
    userhash_ = isTrue(challenge.param(QStringLiteral("userhash")));
    utf8_ = challengeCharset(challenge).compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
    cnonce_ = clientNonce_();
    nonceCount_ = 0;
    sent_ = false;
    return true;
}

QByteArray DigestAuthenticator::hash(const QByteArray& data) const {
    return QCryptographicHash::hash(data, hashAlgorithm_).toHex();
}

QByteArray DigestAuthenticator::bytes(const QString& text) const {
    return encodeCredentials(text, utf8_ ? QStringLiteral("UTF-8") : QString());
}

QString DigestAuthenticator::usernameField() const {
    if (userhash_)
        return QStringLiteral("username=") +
               quoted(QString::fromLatin1(hash(bytes(username_) + ':' + bytes(realm_))));
    if (isPlainAscii(username_)) return QStringLiteral("username=") + quoted(username_);
    // A name beyond printable ASCII goes in the extended form of RFC 8187.
    return QStringLiteral("username*=UTF-8''") + QString::fromLatin1(username_.toUtf8().toPercentEncoding());
}

QString DigestAuthenticator::headerValue(const QString& method, const QString& target) {
    sent_ = true;
    ++nonceCount_;
    const QString nc = QStringLiteral("%1").arg(nonceCount_, 8, 16, QLatin1Char('0'));
    QByteArray ha1 = hash(bytes(username_) + ':' + bytes(realm_) + ':' + bytes(password_));
    if (session_) ha1 = hash(ha1 + ':' + nonce_.toLatin1() + ':' + cnonce_.toLatin1());
    const QByteArray ha2 = hash(toSevenBitAscii(method) + ':' + toSevenBitAscii(target));
    const QByteArray response = qopAuth_ ? hash(ha1 + ':' + nonce_.toLatin1() + ':' + nc.toLatin1() + ':' +
                                                cnonce_.toLatin1() + ":auth:" + ha2)
                                         : hash(ha1 + ':' + nonce_.toLatin1() + ':' + ha2);

    QStringList fields = {usernameField(), QStringLiteral("realm=") + quoted(realm_),
                          QStringLiteral("uri=") + quoted(target), QStringLiteral("algorithm=") + algorithm_,
                          QStringLiteral("nonce=") + quoted(nonce_)};
    if (qopAuth_)
        fields << QStringLiteral("nc=") + nc << QStringLiteral("cnonce=") + quoted(cnonce_)
               << QStringLiteral("qop=auth");
    fields << QStringLiteral("response=") + quoted(QString::fromLatin1(response));
    if (!opaque_.isEmpty()) fields << QStringLiteral("opaque=") + quoted(opaque_);
    if (userhash_) fields << QStringLiteral("userhash=true");
    return QStringLiteral("Digest ") + fields.join(QLatin1String(", "));
}

} // namespace hl
