#include "services/checker.h"
#include "services/scrambledtext.h"
#include "services/updatecheck.h"
#include "settings/userstore.h"
#include "support/httpscript.h"
#include "support/makerstandin.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"

#include <QThread>
#include <gtest/gtest.h>

namespace hl {
namespace {

using namespace updatekeys;

const ProgramIdentity kIdentity{QStringLiteral("LUMBRIX - Harvestline"), QStringLiteral("1.0"),
                                QStringLiteral("Harvestline")};
const QDate kToday(2024, 5, 17);

QStringList answerNaming(const QString& version,
                         const QString& url = QStringLiteral("http://dl.example/hl.zip")) {
    return {QStringLiteral("<version>") + version + QStringLiteral("</version>"),
            QStringLiteral("<url>") + url + QStringLiteral("</url>"), QStringLiteral("<size>1</size>"),
            QStringLiteral("<date>x</date>")};
}

// A check against a loopback stand-in of the maker's server, with its store in a temporary folder.
class UpdateCheck : public testing::Test {
protected:
    UpdateCheckOutcome check() {
        UpdateCheckEnvironment environment;
        environment.server = maker.server();
        environment.storePath = storePath();
        environment.today = [this] { return today; };
        environment.dateText = [](QDate date) { return date.toString(QStringLiteral("d.M.yyyy")); };
        environment.describeSystem = [] {
            return SystemDescription{QStringLiteral("Debian GNU/Linux 12 (bookworm), linux 6.1, 64-bit"),
                                     QStringLiteral("de-AT"),
                                     QStringLiteral("0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0")};
        };
        environment.timeoutMs = 5000;
        const UpdateCheckOutcome outcome = CheckNow(environment, kIdentity);
        maker.waitIdle();
        return outcome;
    }

    QString storePath() const { return dir.file(QStringLiteral("store/user.ini")); }
    // The stored value, as a fresh store reads it.
    QString stored(QLatin1String name) const {
        UserStore store(storePath());
        store.Open();
        return store.ReadString(name).value_or(QStringLiteral("<absent>"));
    }
    void store(std::initializer_list<std::pair<QLatin1String, QString>> values) const {
        UserStore store(storePath());
        store.Open();
        for (const auto& [name, value] : values)
            store.WriteString(name, value);
    }
    // The howmany field of the one request the server received, or "-" when it received none.
    QByteArray sentHowMany() const {
        const QList<QByteArray> requests = maker.requests();
        if (requests.isEmpty()) return "-";
        const QByteArray body = requests.constLast().mid(requests.constLast().indexOf("\r\n\r\n") + 4);
        return body.mid(body.indexOf("howmany=") + 8);
    }

