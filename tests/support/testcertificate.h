#pragma once
// A self-signed certificate for CN=localhost, made with Debian's openssl for TLS test peers.
#include <QString>

namespace hl::test {

struct TestCertificate {
    QString certificateFile;
    QString keyFile;
    // Empty when the files were made; otherwise what went wrong.
    QString error;
};

// Made on the first call (about a tenth of a second) and kept for the rest of the test process.
const TestCertificate& testCertificate();

} // namespace hl::test
