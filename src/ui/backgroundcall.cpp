#include "ui/backgroundcall.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace hl {

void RunInBackground(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        // Queued: delivered by the loop below even when work ends before the loop has started.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

} // namespace hl
