#pragma once
// The turn of the proxy lines over a run: each download takes the next line, one line per URL,
// wrapping to the first after the last line the list had when the run started. The engine keeps it
// in the run state, and the turn survives the run: the next run starts again at the first line.
//
// Not thread-safe by design: the run touches it only inside window actions, which run one at a
// time, so downloads take lines in the order they reach that action.
#include "engine/proxyline.h"

#include <functional>

namespace hl {

class ProxyRotation {
public:
    // Whether the run uses the proxy list at all (it had lines at run start).
    bool UseProxy = false;
    // How the downloads of this run apply their lines.
    ProxyType ProxyScheme = ProxyType::Http;
    // The line the next download takes, and the last line at run start.
    qint32 ProxyIndex = 0;
    qint32 ProxyLast = -1;

    // Run start: the turn starts at the first of the list's lineCount lines (the front end has
    // dropped the blank ones), with the run's type.
    void prepare(int lineCount, ProxyType type);

    // The next line of the list as it is now (lineCount lines, lineAt(i) for i below that; the user
    // may edit the list during a run), split into its fields, and advances. An index past the
    // current end (lines deleted) wraps to the first line. Without UseProxy, or with the list now
    // empty, the download takes no line and gets the empty fields.
    ProxyLineFields takeNext(int lineCount, const std::function<QString(int)>& lineAt);
};

} // namespace hl
