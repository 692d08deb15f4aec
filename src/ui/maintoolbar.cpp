#include "ui/maintoolbar.h"

#include "ui/icons.h"
#include "ui/mainmenu.h"

#include <QAction>
#include <QToolButton>

namespace hl {

MainToolBar::MainToolBar(const MainMenuActions& menu, QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("ToolBar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(64, 64));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setContextMenuPolicy(Qt::PreventContextMenu);

    addButton("ToolButtonClear", tr("Clear"), tr("Clear URL list"), QStringLiteral("file-empty-icon"),
              menu.clearList);
    addButton("ToolButtonLoad", tr("Load List"), tr("Load list from file"), QStringLiteral("folder-icon"),
              menu.loadList);
    addButton("ToolButtonSave", tr("Save List"), tr("Save list to file"), QStringLiteral("floppy-icon"),
              menu.saveList);
    addSeparator();
    addButton("ToolButtonGrabber", tr("URL Grabber"), tr("Extract links from URL"),
              QStringLiteral("globe-icon"), menu.urlGrabber);
    addButton("ToolButtonScheduler", tr("Scheduler"), tr("Schedule downloads"), QStringLiteral("clock-icon"),
              menu.scheduler);
    addSeparator();
    addButton("ToolButtonFeedback", tr("Feedback"), tr("Show feedback form"),
              QStringLiteral("envelope-letter-icon"), menu.sendFeedback);
    addButton("ToolButtonAbout", tr("About"), tr("Show aboutbox"), QStringLiteral("sign-info-icon"),
              menu.about);
    addButton("ToolButtonHelp", tr("Help"), tr("Online help"), QStringLiteral("sign-question-icon"),
              menu.onlineHelp);
}

void MainToolBar::addButton(const char* name, const QString& caption, const QString& hint,
                            const QString& icon, QAction* command) {
    QAction* action = addAction(themeIcon(icon), caption);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setEnabled(command->isEnabled());
    connect(action, &QAction::triggered, command, &QAction::trigger);
    connect(command, &QAction::enabledChanged, action, &QAction::setEnabled);
    widgetForAction(action)->setMinimumSize(71, 84);
}

} // namespace hl
