#include "protocols/formencoding.h"

namespace hl {

namespace {

bool staysAsIs(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*' ||
           c == '-' || c == '.' || c == '_';
}

void appendPercentEncoded(QByteArray& out, const QByteArray& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        out.append('%').append(kHex[b >> 4]).append(kHex[b & 0x0F]);
    }
}

} // namespace

QByteArray encodeFormText(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(++i));
        } else if (c.isSurrogate()) {
            // Itself encoded: a literal "&" would start a new field.
            out += encodeFormText(QStringLiteral("&#%1;").arg(static_cast<uint>(code)));
            continue;
        }
        if (code == ' ')
            out.append('+');
        else if (staysAsIs(code))
            out.append(static_cast<char>(code));
        else
            appendPercentEncoded(out, QString::fromUcs4(&code, 1).toUtf8());
    }
    return out;
}

QByteArray encodeFormLines(const QStringList& lines, bool encodeFields) {
    QByteArray text;
    for (const QString& line : lines) {
        if (!encodeFields) {
            text += line.toUtf8();
        } else {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals < 0)
                text += encodeFormText(line);
            else
                text += encodeFormText(line.left(equals)) + '=' + encodeFormText(line.mid(equals + 1));
        }
        text += "\r\n";
    }
    text = text.trimmed();
    text.replace("\r\n", "&");
    return text;
}

} // namespace hl
