// The window program. It reads no command-line arguments.
#include "ui/appform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harvestline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Harvestline"));
    hl::TAppForm form;
    form.show();
    return app.exec();
}
