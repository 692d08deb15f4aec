#include "ui/logfeed.h"

#include "ui/texteditor.h"

namespace hl {

LogFeed::LogFeed(TextEditor* view, QObject* parent) : QObject(parent), view_(view) {
    timer_.setSingleShot(true);
    timer_.setInterval(kBatchMs);
    connect(&timer_, &QTimer::timeout, this, &LogFeed::flush);
}

void LogFeed::add(const QString& line) {
    if (waiting_.isEmpty()) timer_.start();
    waiting_.append(line);
}

void LogFeed::flush() {
    timer_.stop();
    if (waiting_.isEmpty()) return;
    view_->appendLines(waiting_);
    waiting_.clear();
}

} // namespace hl
