#include "ui/desktoplinks.h"

#include "services/makerserver.h"
#include "ui/appform.h"
#include "ui/logtab.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

namespace hl {

DesktopLinks::DesktopLinks(TAppForm* form, QObject* parent) : QObject(parent) {
    connect(form->menu().onlineHelp, &QAction::triggered, this, &DesktopLinks::openOnlineHelp);
    connect(form->errorLog()->view(), &TextEditor::urlActivated, this, &DesktopLinks::openUrl);
}

void DesktopLinks::openOnlineHelp() {
    openUrl(OnlineHelpAddress());
}

void DesktopLinks::openUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

} // namespace hl
