#pragma once
// Authentication challenges of WWW-Authenticate and Proxy-Authenticate headers (RFC 9110, section
// 11): a scheme followed by a token68 or by comma-separated parameters, several challenges possibly
// in one header value. Pure; bounded by the header lines, which the reply reader limits.
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace hl {

struct HttpChallenge {
    QString Scheme; // as received
    QString Token68;
    QList<std::pair<QString, QString>> Params; // names as received, values unquoted

    bool isScheme(const char* name) const {
        return Scheme.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    }
    // The value of the first parameter of that name (case-insensitive); empty when absent.
    QString param(const QString& name) const;
    bool hasParam(const QString& name) const;
};

// At most this many challenges are read from one reply; the rest are ignored.
constexpr int kMaxChallenges = 64;

// The challenges of all header values, in order. Text that fits no challenge is skipped.
QList<HttpChallenge> parseChallenges(const QStringList& headerValues);

} // namespace hl
