#pragma once
// The turn of the proxy lines over a run: each download takes the next line, one line per URL,
// wrapping to the first after the last line the list had when the run started.
//
// Not thread-safe by design: the run touches it only inside window actions, which run one at a
// time, so downloads take lines in the order they reach that action.
#include "engine/proxyline.h"

#include <QStringList>

namespace hl {

class ProxyRotation {
public:
    // Whether the run uses the proxy list at all (it had text at run start).
    bool UseProxy = false;
    // How the downloads of this run apply their lines.
    ProxyType ProxyScheme = ProxyType::Http;
    // The line the next download takes, and the last line at run start.
    qint32 ProxyIndex = 0;
    qint32 ProxyLast = -1;

    // Run start: removes from lines every line that is blank after trimming (the caller shows the
    // result in the proxy editor), then starts at the first line with the given type.
    void prepare(QStringList& lines, ProxyType type);

    // The next line of the list as it is now (the user may edit it during a run), split into its
    // fields, and advances. An index past the current end (lines deleted) wraps to the first
    // line. Without UseProxy, or with the list now empty, the download takes no line and gets the
    // empty fields.
    ProxyLineFields takeNext(const QStringList& lines);
};

} // namespace hl
