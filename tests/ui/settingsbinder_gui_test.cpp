#include "settings/settingsstore.h"
#include "support/windowfixture.h"
#include "ui/advancedsettingspanel.h"
#include "ui/foldercommands.h"
#include "ui/folderrow.h"
#include "ui/listmirror.h"
#include "ui/proxylisttab.h"
#include "ui/settingsbinder.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace hl {
namespace {

class SettingsBinderTest : public test::WindowTest {
protected:
    // settings.ini as a program reading it from disk would see it now.
    std::optional<QString> stored(const char* key) {
        return ReadIniFile(settings.file(QStringLiteral("settings.ini")))
            .Value("Settings", QLatin1String(key));
    }
    void writeSettings(const QByteArray& lines) {
        settings.write(QStringLiteral("settings.ini"), "[Settings]\r\n" + lines);
    }
    template <typename T> T* control(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
};

TEST_F(SettingsBinderTest, FirstStartWritesSettingsAndTheSampleList) {
    EXPECT_EQ(stored("SaveLocation"), desktop.path() + QLatin1Char('/'));
    EXPECT_EQ(form->folderRow()->folderBox()->text(), desktop.path() + QLatin1Char('/'));
    EXPECT_EQ(form->urlEditor()->lineCount(), 3);
    const QByteArray list = settings.read(QStringLiteral("list.txt"));
    EXPECT_TRUE(list.startsWith(
        "\xEF\xBB\xBFhttps://commons.wikimedia.org/wiki/Special:Redirect/file/Example.jpg\r\n"));
    EXPECT_EQ(list.count("\r\n"), 3);
    EXPECT_FALSE(form->advancedSettings()->isVisibleTo(form.get()));
    EXPECT_FALSE(settings.exists(QStringLiteral("proxylist.txt")));
}

TEST_F(SettingsBinderTest, EveryChangeHandlerSavesItsKeyAtOnce) {
    form->show();
    const struct {
        const char* key;
        std::function<void()> change;
        const char* value;
    } cases[] = {
        {"FullURL", [&] { QTest::mouseClick(control<QCheckBox>("CheckBox2"), Qt::LeftButton); }, "ON"},
        {"ServerProposedName", [&] { control<QCheckBox>("CheckBox1")->setChecked(false); }, "OFF"},
        {"CustomExtension", [&] { QTest::keyClicks(control<QLineEdit>("Edit6"), "bin"); }, "bin"},
        {"SaveLocation", [&] { control<QLineEdit>("Edit1")->setText("/srv/files/"); }, "/srv/files/"},
        {"ConnectionTimeout", [&] { control<QSpinBox>("SpinEdit1")->setValue(2500); }, "2500"},
        {"ResponseTimeout", [&] { control<QSpinBox>("SpinEdit2")->setValue(-1); }, "-1"},
        {"UserAgent", [&] { control<QComboBox>("ComboBox1")->setCurrentIndex(5); },
         "Mozilla/3.0 (compatible; Harvestline)"},
        {"UserAgent", [&] { control<QComboBox>("ComboBox1")->setEditText("agent/1"); }, "agent/1"},
        {"Overwrite", [&] { form->menu().overwrite->trigger(); }, "ON"},
        {"ShowErrors", [&] { form->menu().showErrors->trigger(); }, "OFF"},
        {"ZlibCompression", [&] { form->menu().zlibCompression->trigger(); }, "OFF"},
        {"TreatURLListAsCSV", [&] { form->menu().treatUrlListAsCsv->trigger(); }, "ON"},
        {"ResumePartialDownloads", [&] { form->menu().resumePartialDownloads->trigger(); }, "OFF"},
        {"SkipExistingFiles", [&] { form->menu().skipExistingFiles->trigger(); }, "OFF"},
        {"RememberProxyList", [&] { form->menu().rememberProxyList->trigger(); }, "ON"},
        {"ProxyType", [&] { form->menu().proxySocks4a->trigger(); }, "SOCKS4A"},
        {"ProxyType", [&] { form->menu().proxyHttp->trigger(); }, "HTTP"},
        {"ShowSettings", [&] { form->menu().advancedSettings->trigger(); }, "ON"},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(stored(c.key), QLatin1String(c.value)) << c.key;
    }
    EXPECT_TRUE(form->advancedSettings()->isVisible());
    form->menu().advancedSettings->trigger();
    EXPECT_FALSE(form->advancedSettings()->isVisible());
    EXPECT_EQ(stored("ShowSettings"), QStringLiteral("OFF"));
}

TEST_F(SettingsBinderTest, StoredValuesApplyOnTheNextStartByTheSwitchRule) {
    writeSettings(
        "SaveLocation=/srv/out/\r\nCustomExtension=.bin\r\nOverwrite=on\r\nSkipExistingFiles=off\r\n"
        "ShowErrors=OFF\r\nFullURL=ON\r\nMultiThreaded=ON\r\nProxyType=SOCKS4A\r\n"
        "ConnectionTimeout=0x10\r\nResponseTimeout=abc\r\nUserAgent=agent/2\r\nShowSettings=ON\r\n");
    reopen();
    EXPECT_EQ(control<QLineEdit>("Edit1")->text(), QStringLiteral("/srv/out/"));
    EXPECT_EQ(form->folderCommands()->saveFolder(), QStringLiteral("/srv/out/"));
    EXPECT_EQ(control<QLineEdit>("Edit6")->text(), QStringLiteral(".bin"));
    EXPECT_FALSE(form->menu().overwrite->isChecked());
    EXPECT_TRUE(form->menu().skipExistingFiles->isChecked());
    EXPECT_FALSE(form->menu().showErrors->isChecked());
    EXPECT_TRUE(control<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_TRUE(form->menu().multiThreading->isChecked());
    EXPECT_TRUE(form->menu().proxySocks4a->isChecked());
    EXPECT_FALSE(form->menu().proxyHttp->isChecked());
    EXPECT_EQ(control<QSpinBox>("SpinEdit1")->value(), 16);
    EXPECT_EQ(control<QSpinBox>("SpinEdit2")->value(), 10000);
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentText(), QStringLiteral("agent/2"));
    EXPECT_TRUE(form->menu().advancedSettings->isChecked());
    EXPECT_TRUE(form->advancedSettings()->isVisibleTo(form.get()));
    // Menu switches are only saved when clicked; the value read stays as it was.
    EXPECT_EQ(stored("Overwrite"), QStringLiteral("on"));
}

TEST_F(SettingsBinderTest, EmptySaveLocationAndUnknownProxyTypeTakeTheDefaults) {
    writeSettings("SaveLocation=\r\nProxyType=SOCKS 5\r\n");
    reopen();
    EXPECT_EQ(control<QLineEdit>("Edit1")->text(), desktop.path() + QLatin1Char('/'));
    EXPECT_TRUE(form->menu().proxyHttp->isChecked());
}

TEST_F(SettingsBinderTest, ListFilesAreLoadedAndMirrored) {
    settings.write(QStringLiteral("list.txt"), "\xEF\xBB\xBFhttp://127.0.0.1/a\r\nhttp://127.0.0.1/b\r\n");
    settings.write(QStringLiteral("proxylist.txt"), "p1:8080\np2:3128");
    reopen();
    EXPECT_EQ(form->urlEditor()->lines(), QStringList({"http://127.0.0.1/a", "http://127.0.0.1/b"}));
    EXPECT_TRUE(form->proxyTab()->editor()->lines().isEmpty()); // "Remember Proxy List" is off

    form->urlEditor()->appendLine(QStringLiteral("ftp://127.0.0.1/c"));
    form->listMirror()->writePending(); // the lists follow in the background
    EXPECT_EQ(settings.read(QStringLiteral("list.txt")),
              "\xEF\xBB\xBFhttp://127.0.0.1/a\r\nhttp://127.0.0.1/b\r\nftp://127.0.0.1/c\r\n");

    form->menu().rememberProxyList->trigger();
    EXPECT_EQ(settings.read(QStringLiteral("proxylist.txt")), "p1:8080\np2:3128");
    reopen();
    EXPECT_EQ(form->proxyTab()->editor()->lines(), QStringList({"p1:8080", "p2:3128"}));
    form->proxyTab()->editor()->appendLine(QStringLiteral("p3:1080"));
    form->listMirror()->writePending();
    EXPECT_EQ(settings.read(QStringLiteral("proxylist.txt")), "p1:8080\np2:3128\np3:1080");
}

TEST_F(SettingsBinderTest, AListFileThatCannotBeReadIsReportedAndLeftAlone) {
    QFile::remove(settings.file(QStringLiteral("list.txt")));
    settings.write(QStringLiteral("list.txt/kept"), "not a list file");
    reopen();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].text.contains(QStringLiteral("list.txt")))
        << prompts->messages[0].text.toStdString();
    // The samples fill the editor, but no later change tries to write over the unread file.
    EXPECT_EQ(form->urlEditor()->lineCount(), 3);
    form->urlEditor()->appendLine(QStringLiteral("http://127.0.0.1/more"));
    EXPECT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(settings.read(QStringLiteral("list.txt/kept")), "not a list file");
}

