#pragma once
#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace hl {

class UserPrompts;

// Holds a worker until its error box has been dealt with. Released once, on the GUI thread;
// waited for on the worker's.
class BoxRelease {
public:
    void release();
    void wait();

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool done_ = false;
};

// The error boxes of the runs, shown one at a time in the order they were asked for and never
// inside another box's event loop: a box that arrives while one is open waits for its turn. The
// boxes leave the window usable, so STOP can be reached however many keep arriving. GUI thread
// only, except BoxRelease::wait.
class ErrorBoxQueue : public QObject {
    Q_OBJECT
public:
    ErrorBoxQueue(UserPrompts& prompts, QObject* parent);
    // Releases every worker still held.
    ~ErrorBoxQueue() override;

    // A worker's box: the worker waits on the returned release until its box has been closed or
    // dropped.
    std::shared_ptr<BoxRelease> addWorkerBox(const QString& text);
    // A box that nobody waits for and that no stop drops: why a run ended.
    void addRunBox(const QString& text);
    // A stop was requested: the workers' boxes that wait are dropped and every held worker goes
    // on. A box already on screen stays there to be read; closing it releases nothing more.
    void dropWorkerBoxes();

private:
    struct Box {
        QString text;
        std::shared_ptr<BoxRelease> release; // none for a run's box
    };
    void add(Box box);
    void showNext();
    void closed(const std::shared_ptr<BoxRelease>& release);

    UserPrompts& prompts_;
    std::deque<Box> waiting_;
    bool showing_ = false;
    std::shared_ptr<BoxRelease> shown_;
};

} // namespace hl
