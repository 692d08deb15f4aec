#include "ui/filedrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace hl {
namespace {

// Ignored drag events travel on to the parents that accept drops.
class FileDropPasser : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!carriesLocalFiles(drop->mimeData())) break;
            drop->ignore();
            return true;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool carriesLocalFiles(const QMimeData* data) {
    return !localFilePaths(data).isEmpty();
}

QStringList localFilePaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    return paths;
}

void passFileDropsToWindow(QWidget* control) {
    control->installEventFilter(new FileDropPasser(control));
}

} // namespace hl