TEST_F(SettingsBinderTest, AProxyListFileThatCannotBeReadIsReportedAndLeftAlone) {
    writeSettings("RememberProxyList=ON\r\n");
    settings.write(QStringLiteral("proxylist.txt/kept"), "not a proxy list");
    reopen();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].text.contains(QStringLiteral("proxylist.txt")))
        << prompts->messages[0].text.toStdString();
    // The empty editor must not take the place of the unread list at the next change.
    form->proxyTab()->editor()->appendLine(QStringLiteral("p1:8080"));
    EXPECT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(settings.read(QStringLiteral("proxylist.txt/kept")), "not a proxy list");
}

TEST_F(SettingsBinderTest, BlankListFileGivesTheSampleList) {
    settings.write(QStringLiteral("list.txt"), "\xEF\xBB\xBF \r\n\r\n");
    reopen();
    EXPECT_EQ(form->urlEditor()->lineCount(), 3);
    EXPECT_TRUE(form->urlEditor()->line(0).endsWith(QStringLiteral("Example.jpg")));
}

TEST_F(SettingsBinderTest, AFailingSaveIsShownOnceAndTheControlKeepsTheChange) {
    QFile::remove(settings.file(QStringLiteral("settings.ini")));
    settings.write(QStringLiteral("settings.ini/blocker"), "a folder where the file should be");
    reopen();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(prompts->messages[0].text.contains(QStringLiteral("settings.ini")));
    QTest::keyClicks(control<QLineEdit>("Edit6"), "abc");
    EXPECT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(control<QLineEdit>("Edit6")->text(), QStringLiteral("abc"));
    EXPECT_EQ(form->settingsStore().Snapshot().Text(SettingKey::CustomExtension), QStringLiteral("abc"));
}

TEST_F(SettingsBinderTest, ResetToDefaultsDeletesSettingsAndListButKeepsTheProxyList) {
    settings.write(QStringLiteral("proxylist.txt"), "p1:8080");
    form->menu().resetToDefaults->trigger();
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].text, QStringLiteral("Restart Application?"));
    EXPECT_EQ(restarts, 0);
    EXPECT_TRUE(settings.exists(QStringLiteral("settings.ini")));

    prompts->confirmAnswers = {true};
    form->menu().resetToDefaults->trigger();
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(settings.exists(QStringLiteral("settings.ini")));
    EXPECT_FALSE(settings.exists(QStringLiteral("list.txt")));
    EXPECT_TRUE(settings.exists(QStringLiteral("proxylist.txt")));
    // Nothing is saved on the way out.
    form->menu().overwrite->trigger();
    form->urlEditor()->appendLine(QStringLiteral("http://127.0.0.1/x"));
    EXPECT_FALSE(settings.exists(QStringLiteral("settings.ini")));
    EXPECT_FALSE(settings.exists(QStringLiteral("list.txt")));
}

} // namespace
} // namespace hl
