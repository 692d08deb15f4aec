#pragma once
// The settings the FTP clients of the tests start from: the anonymous user, binary transfers.
#include "protocols/idftp.h"

#include <QString>

namespace hl::test {

// Aims ftp at host:port as "anonymous" with both time limits set to timeoutMs.
inline void configureAnonymousFtp(TIdFTP& ftp, const QString& host, quint16 port, int timeoutMs) {
    ftp.Host = host;
    ftp.Port = port;
    ftp.Username = QStringLiteral("anonymous");
    ftp.Password = QStringLiteral("freeguest");
    ftp.ConnectTimeout = timeoutMs;
    ftp.ReadTimeout = timeoutMs;
    ftp.TransferType = TIdFTPTransferType::ftBinary;
}

} // namespace hl::test
