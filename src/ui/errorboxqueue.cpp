#include "ui/errorboxqueue.h"

#include "ui/userprompts.h"

#include <QPointer>

namespace hl {

void BoxRelease::release() {
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    released_.notify_all();
}

void BoxRelease::wait() {
    std::unique_lock lock(mutex_);
    released_.wait(lock, [this] { return done_; });
}

ErrorBoxQueue::ErrorBoxQueue(UserPrompts& prompts, QObject* parent) : QObject(parent), prompts_(prompts) {}

ErrorBoxQueue::~ErrorBoxQueue() {
    dropWorkerBoxes();
}

std::shared_ptr<BoxRelease> ErrorBoxQueue::addWorkerBox(const QString& text) {
    auto release = std::make_shared<BoxRelease>();
    add({text, release});
    return release;
}

void ErrorBoxQueue::addRunBox(const QString& text) {
    add({text, nullptr});
}

void ErrorBoxQueue::add(Box box) {
    waiting_.push_back(std::move(box));
    showNext();
}

void ErrorBoxQueue::dropWorkerBoxes() {
    if (shown_) std::exchange(shown_, nullptr)->release();
    std::deque<Box> kept;
    for (Box& box : waiting_) {
        if (box.release)
            box.release->release();
        else
            kept.push_back(std::move(box));
    }
    waiting_ = std::move(kept);
}

void ErrorBoxQueue::showNext() {
    if (showing_ || waiting_.empty()) return;
    Box box = std::move(waiting_.front());
    waiting_.pop_front();
    showing_ = true;
    shown_ = box.release;
    // The box may be closed before openMessage returns (prompts that do not wait for a user).
    prompts_.openMessage(MessageIcon::Error, QStringLiteral("ERROR"), box.text,
                         [queue = QPointer<ErrorBoxQueue>(this), release = box.release] {
                             if (queue) queue->closed(release);
                         });
}

void ErrorBoxQueue::closed(const std::shared_ptr<BoxRelease>& release) {
    if (release) release->release();
    if (shown_ == release) shown_ = nullptr;
    showing_ = false;
    // The next box opens from the event loop, not from inside the closing one: boxes never stack
    // on the call stack, and a click on STOP that is already queued is handled before it.
    QMetaObject::invokeMethod(this, &ErrorBoxQueue::showNext, Qt::QueuedConnection);
}

} // namespace hl
