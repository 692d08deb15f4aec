#pragma once
// OpenSSL 3, opened at run time. Nothing links against it: a machine without it still runs every
// plain connection, and only TLS connections report "Could not load SSL library.".
//
// The files default to "libcrypto.so.3" and "libssl.so.3"; the environment variables
// HARVESTLINE_LIBCRYPTO and HARVESTLINE_LIBSSL name other files (tests use them to take the
// library away).
#include <QString>
#include <QStringList>
#include <memory>

// Every entry point the TLS transport uses, by library and name. The list holds names only, so
// this header needs none of OpenSSL's; the code that calls them types them from OpenSSL's headers.
#define HL_OPENSSL_ENTRY_POINTS(X)                                                                           \
    X(Crypto, OpenSSL_version)                                                                               \
    X(Crypto, OpenSSL_version_num)                                                                           \
    X(Crypto, ERR_get_error)                                                                                 \
    X(Crypto, ERR_peek_error)                                                                                \
    X(Crypto, ERR_error_string_n)                                                                            \
    X(Crypto, ERR_clear_error)                                                                               \
    X(Crypto, X509_VERIFY_PARAM_set1_host)                                                                   \
    X(Crypto, X509_VERIFY_PARAM_set1_ip_asc)                                                                 \
    X(Crypto, X509_VERIFY_PARAM_set_hostflags)                                                               \
    X(Crypto, X509_verify_cert_error_string)                                                                 \
    X(Ssl, OPENSSL_init_ssl)                                                                                 \
    X(Ssl, TLS_client_method)                                                                                \
    X(Ssl, SSL_CTX_new)                                                                                      \
    X(Ssl, SSL_CTX_free)                                                                                     \
    X(Ssl, SSL_CTX_set_options)                                                                              \
    X(Ssl, SSL_CTX_clear_options)                                                                            \
    X(Ssl, SSL_CTX_ctrl)                                                                                     \
    X(Ssl, SSL_CTX_set_security_level)                                                                       \
    X(Ssl, SSL_CTX_set_cipher_list)                                                                          \
    X(Ssl, SSL_CTX_sess_set_new_cb)                                                                          \
    X(Ssl, SSL_CTX_set_verify)                                                                               \
    X(Ssl, SSL_CTX_set_default_verify_paths)                                                                 \
    X(Ssl, SSL_CTX_load_verify_locations)                                                                    \
    X(Ssl, SSL_new)                                                                                          \
    X(Ssl, SSL_free)                                                                                         \
    X(Ssl, SSL_set_fd)                                                                                       \
    X(Ssl, SSL_ctrl)                                                                                         \
    X(Ssl, SSL_connect)                                                                                      \
    X(Ssl, SSL_read)                                                                                         \
    X(Ssl, SSL_write)                                                                                        \
    X(Ssl, SSL_pending)                                                                                      \
    X(Ssl, SSL_get_error)                                                                                    \
    X(Ssl, SSL_shutdown)                                                                                     \
    X(Ssl, SSL_set_ex_data)                                                                                  \
    X(Ssl, SSL_get_ex_data)                                                                                  \
    X(Ssl, SSL_set_session)                                                                                  \
    X(Ssl, SSL_session_reused)                                                                               \
    X(Ssl, SSL_get0_param)                                                                                   \
    X(Ssl, SSL_get_verify_result)                                                                            \
    X(Ssl, SSL_SESSION_free)                                                                                 \
    X(Ssl, SSL_SESSION_is_resumable)                                                                         \
    X(Ssl, SSL_SESSION_get_protocol_version)

namespace hl {

class OpenSSLLibrary {
public:
#define HL_OPENSSL_ENTRY_ENUM(library, name) name,
    enum class Entry { HL_OPENSSL_ENTRY_POINTS(HL_OPENSSL_ENTRY_ENUM) Count };
#undef HL_OPENSSL_ENTRY_ENUM

    // Opens both files and resolves every entry point. Returns nullptr when a file is missing, an
    // entry point is missing, or the library is not OpenSSL 3; every problem found is appended to
    // failures ("Failed to load ...", a missing entry's name, "Unsupported SSL Library ...").
    static std::unique_ptr<OpenSSLLibrary> open(const QString& cryptoFile, const QString& sslFile,
                                                QStringList& failures);

    // The process's library, opened and initialised on the first call, under a lock so that
    // threads starting together load it once. It stays loaded for the life of the process; a
    // failed attempt is repeated on the next call. Throws EIdOSSLCouldNotLoadSSLLibrary.
    static const OpenSSLLibrary& process();
    // The problems of the process's last failed attempt (for diagnosis); empty once loaded.
    static QStringList processFailures();

    ~OpenSSLLibrary();
    OpenSSLLibrary(const OpenSSLLibrary&) = delete;
    OpenSSLLibrary& operator=(const OpenSSLLibrary&) = delete;

    // The resolved address of an entry point; never null.
    void* address(Entry entry) const {
        return addresses_[static_cast<int>(entry)];
    }
    // The library's own version text, such as "OpenSSL 3.0.11 19 Sep 2023".
    QString versionText() const {
        return versionText_;
    }

private:
    struct Handles;
    OpenSSLLibrary(std::unique_ptr<Handles> handles, void* const* addresses);

    std::unique_ptr<Handles> handles_;
    void* addresses_[static_cast<int>(Entry::Count)] = {};
    QString versionText_;
};

} // namespace hl
