#include "engine/ftpurl.h"

#include <cctype>

namespace hl {

namespace {

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c));
}

} // namespace

FtpUrlTarget ParseFtpURL(const QString& url) {
    FtpUrlTarget target;
    const qsizetype schemeEnd = url.indexOf(QStringLiteral("://"));
    const qsizetype authorityStart = schemeEnd >= 0 ? schemeEnd + 3 : 0;
    const qsizetype slash = url.indexOf(QLatin1Char('/'), authorityStart);
    const QString authority = url.mid(authorityStart, slash >= 0 ? slash - authorityStart : -1);
    if (slash >= 0) target.path = url.mid(slash);

    const QString hostPort = authority.mid(authority.lastIndexOf(QLatin1Char('@')) + 1);
    QString portText;
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        target.host = hostPort.mid(1, close >= 0 ? close - 1 : -1);
        if (close >= 0 && hostPort.mid(close + 1).startsWith(QLatin1Char(':')))
            portText = hostPort.mid(close + 2);
    } else {
        const qsizetype colon = hostPort.indexOf(QLatin1Char(':'));
        target.host = hostPort.left(colon);
        if (colon >= 0) portText = hostPort.mid(colon + 1);
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok, 10);
    if (ok && port >= 1 && port <= 65535) target.port = static_cast<quint16>(port);
    return target;
}

QByteArray FtpPathBytes(const QString& urlPath) {
    // Escapes are ASCII, so they read the same in the UTF-8 form of the path.
    const QByteArray text = urlPath.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHexDigit(text[i + 1]) && isHexDigit(text[i + 2])) {
            bytes.append(QByteArray::fromHex(text.mid(i + 1, 2)));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return bytes;
}

} // namespace hl
