#pragma once
#include <QObject>

namespace hl {

class TAppForm;

// Addresses the window hands to the desktop: Help > "Online Help" (F1) and URLs Ctrl+clicked in
// the Error Log, each opened in the default browser. A failure to open is ignored. GUI thread only.
class DesktopLinks : public QObject {
    Q_OBJECT
public:
    DesktopLinks(TAppForm* form, QObject* parent);

    static void openOnlineHelp();
    static void openUrl(const QString& url);
};

} // namespace hl
