#include "support/guiapplication.h"
#include "support/httpscript.h"
#include "support/makerstandin.h"
#include "support/scriptedprompts.h"
#include "ui/feedbackform.h"
#include "ui/opinionpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace hl {
namespace {

const ProgramIdentity kIdentity{QStringLiteral("LUMBRIX - Harvestline"), QStringLiteral("1.0"),
                                QStringLiteral("Harvestline")};

// A feedback window whose posts go to a loopback stand-in of the maker's server.
class FeedbackFormTest : public test::GuiTest {
protected:
    // The feedback field of the one request the server received, decoded.
    QString sentField(const char* name) const {
        const QList<QByteArray> requests = maker.requests();
        if (requests.size() != 1) return QStringLiteral("<%1 requests>").arg(requests.size());
        const QByteArray body = requests.constFirst().mid(requests.constFirst().indexOf("\r\n\r\n") + 4);
        for (const QByteArray& field : body.split('&'))
            if (field.startsWith(QByteArray(name) + '='))
                return QUrl::fromPercentEncoding(field.mid(qstrlen(name) + 1).replace('+', ' '));
        return QStringLiteral("<absent>");
    }
    void sendAndWait() {
        form.sendButton()->click();
        maker.waitIdle();
    }

    QByteArray answer = "\r\nOK\r\n";
    test::MakerStandIn maker{
        [this](const QByteArray&) { return test::httpReply("HTTP/1.1 200 OK", "", answer); }};
    test::ScriptedPrompts prompts;
    TFeedbackForm form{kIdentity, maker.server(), prompts, nullptr};
};

TEST_F(FeedbackFormTest, CaptionTextsAndLimits) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Harvestline feedback"));
    EXPECT_EQ(form.size(), QSize(525, 326));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("We would really appreciate your feedback."));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              QStringLiteral("What did you like or dislike?"));
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("Label2"))->font().bold());
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label3"))->text(),
              QStringLiteral("Include my e-mail:"));
    EXPECT_EQ(form.sendButton()->text(), QStringLiteral("Send"));
    EXPECT_EQ(form.addressBox()->maxLength(), 100);
    EXPECT_EQ(form.likePanel()->cursor().shape(), Qt::PointingHandCursor);

    form.messageBox()->setPlainText(QString(10005, QLatin1Char('m')));
    EXPECT_EQ(form.messageBox()->toPlainText().size(), 10000);
}

TEST_F(FeedbackFormTest, OpinionPanelsToggleAndExcludeEachOther) {
    const struct {
        QWidget* (*target)(TFeedbackForm&);
        Qt::MouseButton button;
        Opinion after;
    } presses[] = {
        {[](TFeedbackForm& f) -> QWidget* { return f.likePanel(); }, Qt::LeftButton, Opinion::Like},
        {[](TFeedbackForm& f) -> QWidget* { return f.dislikePanel()->picture(); }, Qt::LeftButton,
         Opinion::Dislike},
        {[](TFeedbackForm& f) -> QWidget* { return f.likePanel(); }, Qt::RightButton, Opinion::Dislike},
        {[](TFeedbackForm& f) -> QWidget* { return f.dislikePanel(); }, Qt::LeftButton, Opinion::None},
        {[](TFeedbackForm& f) -> QWidget* { return f.likePanel()->picture(); }, Qt::LeftButton,
         Opinion::Like},
        {[](TFeedbackForm& f) -> QWidget* { return f.likePanel(); }, Qt::LeftButton, Opinion::None},
    };
    int step = 0;
    for (const auto& press : presses) {
        QTest::mousePress(press.target(form), press.button);
        EXPECT_EQ(form.opinion(), press.after) << "press " << step;
        EXPECT_EQ(form.likePanel()->frameShadow(),
                  press.after == Opinion::Like ? QFrame::Sunken : QFrame::Raised);
        EXPECT_EQ(form.dislikePanel()->frameShadow(),
                  press.after == Opinion::Dislike ? QFrame::Sunken : QFrame::Raised);
        ++step;
    }
}

