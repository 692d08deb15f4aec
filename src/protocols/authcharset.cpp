#include "protocols/authcharset.h"

#include <QStringEncoder>

namespace hl {

QString challengeCharset(const HttpChallenge& challenge) {
    for (const char* name : {"charset", "accept-charset", "encoding", "enc"}) {
        const QString value = challenge.param(QLatin1String(name));
        if (!value.isEmpty()) return value;
    }
    return {};
}

QByteArray encodeCredentials(const QString& text, const QString& charset) {
    QStringEncoder encoder(charset.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (charset.isEmpty() || !encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

} // namespace hl
