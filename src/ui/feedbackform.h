#pragma once
// The feedback window: an opinion ("I like it!" or "I dislike it!", or neither), a message and an
// optional reply address, sent to the maker's server with "Send".
#include "services/feedback.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace hl {

class OpinionPanel;
class UserPrompts;

class TFeedbackForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMessageLimit = 10000;
    static constexpr int kAddressLimit = 100;

    // Posts the fields and tells whether the server answered that it received them. Called on a
    // thread of its own while the window waits.
    using Sender = std::function<bool(const QStringList& fields)>;

    // sender: empty posts to `server` (SendFeedback).
    TFeedbackForm(ProgramIdentity identity, MakerServer server, UserPrompts& prompts, QWidget* parent,
                  Sender sender = {});

    OpinionPanel* likePanel() const { return Panel4; }
    OpinionPanel* dislikePanel() const { return Panel5; }
    QPlainTextEdit* messageBox() const { return Memo1; }
    QLineEdit* addressBox() const { return Edit1; }
    QPushButton* sendButton() const { return BitBtn1; }
    Opinion opinion() const;

    void Image1MouseDown();
    void Image2MouseDown();
    void BitBtn1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void layOut();
    // A press on one panel: it toggles, and selecting it clears the other.
    static void toggle(OpinionPanel* pressed, OpinionPanel* other);
    void limitMessageLength();
    bool send(const QStringList& fields);

    ProgramIdentity identity_;
    UserPrompts& prompts_;
    Sender sender_;
    bool sending_ = false;
    OpinionPanel* Panel4;
    OpinionPanel* Panel5;
    QLabel* Label1;
    QLabel* Label2;
    QPlainTextEdit* Memo1;
    QLabel* Label3;
    QLineEdit* Edit1;
    QPushButton* BitBtn1;
};

} // namespace hl
