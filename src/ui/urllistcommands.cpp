#include "ui/urllistcommands.h"

#include "platform/exception.h"
#include "platform/filecontents.h"
#include "settings/samplelist.h"
#include "ui/appform.h"
#include "ui/folderrow.h"
#include "ui/texteditor.h"
#include "ui/userprompts.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>

namespace hl {
namespace {

const QString kTextFilter = QStringLiteral("Text File (*.txt)");
const QString kCsvFilter = QStringLiteral("CSV File (*.csv)");
const QString kAnyFilter = QStringLiteral("Any File (*)");

} // namespace

UrlListCommands::UrlListCommands(TAppForm* form, UserPrompts& prompts, QObject* parent)
    : QObject(parent), form_(form), prompts_(prompts) {
    const MainMenuActions& menu = form_->menu();
    connect(menu.clearList, &QAction::triggered, this, &UrlListCommands::clear);
    connect(menu.loadList, &QAction::triggered, this, &UrlListCommands::load);
    connect(menu.saveList, &QAction::triggered, this, &UrlListCommands::save);
    connect(menu.sampleUrls, &QAction::triggered, this, [this] { insertSamples(false); });
    connect(menu.sampleCsv, &QAction::triggered, this, [this] { insertSamples(true); });
    connectEditMenu();
}

void UrlListCommands::clear() {
    form_->pages()->setCurrentIndex(TAppForm::UrlListPage);
    TextEditor* editor = form_->urlEditor();
    const bool empty = editor->document()->isEmpty();
    if (!empty && !prompts_.confirm(tr("Clear"), tr("Are you sure?"), tr("Yes"), tr("No"))) return;
    editor->selectAll();
    editor->textCursor().removeSelectedText();
    if (empty) editor->notifyChange();
}

void UrlListCommands::insertSamples(bool csv) {
    TextEditor* editor = form_->urlEditor();
    if (editor->isBlank() && !editor->document()->isEmpty()) editor->setLines({});
    const QString folder = form_->folderRow()->folderBox()->text();
    for (const QString& url : SampleUrls())
        editor->appendLine(csv ? url + QLatin1Char(',') + folder : url);
}

void UrlListCommands::load() {
    const std::optional<ListFileChoice> choice = prompts_.chooseFileToOpen(
        QStringList{kTextFilter, kCsvFilter, kAnyFilter}.join(QStringLiteral(";;")), QStringLiteral("txt"));
    if (!choice) return;
    try {
        replaceList(DecodeChosenListFile(ReadUserListFile(choice->path), choice->encoding, choice->path));
    } catch (const Exception& error) {
        prompts_.showMessage(MessageIcon::Error, QStringLiteral("ERROR"), error.message());
    }
}

void UrlListCommands::save() {
    const std::optional<ListFileChoice> choice = prompts_.chooseFileToSave(
        QStringList{kTextFilter, kAnyFilter}.join(QStringLiteral(";;")), QStringLiteral("txt"));
    if (!choice) return;
    try {
        ReplaceFileContents(choice->path,
                            EncodeUserListFile(form_->urlEditor()->lines(), choice->encoding, format_));
    } catch (const Exception& error) {
        prompts_.showMessage(MessageIcon::Error, QStringLiteral("ERROR"), error.message());
    }
}

void UrlListCommands::loadDroppedFile(const QString& path) {
    try {
        replaceList(DecodeDroppedListFile(ReadUserListFile(path)));
    } catch (const Exception& error) {
        prompts_.showMessage(MessageIcon::Error, QStringLiteral("ERROR"), error.message());
    }
}

void UrlListCommands::replaceList(const UserListFile& file) {
    form_->urlEditor()->setLines(file.lines);
    format_ = file.format;
}

void UrlListCommands::connectEditMenu() {
    const MainMenuActions& menu = form_->menu();
    TextEditor* editor = form_->urlEditor();
    connect(menu.undo, &QAction::triggered, editor, &TextEditor::undo);
    connect(menu.cut, &QAction::triggered, editor, &TextEditor::cut);
    connect(menu.copy, &QAction::triggered, editor, &TextEditor::copy);
    connect(menu.paste, &QAction::triggered, editor, &TextEditor::paste);
    connect(menu.deleteSelection, &QAction::triggered, editor, &TextEditor::deleteSelection);
    connect(menu.selectAll, &QAction::triggered, editor, [editor] {
        editor->setFocus();
        editor->selectAll();
    });
}

} // namespace hl
