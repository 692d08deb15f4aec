#include "protocols/openssllibrary.h"

#include "protocols/ssliohandlerbase.h"

#include <dlfcn.h>
#include <mutex>
#include <openssl/crypto.h>
#include <openssl/ssl.h>

namespace hl {

namespace {

enum class Library { Crypto, Ssl };

QString fileFromEnvironment(const char* variable, const char* defaultFile) {
    const QString file = qEnvironmentVariable(variable);
    return file.isEmpty() ? QString::fromLatin1(defaultFile) : file;
}

void* openFile(const QString& file, QStringList& failures) {
    void* handle = ::dlopen(file.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        failures << QStringLiteral("Failed to load %1 (%2).").arg(file, QString::fromLocal8Bit(::dlerror()));
    return handle;
}

// The typed address of an entry point, for the few calls made while loading.
template <typename Function> Function typed(void* address) {
    return reinterpret_cast<Function>(address);
}

// The version checks: the code was compiled against OpenSSL 3's headers, whose inline helpers and
// option values only match an OpenSSL 3 library.
bool isSupported(const QString& versionText, unsigned long versionNumber, QStringList& failures) {
    if (!versionText.startsWith(QLatin1String("OpenSSL"))) {
        failures << QStringLiteral("Unsupported SSL Library: %1.").arg(versionText);
        return false;
    }
    if (versionNumber >> 28 != 3) {
        failures << QStringLiteral("Unsupported SSL Library version: %1.")
                        .arg(versionNumber, 8, 16, QLatin1Char('0'));
        return false;
    }
    return true;
}

struct ProcessLibrary {
    std::mutex mutex;
    std::unique_ptr<OpenSSLLibrary> library;
    QStringList failures;
};

ProcessLibrary& processLibrary() {
    static ProcessLibrary instance;
    return instance;
}

} // namespace

struct OpenSSLLibrary::Handles {
    void* crypto = nullptr;
    void* ssl = nullptr;

    ~Handles() {
        if (ssl) ::dlclose(ssl);
        if (crypto) ::dlclose(crypto);
    }
    void* of(Library library) const { return library == Library::Crypto ? crypto : ssl; }
};

std::unique_ptr<OpenSSLLibrary> OpenSSLLibrary::open(const QString& cryptoFile, const QString& sslFile,
                                                     QStringList& failures) {
    auto handles = std::make_unique<Handles>();
    handles->crypto = openFile(cryptoFile, failures);
    handles->ssl = openFile(sslFile, failures);
    if (!handles->crypto || !handles->ssl) return nullptr;

    void* addresses[static_cast<int>(Entry::Count)] = {};
    bool complete = true;
#define HL_OPENSSL_RESOLVE(library, name)                                                                    \
    addresses[static_cast<int>(Entry::name)] = ::dlsym(handles->of(Library::library), #name);                \
    if (!addresses[static_cast<int>(Entry::name)]) {                                                         \
        failures << QStringLiteral(#name);                                                                   \
        complete = false;                                                                                    \
    }
    HL_OPENSSL_ENTRY_POINTS(HL_OPENSSL_RESOLVE)
#undef HL_OPENSSL_RESOLVE
    if (!complete) return nullptr;

    const QString versionText = QString::fromLatin1(typed<decltype(&::OpenSSL_version)>(
        addresses[static_cast<int>(Entry::OpenSSL_version)])(OPENSSL_VERSION));
    const unsigned long versionNumber =
        typed<decltype(&::OpenSSL_version_num)>(addresses[static_cast<int>(Entry::OpenSSL_version_num)])();
    if (!isSupported(versionText, versionNumber, failures)) return nullptr;
    // OpenSSL 3 locks for itself; it only needs to be initialised once.
    if (!typed<decltype(&::OPENSSL_init_ssl)>(addresses[static_cast<int>(Entry::OPENSSL_init_ssl)])(
            0, nullptr)) {
        failures << QStringLiteral("OPENSSL_init_ssl failed.");
        return nullptr;
    }
    std::unique_ptr<OpenSSLLibrary> library(new OpenSSLLibrary(std::move(handles), addresses));
    library->versionText_ = versionText;
    return library;
}

OpenSSLLibrary::OpenSSLLibrary(std::unique_ptr<Handles> handles, void* const* addresses)
    : handles_(std::move(handles)) {
    std::copy(addresses, addresses + static_cast<int>(Entry::Count), addresses_);
}

OpenSSLLibrary::~OpenSSLLibrary() = default;

const OpenSSLLibrary& OpenSSLLibrary::process() {
    ProcessLibrary& state = processLibrary();
    std::lock_guard lock(state.mutex);
    if (!state.library) {
        QStringList failures;
        state.library = open(fileFromEnvironment("HARVESTLINE_LIBCRYPTO", "libcrypto.so.3"),
                             fileFromEnvironment("HARVESTLINE_LIBSSL", "libssl.so.3"), failures);
        state.failures = failures;
        if (!state.library) throw EIdOSSLCouldNotLoadSSLLibrary();
    }
    return *state.library;
}

QStringList OpenSSLLibrary::processFailures() {
    ProcessLibrary& state = processLibrary();
    std::lock_guard lock(state.mutex);
    return state.failures;
}

} // namespace hl
