// Saves pictures of the main window and the Multi-Threading dialog, one PNG per state, into the
// folder given as the only argument. scripts/screenshots.sh runs it under Xvfb.
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/multithreadform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool save(QWidget* widget, const QString& folder, const QString& name) {
    settle();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    hl::TAppForm form;
    form.show();
    bool ok = true;
    const char* tabNames[] = {"url-list", "proxy-list", "download-log", "error-log"};
    for (int page = 0; page < 4; ++page) {
        form.pages()->setCurrentIndex(page);
        ok &= save(&form, folder, QStringLiteral("main-%1").arg(QLatin1String(tabNames[page])));
    }
    form.pages()->setCurrentIndex(hl::TAppForm::UrlListPage);
    form.advancedSettings()->show();
    ok &= save(&form, folder, QStringLiteral("main-advanced"));
    form.advancedSettings()->hide();

    hl::TFormMultiThread dialog(2, 4, {}, &form);
    dialog.show();
    ok &= save(&dialog, folder, QStringLiteral("multithreading"));
    return ok ? 0 : 1;
}
