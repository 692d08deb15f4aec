#pragma once
#include <QWidget>

class QPushButton;

namespace hl {

class TextEditor;

// The designer names of one log tab's parts.
struct LogTabNames {
    const char* clearButton;
    const char* copyButton;
    const char* view;
    const char* popupMenu;
};

// A log tab: "Clear Log" and "Copy URLs" over a read-only log view.
class LogTab : public QWidget {
    Q_OBJECT
public:
    LogTab(const LogTabNames& names, QWidget* parent);

    TextEditor* view() const { return view_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* copyUrlsButton() const { return copyUrls_; }

private:
    QPushButton* clear_;
    QPushButton* copyUrls_;
    TextEditor* view_;
};

} // namespace hl
