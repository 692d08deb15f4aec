#pragma once
// Credentials as bytes for an authentication scheme: in the character set a challenge names
// (RFC 7617 and RFC 7616 allow only "UTF-8"), else ISO-8859-1.
#include "protocols/httpchallenge.h"

#include <QByteArray>
#include <QString>

namespace hl {

// The challenge's "charset" parameter, or else "accept-charset", "encoding" or "enc"; empty when
// it names none.
QString challengeCharset(const HttpChallenge& challenge);

// text in that character set; ISO-8859-1 when it is empty or unknown. A character the set cannot
// hold becomes "?".
QByteArray encodeCredentials(const QString& text, const QString& charset);

} // namespace hl
