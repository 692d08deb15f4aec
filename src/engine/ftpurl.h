#pragma once
// What an ftp:// line of the URL list asks for: the server and the path to request. A pure
// function over text; the name of the output file comes from the output naming rules instead.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace hl {

struct FtpUrlTarget {
    QString host;      // without the square brackets of an IPv6 literal
    quint16 port = 21; // the URL's port, or 21 when it names none or not a number in 1-65535
    QString path =
        QStringLiteral("/"); // everything after the authority, query included, percent escapes kept
};

// The authority runs from after "://" to the first "/"; user name and password before its last
// "@" are dropped (the client always logs in anonymously). A URL without a path asks for "/".
FtpUrlTarget ParseFtpURL(const QString& url);

// The bytes of the file name a URL path stands for (RFC 3986): each "%" and two hex digits is the
// byte they encode, every other character its UTF-8 encoding, so a raw "é" and "%C3%A9" name the
// same file. A "%" without two hex digits stays as it is.
QByteArray FtpPathBytes(const QString& urlPath);

} // namespace hl
