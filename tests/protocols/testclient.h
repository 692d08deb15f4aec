#pragma once
#include "protocols/idhttp.h"

namespace hl::test {

// A client with short time limits for tests against scripted servers. Declare it after the servers
// it talks to: it is then destroyed first, and its closing connection ends their scripts at once.
struct TestClient : TIdHTTP {
    TestClient() { ReadTimeout = 2000; }
};

} // namespace hl::test
