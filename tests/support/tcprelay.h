#pragma once
// The relay of a scripted CONNECT proxy: once it has agreed to a tunnel, bytes pass both ways
// between its client and a loopback server.
#include <QtGlobal>

namespace hl::test {

// Connects to 127.0.0.1:serverPort and passes bytes both ways until either side closes or both
// stay silent for 5 s.
void relayToLoopback(int clientDescriptor, quint16 serverPort);

} // namespace hl::test
