#pragma once
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace hl {

class TextEditor;

// The lines on their way into a log view. A parallel run can write a thousand lines a second, and
// appending them one at a time would lay out and repaint the log for every line; so the lines wait
// a moment (kBatchMs at most) and go in together, in order. GUI thread only.
class LogFeed : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 50;

    // view outlives the feed.
    LogFeed(TextEditor* view, QObject* parent);

    // Appends line with the next batch.
    void add(const QString& line);
    // Appends the waiting lines now (before something that must follow them, such as a box).
    void flush();

private:
    TextEditor* view_;
    QStringList waiting_;
    QTimer timer_;
};

} // namespace hl
