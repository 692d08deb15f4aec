#include "ui/feedbackform.h"

#include "services/emailaddress.h"
#include "ui/backgroundcall.h"
#include "ui/icons.h"
#include "ui/opinionpanel.h"
#include "ui/userprompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace hl {

TFeedbackForm::TFeedbackForm(ProgramIdentity identity, MakerServer server, UserPrompts& prompts,
                             QWidget* parent, Sender sender)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      identity_(std::move(identity)), prompts_(prompts),
      sender_(sender ? std::move(sender) : Sender([server = std::move(server)](const QStringList& fields) {
          return SendFeedback(server, fields);
      })),
      Panel4(new OpinionPanel("Panel4", "Image1", tr("I like it!"), QStringLiteral("thumb-up"), this)),
      Panel5(new OpinionPanel("Panel5", "Image2", tr("I dislike it!"), QStringLiteral("thumb-down"), this)),
      Label1(new QLabel(this)), Label2(new QLabel(this)), Memo1(new QPlainTextEdit(this)),
      Label3(new QLabel(this)), Edit1(new QLineEdit(this)), BitBtn1(new QPushButton(this)) {
    layOut();
    FormCreate();
    connect(Panel4, &OpinionPanel::pressed, this, &TFeedbackForm::Image1MouseDown);
    connect(Panel5, &OpinionPanel::pressed, this, &TFeedbackForm::Image2MouseDown);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFeedbackForm::limitMessageLength);
    connect(BitBtn1, &QPushButton::clicked, this, &TFeedbackForm::BitBtn1Click);
}

void TFeedbackForm::FormCreate() {
    setWindowTitle(identity_.productName + QLatin1Char(' ') + tr("feedback"));
    Label1->setText(tr("We would really appreciate your feedback."));
    Label2->setText(tr("What did you like or dislike?"));
    Label3->setText(tr("Include my e-mail:"));
    BitBtn1->setText(tr("Send"));
}

void TFeedbackForm::layOut() {
    setObjectName(QStringLiteral("FeedbackForm"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));

    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Edit1->setMaxLength(kAddressLimit);
    BitBtn1->setIcon(themeIcon(QStringLiteral("envelope-letter-icon")));
    // Enter in the address box types nothing; it must not send half-written feedback.
    BitBtn1->setAutoDefault(false);

    auto* opinions = new QHBoxLayout;
    opinions->setSpacing(8);
    opinions->addWidget(Panel4);
    opinions->addWidget(Panel5);
    auto* address = new QHBoxLayout;
    address->addWidget(Label3);
    address->addWidget(Edit1, 1);
    address->addSpacing(16);
    address->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(opinions);
    layout->addSpacing(4);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Memo1, 1);
    layout->addLayout(address);

    setFixedSize(525, 326);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

Opinion TFeedbackForm::opinion() const {
    if (Panel4->selected()) return Opinion::Like;
    if (Panel5->selected()) return Opinion::Dislike;
    return Opinion::None;
}

void TFeedbackForm::toggle(OpinionPanel* pressed, OpinionPanel* other) {
    if (pressed->selected()) {
        pressed->setSelected(false);
        return;
    }
    pressed->setSelected(true);
    other->setSelected(false);
}

void TFeedbackForm::Image1MouseDown() {
    toggle(Panel4, Panel5);
}

void TFeedbackForm::Image2MouseDown() {
    toggle(Panel5, Panel4);
}

void TFeedbackForm::limitMessageLength() {
    const QString text = Memo1->toPlainText();
    if (text.size() <= kMessageLimit) return;
    // Typing or pasting past the limit keeps what fits, as a text box with a maximum length does.
    const int cursor = std::min(Memo1->textCursor().position(), kMessageLimit);
    Memo1->setPlainText(text.left(kMessageLimit));
    QTextCursor position = Memo1->textCursor();
    position.setPosition(cursor);
    Memo1->setTextCursor(position);
}

void TFeedbackForm::BitBtn1Click() {
    const QString message = Memo1->toPlainText().trimmed();
    if (message.isEmpty()) {
        Memo1->setFocus();
        prompts_.beep();
        return;
    }
    const QString feedback = FeedbackText(opinion(), message);
    const QString address = Edit1->text().trimmed();
    if (!address.isEmpty() && !IsValidEmailAddress(address)) {
        Edit1->setFocus();
        prompts_.showMessage(MessageIcon::Error, tr("Failure"), tr("Invalid e-mail address!"));
        return;
    }
    if (send(FeedbackFields(identity_, feedback, address))) {
        prompts_.showMessage(MessageIcon::Information, tr("Success"),
                             tr("Your feedback is received.") + QStringLiteral("\r\r") + tr("Thank you!"));
        accept();
        return;
    }
    prompts_.showMessage(MessageIcon::Error, tr("Failure"),
                         tr("Something went wrong. Your feedback could not be delivered.") +
                             QStringLiteral("\r\r") + tr("Please try again later."));
}

bool TFeedbackForm::send(const QStringList& fields) {
    bool received = false;
    sending_ = true;
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    RunInBackground([&] { received = sender_(fields); });
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    sending_ = false;
    return received;
}

void TFeedbackForm::closeEvent(QCloseEvent* event) {
    if (sending_) return event->ignore();
    QDialog::closeEvent(event);
}

void TFeedbackForm::keyPressEvent(QKeyEvent* event) {
    if (sending_) return event->ignore();
    QDialog::keyPressEvent(event);
}

} // namespace hl
