#include "ui/logcommands.h"

#include "engine/resultlines.h"
#include "ui/logtab.h"
#include "ui/texteditor.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>

namespace hl {

LogCommands::LogCommands(LogTab* tab, QObject* parent) : QObject(parent), tab_(tab) {
    connect(tab_->clearButton(), &QPushButton::clicked, this, &LogCommands::clear);
    connect(tab_->copyUrlsButton(), &QPushButton::clicked, this, &LogCommands::copyUrls);
}

void LogCommands::clear() {
    tab_->view()->clear();
}

void LogCommands::copyUrls() {
    QApplication::clipboard()->setText(CopyURLsText(tab_->view()->lines()));
}

} // namespace hl
