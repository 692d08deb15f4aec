#include "support/loopbacksocket.h"
#include "support/windowfixture.h"
#include "ui/actionrow.h"
#include "ui/listmirror.h"
#include "ui/proxylisttab.h"
#include "ui/runcontroller.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace hl {
namespace {

class ListMirrorTest : public test::WindowTest {
protected:
    QByteArray listFile() { return settings.read(QStringLiteral("list.txt")); }
    static QByteArray listBytes(const QStringList& lines) {
        QByteArray bytes = "\xEF\xBB\xBF";
        for (const QString& line : lines)
            bytes += line.toUtf8() + "\r\n";
        return bytes;
    }
    // Puts the caret at the end of the URL list's first line.
    void typeIntoFirstLine(const char* text) {
        QTextCursor cursor(form->urlEditor()->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        form->urlEditor()->setTextCursor(cursor);
        form->urlEditor()->setFocus();
        QTest::keyClicks(form->urlEditor(), text);
    }
};

TEST_F(ListMirrorTest, TheLastOfManyQuickChangesReachesTheFileSoonAfter) {
    form->urlEditor()->setLines({QStringLiteral("http://127.0.0.1/a"), QStringLiteral("http://127.0.0.1/b")});
    form->listMirror()->writePending();
    form->show();
    typeIntoFirstLine("xyz");
    form->urlEditor()->appendLine(QStringLiteral("http://127.0.0.1/c"));
    // No keystroke rewrote the file on the GUI thread; the rewrite comes once the changes pause.
    EXPECT_EQ(listFile(), listBytes({"http://127.0.0.1/a", "http://127.0.0.1/b"}));
    const QByteArray expected =
        listBytes({"http://127.0.0.1/axyz", "http://127.0.0.1/b", "http://127.0.0.1/c"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return listFile() == expected; }, 10000)) << listFile().toStdString();

    // The proxy list follows its editor the same way while it is remembered.
    form->menu().rememberProxyList->trigger();
    form->proxyTab()->editor()->appendLine(QStringLiteral("127.0.0.1:3128"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return settings.read(QStringLiteral("proxylist.txt")) == "127.0.0.1:3128"; }, 10000));
}

TEST_F(ListMirrorTest, ARunStartsOnlyOnceTheFileHoldsTheListItReads) {
    const test::ClosedPort closed;
    const QStringList urls = {QStringLiteral("http://127.0.0.1:%1/a").arg(closed.port())};
    form->menu().showErrors->setChecked(false);
    form->urlEditor()->setLines({urls[0], QString()});
    QTest::mouseClick(form->actionRow()->runButton(), Qt::LeftButton);
    // At once, with the blank line the run removed.
    EXPECT_EQ(listFile(), listBytes(urls));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->runController()->running(); }, 20000));
}

TEST_F(ListMirrorTest, NothingTypedIsLostWhenTheWindowCloses) {
    form->urlEditor()->setLines({QStringLiteral("http://127.0.0.1/a")});
    form->show();
    typeIntoFirstLine("1");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(listFile(), listBytes({"http://127.0.0.1/a1"}));

    // Ending the program without a close (the window is destroyed) writes it too.
    reopen();
    typeIntoFirstLine("2");
    form.reset();
    EXPECT_EQ(listFile(), listBytes({"http://127.0.0.1/a12"}));
}

TEST_F(ListMirrorTest, AFileThatCannotBeWrittenIsReportedOnceAndTheListKept) {
    form->show();
    QFile::remove(settings.file(QStringLiteral("list.txt")));
    ASSERT_TRUE(QDir(settings.path()).mkdir(QStringLiteral("list.txt")));
    typeIntoFirstLine("a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts->messages.empty(); }, 10000));
    typeIntoFirstLine("b");
    form->listMirror()->writePending();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(prompts->messages[0].text.contains(QStringLiteral("list.txt")))
        << prompts->messages[0].text.toStdString();
    EXPECT_TRUE(form->urlEditor()->line(0).endsWith(QStringLiteral("ab")));
}

} // namespace
} // namespace hl
