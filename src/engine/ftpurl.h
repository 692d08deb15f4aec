#pragma once
// What an ftp:// line of the URL list asks for: the server and the path to request. A pure
// function over text; the name of the output file comes from the output naming rules instead.
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

} // namespace hl
