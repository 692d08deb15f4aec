#pragma once
#include "settings/listfiles.h"

#include <QObject>
#include <QString>

class QAction;

namespace hl {

class SaveGate;
class TextEditor;

// Keeps list.txt and proxylist.txt in the settings folder in step with the URL and proxy
// editors: every change of the URL list rewrites list.txt; every change of the proxy list rewrites
// proxylist.txt while "Remember Proxy List" is checked. GUI thread only.
class ListMirror : public QObject {
    Q_OBJECT
public:
    ListMirror(TextEditor* urlEditor, TextEditor* proxyEditor, QAction* rememberProxyList, QString folder,
               SaveGate& saves, QObject* parent);

    // Start-up: list.txt into the URL editor when it exists. A list.txt that exists but cannot be
    // read is reported, and this session leaves it alone instead of overwriting it.
    void loadUrlList();
    // Start-up: proxylist.txt into the proxy editor when it exists; later saves keep its mark and
    // line breaks. One that cannot be read is reported and left alone, as list.txt is.
    void loadProxyList();

private:
    void saveUrlList();
    void saveProxyList();
    QString path(QLatin1String name) const { return folder_ + name; }

    TextEditor* urlEditor_;
    TextEditor* proxyEditor_;
    QAction* rememberProxyList_;
    QString folder_;
    SaveGate& saves_;
    TextFileStyle proxyStyle_;
    bool urlListKept_ = false;
    bool proxyListKept_ = false;
};

} // namespace hl
