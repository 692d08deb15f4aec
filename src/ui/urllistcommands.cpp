#include "ui/urllistcommands.h"

#include "ui/appform.h"
#include "ui/texteditor.h"
#include "ui/userprompts.h"

#include <QAction>
#include <QTabWidget>

namespace hl {

UrlListCommands::UrlListCommands(TAppForm* form, UserPrompts& prompts, QObject* parent)
    : QObject(parent), form_(form), prompts_(prompts) {
    connect(form_->menu().clearList, &QAction::triggered, this, &UrlListCommands::clear);
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
