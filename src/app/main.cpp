// The window program. It reads no command-line arguments.
#include "ui/appform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    hl::TAppForm form;
    form.show();
    return app.exec();
}