TEST_F(FeedbackFormTest, BlankMessageOnlyBeepsAndFocusesTheMessage) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.likePanel()->setSelected(true);
    form.messageBox()->setPlainText(QStringLiteral("  \r\n\t \n"));
    form.addressBox()->setFocus();
    ASSERT_TRUE(form.addressBox()->hasFocus());
    sendAndWait();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(maker.connectionCount(), 0);
    EXPECT_TRUE(form.messageBox()->hasFocus());
}

TEST_F(FeedbackFormTest, AddressesAreTrimmedAndCheckedBeforeAnythingIsSent) {
    const struct {
        const char* typed;
        bool accepted;
        const char* sent;
    } cases[] = {
        {"  ann@example.de \t", true, "ann@example.de"},
        {"", true, "<absent>"},
        {"   ", true, "<absent>"},
        {"ann@example", false, ""},
        {"ann example@x.de", false, ""},
    };
    for (const auto& c : cases) {
        test::MakerStandIn server(
            [](const QByteArray&) { return test::httpReply("HTTP/1.1 200 OK", "", "OK"); });
        test::ScriptedPrompts answers;
        TFeedbackForm window(kIdentity, server.server(), answers, nullptr);
        window.messageBox()->setPlainText(QStringLiteral("Nice"));
        window.addressBox()->setText(QLatin1String(c.typed));
        window.sendButton()->click();
        server.waitIdle();
        ASSERT_EQ(answers.messages.size(), 1u) << c.typed;
        if (!c.accepted) {
            EXPECT_EQ(answers.messages[0].icon, MessageIcon::Error);
            EXPECT_EQ(answers.messages[0].caption, QStringLiteral("Failure"));
            EXPECT_EQ(answers.messages[0].text, QStringLiteral("Invalid e-mail address!"));
            EXPECT_EQ(server.connectionCount(), 0) << c.typed;
            continue;
        }
        EXPECT_EQ(answers.messages[0].caption, QStringLiteral("Success")) << c.typed;
        const QByteArray body =
            server.requests().constFirst().mid(server.requests().constFirst().indexOf("\r\n\r\n") + 4);
        const qsizetype email = body.indexOf("email=");
        EXPECT_EQ(email < 0 ? QByteArray("<absent>")
                            : QUrl::fromPercentEncoding(body.mid(email + 6)).toUtf8(),
                  QByteArray(c.sent));
    }
}

TEST_F(FeedbackFormTest, SendsTheOpinionLineAndMessageAndReportsReceipt) {
    form.likePanel()->setSelected(true);
    form.messageBox()->setPlainText(QStringLiteral("  Great\n"));
    form.show();
    sendAndWait();
    EXPECT_EQ(sentField("cmd"), QStringLiteral("feedback"));
    EXPECT_EQ(sentField("appname"), QStringLiteral("LUMBRIX - Harvestline"));
    EXPECT_EQ(sentField("version"), QStringLiteral("1.0"));
    EXPECT_EQ(sentField("feedback"), QStringLiteral("I like it!\rGreat"));
    EXPECT_EQ(sentField("email"), QStringLiteral("<absent>"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Success"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Your feedback is received.\r\rThank you!"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(FeedbackFormTest, AnyOtherAnswerKeepsTheWindowAndItsContents) {
    answer = "OK, but";
    form.messageBox()->setPlainText(QStringLiteral("Slow"));
    form.addressBox()->setText(QStringLiteral("a@b.cd"));
    form.show();
    sendAndWait();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Failure"));
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral(
                  "Something went wrong. Your feedback could not be delivered.\r\rPlease try again later."));
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.messageBox()->toPlainText(), QStringLiteral("Slow"));
    EXPECT_EQ(form.addressBox()->text(), QStringLiteral("a@b.cd"));
}

TEST_F(FeedbackFormTest, EscapeClosesTheWindowFromTheMessageTheAddressAndTheButton) {
    for (QWidget* (*control)(TFeedbackForm&) :
         {+[](TFeedbackForm& f) -> QWidget* { return f.messageBox(); },
          +[](TFeedbackForm& f) -> QWidget* { return f.addressBox(); },
          +[](TFeedbackForm& f) -> QWidget* { return f.sendButton(); }}) {
        TFeedbackForm window(kIdentity, maker.server(), prompts, nullptr);
        window.show();
        control(window)->setFocus();
        QTest::keyClick(control(window), Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(maker.connectionCount(), 0);
}

} // namespace
} // namespace hl
