#pragma once
// Records the addresses the program asks the desktop to open, instead of opening them. A test
// installs it with QDesktopServices::setUrlHandler(scheme, &recorder, "open").
#include <QList>
#include <QObject>
#include <QUrl>

namespace hl::test {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace hl::test
