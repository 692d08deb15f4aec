#include "protocols/httpchallenge.h"

#include <optional>

namespace hl {

namespace {

bool isTokenChar(QChar c) {
    const char16_t u = c.unicode();
    if (u <= 0x20 || u >= 0x7F) return false;
    return !QStringView(u"\"(),/:;<=>?@[\\]{}").contains(c);
}

bool isToken68Char(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
           QStringView(u"-._~+/").contains(c);
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A cursor over one header value.
class ChallengeReader {
public:
    explicit ChallengeReader(const QString& text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_.at(pos_); }
    void skipBlanks() {
        while (!atEnd() && isBlank(peek()))
            ++pos_;
    }
    // Blanks and commas between list elements.
    void skipSeparators() {
        while (!atEnd() && (isBlank(peek()) || peek() == QLatin1Char(',')))
            ++pos_;
    }
    QString token() {
        const qsizetype start = pos_;
        while (!atEnd() && isTokenChar(peek()))
            ++pos_;
        return text_.mid(start, pos_ - start);
    }
    // A token68 is the rest of the element when it ends the element: its characters, "=" padding,
    // then blanks up to a comma or the end.
    std::optional<QString> token68() {
        const qsizetype start = pos_;
        qsizetype end = start;
        while (end < text_.size() && isToken68Char(text_.at(end)))
            ++end;
        if (end == start) return std::nullopt;
        while (end < text_.size() && text_.at(end) == QLatin1Char('='))
            ++end;
        qsizetype after = end;
        while (after < text_.size() && isBlank(text_.at(after)))
            ++after;
        if (after < text_.size() && text_.at(after) != QLatin1Char(',')) return std::nullopt;
        pos_ = after;
        return text_.mid(start, end - start);
    }
    // A quoted string with its backslash escapes resolved, or a token.
    QString value() {
        if (peek() != QLatin1Char('"')) return token();
        ++pos_;
        QString out;
        while (!atEnd() && peek() != QLatin1Char('"')) {
            if (peek() == QLatin1Char('\\') && pos_ + 1 < text_.size()) ++pos_;
            out.append(text_.at(pos_++));
        }
        if (!atEnd()) ++pos_;
        return out;
    }
    // Whether a parameter "name =" starts here; leaves the cursor after the "=" when it does.
    std::optional<QString> paramName() {
        const qsizetype start = pos_;
        const QString name = token();
        skipBlanks();
        if (!name.isEmpty() && peek() == QLatin1Char('=')) {
            ++pos_;
            skipBlanks();
            return name;
        }
        pos_ = start;
        return std::nullopt;
    }
    // Skips to the next comma outside a quoted string.
    void skipElement() {
        bool quoted = false;
        while (!atEnd() && (quoted || peek() != QLatin1Char(','))) {
            if (peek() == QLatin1Char('"')) quoted = !quoted;
            if (quoted && peek() == QLatin1Char('\\')) ++pos_;
            ++pos_;
        }
    }

private:
    const QString& text_;
    qsizetype pos_ = 0;
};

// The value of a parameter whose name the reader just passed; anything up to the next comma after
// it is dropped.
void readParamValue(ChallengeReader& reader, HttpChallenge& challenge, const QString& name) {
    challenge.Params.append({name, reader.value()});
    reader.skipBlanks();
    if (!reader.atEnd() && reader.peek() != QLatin1Char(',')) reader.skipElement();
}

void readChallenges(const QString& value, QList<HttpChallenge>& out) {
    ChallengeReader reader(value);
    bool inChallenge = false;
    for (reader.skipSeparators(); !reader.atEnd(); reader.skipSeparators()) {
        if (inChallenge) {
            if (const auto name = reader.paramName()) {
                readParamValue(reader, out.last(), *name);
                continue;
            }
        }
        const QString scheme = reader.token();
        inChallenge = !scheme.isEmpty() && out.size() < kMaxChallenges;
        if (!inChallenge) {
            reader.skipElement();
            continue;
        }
        out.append(HttpChallenge{scheme, {}, {}});
        reader.skipBlanks();
        if (reader.atEnd() || reader.peek() == QLatin1Char(',')) continue;
        // Right after the scheme: a token68, or the first parameter.
        if (const auto token68 = reader.token68())
            out.last().Token68 = *token68;
        else if (const auto name = reader.paramName())
            readParamValue(reader, out.last(), *name);
        else
            reader.skipElement();
    }
}

} // namespace

QString HttpChallenge::param(const QString& name) const {
    for (const auto& [key, value] : Params)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

bool HttpChallenge::hasParam(const QString& name) const {
    for (const auto& param : Params)
        if (param.first.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QList<HttpChallenge> parseChallenges(const QStringList& headerValues) {
    QList<HttpChallenge> challenges;
    for (const QString& value : headerValues) {
        if (challenges.size() >= kMaxChallenges) break;
        readChallenges(value, challenges);
    }
    return challenges;
}

} // namespace hl