    test::TempDir dir;
    QDate today = kToday;
    QStringList answer = answerNaming(QStringLiteral("1.1"));
    // What the stand-in sends back for each request.
    std::function<QByteArray()> reply = [this] { return test::updateAnswer(answer); };
    test::MakerStandIn maker{[this](const QByteArray&) { return reply(); }};
};

TEST_F(UpdateCheck, FirstStartPostsTheFormOverHttpAfterHttpsFailsAndKeepsTheAnswer) {
    answer = answerNaming(QStringLiteral("1.1"), QStringLiteral("https://dl.example/Harvestline 1.1.zip"));
    const UpdateCheckOutcome outcome = check();

    EXPECT_EQ(maker.tlsAttempts(), 1);
    ASSERT_EQ(maker.requests().size(), 1);
    const QByteArray request = maker.requests().constFirst();
    EXPECT_EQ(test::requestLine(request), "POST /php/check2.php HTTP/1.1");
    EXPECT_EQ(test::headerValue(request, "Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.mid(request.indexOf("\r\n\r\n") + 4),
              "cmd=check&appname=LUMBRIX+-+Harvestline&version=1.0"
              "&os=Debian+GNU%2FLinux+12+%28bookworm%29%2C+linux+6.1%2C+64-bit&local=de-AT"
              "&guid=0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0&howmany=1");

    EXPECT_TRUE(outcome.noticeWanted);
    EXPECT_TRUE(outcome.showUpdate);
    EXPECT_EQ(outcome.latestVersion, QStringLiteral("1.1"));
    EXPECT_EQ(outcome.latestUrl, QStringLiteral("https://dl.example/Harvestline 1.1.zip"));
    EXPECT_EQ(stored(HowMany), QStringLiteral("1"));
    EXPECT_EQ(stored(InstalledVersion), QStringLiteral("1.0"));
    EXPECT_EQ(stored(LastUpdateCheck), QStringLiteral("17.5.2024"));
    EXPECT_EQ(stored(LastUpdateCheckCount), QStringLiteral("1"));
    EXPECT_EQ(stored(CurrentVersion), QStringLiteral("1.1"));
    // The link is kept, but not in plain text.
    EXPECT_EQ(UnscrambleText(stored(CurrentURL)), outcome.latestUrl);
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("dl.example"));
}

TEST_F(UpdateCheck, StartCountGrowsPerStartAndRestartsWithANewVersion) {
    const struct {
        const char* installed;
        const char* howMany;
        QByteArray sent;
    } cases[] = {
        {"1.0", "7", "8"},  // same version: one more start
        {"0.9", "7", "1"},  // a new version starts the count again
        {"", "7", "1"},     // no version recorded yet
        {"1.0", "-3", "1"}, // a negative count counts as none
        {"1.0", "x", "1"},  // so does one that is not a number
    };
    for (const auto& c : cases) {
        QFile::remove(storePath());
        store({{InstalledVersion, QLatin1String(c.installed)}, {HowMany, QLatin1String(c.howMany)}});
        const qsizetype before = maker.requests().size();
        check();
        ASSERT_EQ(maker.requests().size(), before + 1) << c.installed << "/" << c.howMany;
        EXPECT_EQ(sentHowMany(), c.sent) << c.installed << "/" << c.howMany;
        EXPECT_EQ(stored(HowMany), QString::fromLatin1(c.sent));
        EXPECT_EQ(stored(InstalledVersion), QStringLiteral("1.0"));
    }
}

TEST_F(UpdateCheck, SwitchedOffSendsNothingButStillCountsTheStart) {
    store({{ShowUpdate, QStringLiteral("0")},
           {InstalledVersion, QStringLiteral("1.0")},
           {HowMany, QStringLiteral("4")},
           {CurrentVersion, QStringLiteral("1.3")}});
    const UpdateCheckOutcome outcome = check();
    EXPECT_EQ(maker.connectionCount(), 0);
    EXPECT_FALSE(outcome.showUpdate);
    EXPECT_FALSE(outcome.noticeWanted);
    EXPECT_EQ(outcome.latestVersion, QStringLiteral("1.3")); // what the last usable answer said
    EXPECT_EQ(stored(HowMany), QStringLiteral("5"));
    EXPECT_EQ(stored(LastUpdateCheck), QStringLiteral("<absent>"));
}

TEST_F(UpdateCheck, FiveChecksADayGoToTheServerAndTheFirstThreeMayShowTheNotice) {
    const struct {
        QDate lastCheck;
        int lastCount;
        bool sent;
        bool notice;
        int countAfter;
    } cases[] = {
        {kToday, 0, true, true, 1},
        {kToday, 2, true, true, 3},
        {kToday, 3, true, false, 4},
        {kToday, 4, true, false, 5},
        {kToday, 5, false, false, 5},
        {kToday, 9, false, false, 9},
        {kToday.addDays(-1), 9, true, true, 1},
    };
    for (const auto& c : cases) {
        const QString label = c.lastCheck.toString() + QLatin1Char('/') + QString::number(c.lastCount);
        store({{LastUpdateCheck, c.lastCheck.toString(QStringLiteral("d.M.yyyy"))},
               {LastUpdateCheckCount, QString::number(c.lastCount)}});
        const int before = maker.connectionCount();
        const UpdateCheckOutcome outcome = check();
        EXPECT_EQ(maker.connectionCount() > before, c.sent) << label.toStdString();
        EXPECT_EQ(outcome.noticeWanted, c.notice) << label.toStdString();
        EXPECT_EQ(stored(LastUpdateCheckCount), QString::number(c.countAfter)) << label.toStdString();
        EXPECT_EQ(stored(LastUpdateCheck), QStringLiteral("17.5.2024")) << label.toStdString();
    }
}

TEST_F(UpdateCheck, NoticeOnlyForAnotherVersionMadeOfDigitsAndDots) {
    const struct {
        const char* published;
        bool notice;
    } cases[] = {
        {"1.0", false},
        {"1.1", true},
        {"0.9", true},
        {"10.0.3", true},
        {"1.0b", false},
        {"1 1", false},
        {"", false},
        {"...", false},
        {"2147483647", true},
        {"21474836.48", false},
        {"99999999999999999999999", false},
        {"-1", false},
    };
    for (const auto& c : cases) {
        answer = answerNaming(QLatin1String(c.published));
        const UpdateCheckOutcome outcome = check();
        EXPECT_EQ(outcome.noticeWanted, c.notice) << c.published;
        // Whatever it says, a usable answer is kept.
        EXPECT_EQ(stored(CurrentVersion), QLatin1String(c.published)) << c.published;
        store({{LastUpdateCheckCount, QStringLiteral("0")}});
    }
}

TEST_F(UpdateCheck, UnusableAnswersChangeNoStoredVersionOrLink) {
    int starts = 0;
    const QList<QByteArray> replies = {
        test::updateAnswer({QStringLiteral("ERROR: unknown application"), QStringLiteral("<url>x</url>"),
                            QStringLiteral("3"), QStringLiteral("4")}),
        test::updateAnswer(answerNaming(QStringLiteral("1.1")).mid(0, 3)), // three lines are too few
        test::httpReply("HTTP/1.1 500 Internal Server Error", "",
                        answerNaming(QStringLiteral("1.1")).join(QStringLiteral("\r\n")).toUtf8()),
        QByteArray(), // the connection closes without an answer
    };
    store(
        {{CurrentVersion, QStringLiteral("1.2")}, {CurrentURL, ScrambleText(QStringLiteral("http://old"))}});
    for (const QByteArray& unusable : replies) {
        reply = [&] { return unusable; };
        const qsizetype before = maker.requests().size();
        const UpdateCheckOutcome outcome = check();
        EXPECT_EQ(maker.requests().size(), before + 1) << unusable.toStdString();
        EXPECT_FALSE(outcome.noticeWanted) << unusable.toStdString();
        EXPECT_EQ(outcome.latestVersion, QStringLiteral("1.2")) << unusable.toStdString();
        EXPECT_EQ(outcome.latestUrl, QStringLiteral("http://old")) << unusable.toStdString();
        EXPECT_EQ(stored(CurrentVersion), QStringLiteral("1.2")) << unusable.toStdString();
        EXPECT_EQ(UnscrambleText(stored(CurrentURL)), QStringLiteral("http://old")) << unusable.toStdString();
        EXPECT_EQ(stored(HowMany), QString::number(++starts)) << unusable.toStdString();
    }
}

TEST_F(UpdateCheck, AStoreThatCannotBeReadEndsTheCheckBeforeAnythingIsSent) {
    QDir().mkpath(storePath()); // a folder where the file should be
    const UpdateCheckOutcome outcome = check();
    EXPECT_EQ(maker.connectionCount(), 0);
    EXPECT_FALSE(outcome.noticeWanted);
    EXPECT_TRUE(outcome.showUpdate);
}

TEST_F(UpdateCheck, CheckerThreadPublishesTheOutcomeWhenFinished) {
    UpdateCheckEnvironment environment;
    environment.server = maker.server();
    environment.storePath = storePath();
    environment.describeSystem = [] { return SystemDescription{}; };
    TChecker checker(environment, kIdentity);
    for (int i = 0; i < 1000 && !checker.Finished(); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(checker.Finished());
    EXPECT_TRUE(checker.Outcome().noticeWanted);
    EXPECT_EQ(checker.Outcome().latestVersion, QStringLiteral("1.1"));
}

} // namespace
} // namespace hl
