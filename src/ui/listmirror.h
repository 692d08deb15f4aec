#pragma once
#include "settings/listfiles.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QAction;

namespace hl {

class DocumentLines;
class SaveGate;
class TextEditor;

// Keeps list.txt and proxylist.txt in the settings folder in step with the URL and proxy
// editors: every change of the URL list rewrites list.txt; every change of the proxy list rewrites
// proxylist.txt while "Remember Proxy List" is checked. The rewrite runs on the background saver
// and changes are gathered: a file is written at the latest 300 ms after the change that made it
// stale, and at once by writePending(). GUI thread only.
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

    // Writes every change not yet written and waits until the files hold it: before a run reads
    // the lists and before the program ends.
    void writePending();

    // How long a change may wait for its file to be written.
    static constexpr int kSaveDelayMs = 300;

private:
    void saveUrlList();
    void saveProxyList();
    QString path(QLatin1String name) const { return folder_ + name; }

    TextEditor* urlEditor_;
    TextEditor* proxyEditor_;
    QAction* rememberProxyList_;
    QString folder_;
    SaveGate& saves_;
    DocumentLines* urlLines_;
    DocumentLines* proxyLines_;
    QTimer urlSave_;
    QTimer proxySave_;
    TextFileStyle proxyStyle_;
    bool urlListKept_ = false;
    bool proxyListKept_ = false;
};

} // namespace hl
