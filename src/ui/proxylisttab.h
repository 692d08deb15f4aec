#pragma once
#include <QWidget>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace hl {

class TextEditor;

// The "Proxy List" tab: the explanation, the entry row (host, port, user name, password, "Add")
// and the proxy editor.
class ProxyListTab : public QWidget {
    Q_OBJECT
public:
    explicit ProxyListTab(QWidget* parent);

    TextEditor* editor() const { return editor_; }
    QLineEdit* hostBox() const { return host_; }
    QSpinBox* portBox() const { return port_; }
    QLineEdit* userBox() const { return user_; }
    QLineEdit* passwordBox() const { return password_; }
    QPushButton* addButton() const { return add_; }

private:
    QLineEdit* host_;
    QSpinBox* port_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* add_;
    TextEditor* editor_;
};

} // namespace hl
