#include "services/postform.h"

#include "protocols/formencoding.h"
#include "protocols/httpcharset.h"
#include "protocols/httpexceptions.h"
#include "protocols/idhttp.h"
#include "protocols/ssliohandlersocketopenssl.h"

namespace hl {
namespace {

// A memory stream that refuses to grow past the reply limit, also when the client reserves room
// for an announced length before any byte arrives.
class BoundedMemoryStream final : public TStream {
public:
    qint64 Position() const override { return memory_.Position(); }
    void Seek(qint64 position) override { memory_.Seek(position); }
    qint64 Size() const override { return memory_.Size(); }
    void SetSize(qint64 size) override {
        if (size > kFormReplyLimit) throw EFormReplyTooLarge();
        memory_.SetSize(size);
    }
    void Write(const char* data, qint64 length) override {
        if (length > kFormReplyLimit - memory_.Position()) throw EFormReplyTooLarge();
        memory_.Write(data, length);
    }
    const QByteArray& Data() const { return memory_.Data(); }

private:
    TMemoryStream memory_;
};

} // namespace

QString PostForm(const QString& url, const QStringList& fields, int timeoutMs,
                 std::shared_ptr<const HostResolver> resolver, const PostAbortCheck& shouldAbort) {
    const bool https = url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    // The TLS transport also carries plain http (in pass-through), so one set-up serves both.
    auto transport = std::make_shared<TIdSSLIOHandlerSocketOpenSSL>();
    transport->SSLOptions.SetSSLVersions({TIdSSLVersion::sslvSSLv23, TIdSSLVersion::sslvTLSv1,
                                          TIdSSLVersion::sslvTLSv1_1, TIdSSLVersion::sslvTLSv1_2});
    transport->Resolver = std::move(resolver);
    transport->ShouldAbort = shouldAbort;

    TIdHTTP http;
    http.IOHandler = transport;
    http.ConnectTimeout = timeoutMs;
    http.ReadTimeout = timeoutMs;
    http.Request.ContentType = QStringLiteral("application/x-www-form-urlencoded");
    if (https) http.Request.Connection = QStringLiteral("close");
    // An error status's body is read outside any stream; the running count stops it as well.
    bool tooLarge = false;
    http.OnWork = [&](TWorkMode mode, qint64 count) {
        if (mode == wmRead && count > kFormReplyLimit && !tooLarge) {
            tooLarge = true;
            http.Disconnect();
        }
    };

    const QByteArray body = encodeFormLines(fields, true);
    BoundedMemoryStream reply;
    try {
        http.DoRequest(QStringLiteral("POST"), url, &body, &reply);
    } catch (const EIdHTTPProtocolException& error) {
        if (tooLarge) throw EFormReplyTooLarge();
        if (!https) throw;
        return error.ErrorMessage;
    } catch (const Exception&) {
        if (tooLarge) throw EFormReplyTooLarge();
        throw;
    }
    return decodeText(reply.Data(), http.Response.CharSet);
}

std::optional<QString> PostToMakerServer(const MakerServer& server, const QString& path,
                                         const QStringList& fields, int timeoutMs,
                                         const PostAbortCheck& shouldAbort) {
    for (const char* scheme : {"https://", "http://"}) {
        try {
            return PostForm(server.url(QLatin1String(scheme), path), fields, timeoutMs, server.resolver,
                            shouldAbort);
        } catch (const std::exception&) {
            // The next scheme may get through; the caller only learns that neither did.
        }
    }
    return std::nullopt;
}

} // namespace hl
