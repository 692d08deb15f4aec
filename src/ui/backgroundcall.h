#pragma once
// A blocking call that must not freeze the window: it runs on a thread of its own while the GUI
// thread keeps turning its event loop (so the windows paint), and the caller continues when it is
// done. Input goes on being delivered: the caller disables its window meanwhile, so that what the
// user clicks is dropped rather than queued for afterwards.
#include <functional>

namespace hl {

// Runs work on a new thread and returns when it has ended. work must not throw and must not touch
// a widget. GUI thread only.
void RunInBackground(const std::function<void()>& work);

} // namespace hl
