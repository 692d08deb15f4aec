#include "protocols/idsocks.h"

#include "protocols/hostresolver.h"
#include "protocols/iohandlersocket.h"
#include "protocols/socksexceptions.h"

#include <utility>

namespace hl {

namespace {

QByteArray readReply(TIdIOHandlerSocket& transport, int count, TSocksVersion version) {
    if (version != TSocksVersion::svSocks5) return transport.ReadExact(count);
    try {
        return transport.ReadExact(count);
    } catch (const Exception&) {
        throw EIdSocksServerRespondError();
    }
}

} // namespace

void TIdSocksInfo::handshake(TIdIOHandlerSocket& transport, const QString& targetHost, quint16 targetPort) {
    SocksRequest request;
    request.version = Version;
    request.username = Username;
    request.password = Password;
    request.targetHost = targetHost;
    request.targetPort = targetPort;
    if (Version == TSocksVersion::svSocks4)
        request.targetAddress = resolveHost(targetHost, *transport.Resolver);
    const ReceiveHookPause pause(transport);
    SocksHandshake steps(std::move(request));
    while (!steps.done()) {
        if (steps.sending())
            transport.Write(steps.outgoing());
        else
            steps.received(readReply(transport, steps.expected(), Version));
    }
}

} // namespace hl
