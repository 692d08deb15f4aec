// The URL Grabber window offscreen against loopback servers: opening, START and STOP, the probe's
// redirect, scopes, errors, closing during a crawl and list.txt.
#include "services/makerserver.h"
#include "settings/settingsfolder.h"
#include "support/httpscript.h"
#include "support/scriptedserver.h"
#include "support/scriptedsite.h"
#include "support/windowfixture.h"
#include "ui/editorurllist.h"
#include "ui/listmirror.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/urlgrabberform.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace hl {
namespace {

class UrlGrabberTest : public test::WindowTest {
protected:
    UrlGrabberTest() { form->urlEditor()->setLines({}); }

    // File > "URL Grabber...": the window it opened.
    TFormURLGrabber* open() {
        const auto before = form->findChildren<TFormURLGrabber*>();
        form->menu().urlGrabber->trigger();
        for (TFormURLGrabber* window : form->findChildren<TFormURLGrabber*>())
            if (!before.contains(window)) return window;
        ADD_FAILURE() << "no new grabber window";
        return nullptr;
    }
    // Types url into the box and presses START.
    static void start(TFormURLGrabber* grabber, const QString& url) {
        grabber->urlBox()->setText(url);
        QTest::mouseClick(grabber->startButton(), Qt::LeftButton);
    }
    static bool waitForReport(TFormURLGrabber* grabber) {
        return QTest::qWaitFor([&] { return !grabber->crawling(); }, 30000);
    }
    // START for url, waiting for the closing report.
    void grab(TFormURLGrabber* grabber, const QString& url) {
        start(grabber, url);
        ASSERT_TRUE(waitForReport(grabber));
    }
    QString mainStatus() const { return form->statusPanels()->panelText(0); }
    QStringList list() const { return form->urlEditor()->lines(); }
    // list.txt once the saves the changes started have reached it.
    QByteArray listFile() {
        form->listMirror()->writePending();
        return settings.read(kUrlListFileName);
    }

    test::ScriptedSite site;
};

// A server whose first connection gets a page of links and every later one the head of a page and
// then silence, until the client goes.
test::ScriptedServer stallingAfterTheProbe() {
    return test::ScriptedServer([](test::ScriptedConnection& connection) {
        connection.readHead();
        if (connection.index() == 0)
            return connection.send(
                test::httpReply("HTTP/1.1 200 OK", "Connection: close\r\n", "<a href=\"x\">"));
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<a href=\"y\">");
        connection.waitForClientClose(30000);
    });
}

TEST_F(UrlGrabberTest, EveryOpeningIsANewModelessWindowWithTheDefaults) {
    EXPECT_TRUE(form->menu().urlGrabber->isEnabled());
    TFormURLGrabber* first = open();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("URL Grabber"));
    EXPECT_EQ(first->size(), QSize(484, 177));
    first->urlBox()->setText(QStringLiteral("http://127.0.0.1/"));
    first->filterBox()->setText(QStringLiteral("zip"));
    first->subdomainButton()->setChecked(true);

    TFormURLGrabber* second = open();
    ASSERT_NE(second, first);
    for (TFormURLGrabber* grabber : {first, second})
        grabber->close();
    TFormURLGrabber* third = open();
    EXPECT_EQ(third->urlBox()->text(), MakerHomePage());
    EXPECT_EQ(third->filterBox()->text(), QString());
    EXPECT_TRUE(third->allDomainsButton()->isChecked());
    EXPECT_EQ(third->startButton()->text(), QStringLiteral("START"));
    EXPECT_TRUE(third->startButton()->isDefault());
}

TEST_F(UrlGrabberTest, AnEmptyUrlIsRefusedWithAWarning) {
    TFormURLGrabber* grabber = open();
    start(grabber, QStringLiteral("  "));
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(prompts->messages[0].text, QStringLiteral("Please enter URL!"));
    EXPECT_FALSE(grabber->crawling());
    EXPECT_EQ(grabber->startButton()->text(), QStringLiteral("START"));
}

