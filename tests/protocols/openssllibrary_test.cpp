#include "protocols/openssllibrary.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(OpenSSLLibrary, OpensTheSystemsOpenSSL3) {
    const OpenSSLLibrary& library = OpenSSLLibrary::process();
    EXPECT_TRUE(library.versionText().startsWith(QStringLiteral("OpenSSL 3.")))
        << library.versionText().toStdString();
    EXPECT_TRUE(OpenSSLLibrary::processFailures().isEmpty());
    EXPECT_NE(library.address(OpenSSLLibrary::Entry::SSL_connect), nullptr);
}

TEST(OpenSSLLibrary, RefusesMissingOrForeignFilesAndSaysWhy) {
    struct Case {
        const char* crypto;
        const char* ssl;
        // Every text that must be among the recorded failures.
        QStringList failures;
    };
    const Case cases[] = {
        {"/nonexistent/libcrypto.so.3",
         "/nonexistent/libssl.so.3",
         {QStringLiteral("Failed to load /nonexistent/libcrypto.so.3 ("),
          QStringLiteral("Failed to load /nonexistent/libssl.so.3 (")}},
        // A library that loads but is not OpenSSL lacks the entry points.
        {"libz.so.1", "libz.so.1", {QStringLiteral("OpenSSL_version"), QStringLiteral("SSL_CTX_new")}},
        // Both names swapped: the crypto entries are reachable through libssl, the TLS ones are not.
        {"libssl.so.3", "libcrypto.so.3", {QStringLiteral("SSL_connect")}},
    };
    for (const Case& c : cases) {
        QStringList failures;
        EXPECT_EQ(OpenSSLLibrary::open(QString::fromLatin1(c.crypto), QString::fromLatin1(c.ssl), failures),
                  nullptr);
        for (const QString& expected : c.failures) {
            const bool found = std::any_of(failures.begin(), failures.end(),
                                           [&](const QString& f) { return f.startsWith(expected); });
            EXPECT_TRUE(found) << c.crypto << ": " << expected.toStdString() << " not in "
                               << failures.join(QLatin1Char('|')).toStdString();
        }
    }
}

} // namespace
} // namespace hl
