#include "support/tempdir.h"
#include "support/urlrecorder.h"
#include "support/windowfixture.h"
#include "ui/appform.h"
#include "ui/foldercommands.h"
#include "ui/folderrow.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace hl {
namespace {

class FolderCommandsTest : public test::WindowTest {
protected:
    QLineEdit* folderBox = form->folderRow()->folderBox();
    test::TempDir dir;
};

TEST_F(FolderCommandsTest, FolderRuleAddsTheSeparatorAndIgnoresBlankNames) {
    const struct {
        const char* given;
        const char* shown;
    } cases[] = {
        {"/data/out", "/data/out/"}, {"/data/out/", "/data/out/"}, {"   ", "/before/"}, {"", "/before/"}};
    for (const auto& c : cases) {
        folderBox->setText(QStringLiteral("/before/"));
        form->folderCommands()->addFolder(QLatin1String(c.given));
        EXPECT_EQ(folderBox->text(), QLatin1String(c.shown)) << c.given;
    }
}

TEST_F(FolderCommandsTest, BrowseStartsInSaveFolderAndTakesThePickedFolder) {
    form->folderCommands()->setSaveFolder(QStringLiteral("/start/"));
    prompts->folderAnswers = {dir.path(), QString()};
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    EXPECT_EQ(prompts->folderPickerStarts, QStringList({"Select folder:|/start/"}));
    EXPECT_EQ(folderBox->text(), dir.path() + QLatin1Char('/'));
    EXPECT_EQ(form->folderCommands()->saveFolder(), dir.path());

    form->folderCommands()->browse(); // cancelled
    EXPECT_EQ(folderBox->text(), dir.path() + QLatin1Char('/'));
    EXPECT_EQ(prompts->folderPickerStarts.last(), QStringLiteral("Select folder:|") + dir.path());
}

TEST_F(FolderCommandsTest, ExploreOpensAnExistingFolderAndWarnsAboutAMissingOne) {
    test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    folderBox->setText(dir.path() + QLatin1Char('/'));
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BitBtn4")), Qt::LeftButton);
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened.at(0).toLocalFile(), dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(prompts->messages.empty());

    folderBox->setText(dir.file(QStringLiteral("missing")));
    form->folderCommands()->explore();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.opened.size(), 1);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("WARNING"));
    EXPECT_EQ(prompts->messages[0].text,
              QStringLiteral("Directory not found!\r\r") + dir.file(QStringLiteral("missing")));
}

} // namespace
} // namespace hl