TEST_F(UrlGrabberTest, ARedirectedPageEndsUpInTheBoxAndItsLinksResolveAgainstIt) {
    site.reply("/start", test::httpReply("HTTP/1.1 302 Found", "Location: /dir/page.html\r\n", {}));
    site.put("/dir/page.html", R"(<a href="a.html"><img src='/b.png'><a href="listed"><a href="#top">)");
    form->urlEditor()->setLines({site.url("/dir/listed")});
    TFormURLGrabber* grabber = open();
    // Without a scheme the box gets "http://" in front.
    grab(grabber, site.url("/start").mid(7));

    EXPECT_EQ(grabber->urlBox()->text(), site.url("/dir/page.html"));
    EXPECT_EQ(list(), (QStringList{site.url("/dir/listed"), site.url("/dir/a.html"), site.url("/dir/"),
                                   site.url("/b.png")}));
    EXPECT_EQ(mainStatus(), QStringLiteral("3 new links added"));
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(grabber->startButton()->text(), QStringLiteral("START"));
    EXPECT_TRUE(grabber->startButton()->isEnabled());
    EXPECT_EQ(grabber->statusBar()->currentMessage(), QString());
    // The list is saved in the background, a moment after the change.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return listFile().contains(site.url("/b.png").toUtf8() + "\r\n"); }, 10000))
        << listFile().toStdString();

    // Again: everything is listed already.
    grab(grabber, grabber->urlBox()->text());
    EXPECT_EQ(mainStatus(), QStringLiteral("0 new links added"));
    EXPECT_EQ(list().size(), 4);
}

TEST_F(UrlGrabberTest, TheScopeComparesWithTheUrlBox) {
    const QString port = QString::number(site.port());
    const QString sameHost = site.url("/same"), otherHostSameDomain = "http://127.1.0.1:" + port + "/domain",
                  otherDomain = "http://localhost:" + port + "/other";
    site.put("/page", QStringLiteral(R"(<a href="%1"><a href="%2"><a href="%3">)")
                          .arg(sameHost, otherHostSameDomain, otherDomain)
                          .toUtf8());
    struct Case {
        QRadioButton* (TFormURLGrabber::*button)() const;
        QStringList expected;
    };
    const Case cases[] = {
        {&TFormURLGrabber::allDomainsButton, {sameHost, otherHostSameDomain, otherDomain}},
        {&TFormURLGrabber::domainButton, {sameHost, otherHostSameDomain}}, // "0.1:port" for both
        {&TFormURLGrabber::subdomainButton, {sameHost}},
    };
    for (const Case& c : cases) {
        form->urlEditor()->setLines({});
        TFormURLGrabber* grabber = open();
        (grabber->*c.button)()->setChecked(true);
        grab(grabber, site.url("/page"));
        EXPECT_EQ(list(), c.expected);
        grabber->close();
    }
}

TEST_F(UrlGrabberTest, StopCutsASlowPageAndTheReportCountsWhatWasAdded) {
    test::ScriptedServer server = stallingAfterTheProbe();
    TFormURLGrabber* grabber = open();
    start(grabber, server.url("/page"));
    EXPECT_EQ(grabber->startButton()->text(), QStringLiteral("STOP"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 2; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return grabber->statusBar()->currentMessage() == "Loading: " + server.url("/page"); }, 10000));

    QTest::mouseClick(grabber->startButton(), Qt::LeftButton);
    EXPECT_EQ(grabber->startButton()->text(), QStringLiteral("Stopping..."));
    EXPECT_FALSE(grabber->startButton()->isEnabled());
    ASSERT_TRUE(waitForReport(grabber));
    EXPECT_EQ(grabber->startButton()->text(), QStringLiteral("START"));
    EXPECT_TRUE(grabber->startButton()->isEnabled());
    EXPECT_EQ(mainStatus(), QStringLiteral("0 new links added"));
    EXPECT_TRUE(prompts->messages.empty()); // a stop is not an error
    EXPECT_EQ(list(), QStringList());
}

TEST_F(UrlGrabberTest, AnUnreachableUrlShowsOneErrorBoxOnlyWithShowErrors) {
    const QString unreachable = [] {
        test::ScriptedServer closed([](test::ScriptedConnection&) {});
        return closed.url("/page");
    }();
    for (const bool showErrors : {true, false}) {
        prompts->messages.clear();
        form->menu().showErrors->setChecked(showErrors);
        TFormURLGrabber* grabber = open();
        grab(grabber, unreachable);
        EXPECT_EQ(mainStatus(), QStringLiteral("0 new links added"));
        if (!showErrors) {
            EXPECT_TRUE(prompts->messages.empty());
            continue;
        }
        ASSERT_EQ(prompts->messages.size(), 1u);
        EXPECT_EQ(prompts->messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(prompts->messages[0].text, QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    }
}

TEST_F(UrlGrabberTest, ClosingDuringACrawlEndsItSafelyAndSavesTheList) {
    test::ScriptedServer server = stallingAfterTheProbe();
    form->urlEditor()->setLines({QStringLiteral("kept")});
    QFile::remove(settings.file(kUrlListFileName));
    QPointer<TFormURLGrabber> first = open();
    start(first, server.url("/page"));
    // A second window during the crawl works on its own.
    site.put("/other", R"(<a href="/found">)");
    TFormURLGrabber* second = open();
    grab(second, site.url("/other"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 2; }, 10000));

    first->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 5000));
    EXPECT_EQ(list(), (QStringList{"kept", site.url("/found")}));
    const QByteArray saved = "\xEF\xBB\xBFkept\r\n" + site.url("/found").toUtf8() + "\r\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return listFile() == saved; }, 10000)) << listFile().toStdString();
    EXPECT_EQ(mainStatus(), QStringLiteral("1 new links added")); // the second window's report only
}

TEST_F(UrlGrabberTest, ClosingSavesTheListEvenWithoutNewLinks) {
    QFile::remove(settings.file(kUrlListFileName));
    open()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return listFile() == "\xEF\xBB\xBF"; }, 10000))
        << listFile().toStdString();
}

TEST_F(UrlGrabberTest, TheEditorListAppendsQuietlyAndSeesWhatOthersChanged) {
    TextEditor* editor = form->urlEditor();
    int changes = 0;
    QObject::connect(editor, &TextEditor::changed, [&] { ++changes; });
    EditorUrlList mine(editor, nullptr), other(editor, nullptr);
    // Into an empty list, after a line, after a final line break: never a blank line.
    EXPECT_EQ(mine.appender().Ekle({"a", "b"}), 2);
    EXPECT_EQ(other.appender().Ekle({"b", "c"}), 1);
    editor->setPlainText(QStringLiteral("a\nc\n"));
    changes = 0;
    EXPECT_EQ(mine.appender().Ekle({"c", "d"}), 1); // "c" came from the other hand
    EXPECT_EQ(editor->text(), QStringLiteral("a\nc\nd"));
    EXPECT_EQ(changes, 0);
    editor->undo();
    EXPECT_EQ(editor->text(), QStringLiteral("a\nc\n"));
}

TEST_F(UrlGrabberTest, TheToolbarButtonOpensTheGrabber) {
    auto* button = form->findChild<QAction*>(QStringLiteral("ToolButtonGrabber"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    button->trigger();
    EXPECT_EQ(form->findChildren<TFormURLGrabber*>().size(), 1);
}

} // namespace
} // namespace hl
