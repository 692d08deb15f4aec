// The window program. It reads no command-line arguments.
#include "buildinfo.h"
#include "ui/appform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harvestline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Harvestline"));
    QApplication::setApplicationVersion(QStringLiteral(HARVESTLINE_VERSION_TEXT));
    // Ties the window to its installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral(HARVESTLINE_APP_ID));
    hl::TAppForm form;
    form.show();
    return app.exec();
}
