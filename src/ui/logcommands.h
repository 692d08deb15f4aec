#pragma once
#include <QObject>

namespace hl {

class LogTab;

// A log tab's "Clear Log" (empties the log) and "Copy URLs" (puts the URL of every line that has
// one on the clipboard, each followed by CR LF). GUI thread only.
class LogCommands : public QObject {
    Q_OBJECT
public:
    LogCommands(LogTab* tab, QObject* parent);

    void clear();
    void copyUrls();

private:
    LogTab* tab_;
};

} // namespace hl
