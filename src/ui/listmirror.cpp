#include "ui/listmirror.h"

#include "platform/exception.h"
#include "settings/settingsfolder.h"
#include "ui/savegate.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QFileInfo>

namespace hl {

ListMirror::ListMirror(TextEditor* urlEditor, TextEditor* proxyEditor, QAction* rememberProxyList,
                       QString folder, SaveGate& saves, QObject* parent)
    : QObject(parent), urlEditor_(urlEditor), proxyEditor_(proxyEditor),
      rememberProxyList_(rememberProxyList), folder_(std::move(folder)), saves_(saves) {
    connect(urlEditor_, &TextEditor::changed, this, &ListMirror::saveUrlList);
    connect(proxyEditor_, &TextEditor::changed, this, &ListMirror::saveProxyList);
}

void ListMirror::loadUrlList() {
    const QString file = path(kUrlListFileName);
    if (!QFileInfo::exists(file)) return;
    try {
        const QStringList lines = LoadUrlList(file);
        urlEditor_->setLines(lines);
    } catch (const Exception& error) {
        urlListKept_ = true;
        saves_.reportReadError(error.message());
    }
}

void ListMirror::loadProxyList() {
    const QString file = path(kProxyListFileName);
    if (!QFileInfo::exists(file)) return;
    try {
        ProxyListFile list = LoadProxyList(file);
        proxyStyle_ = list.style;
        proxyEditor_->setPlainText(list.text);
    } catch (const Exception& error) {
        proxyListKept_ = true;
        saves_.reportReadError(error.message());
    }
}

void ListMirror::saveUrlList() {
    if (urlListKept_) return;
    saves_.save(path(kUrlListFileName), [this] { SaveUrlList(path(kUrlListFileName), urlEditor_->text()); });
}

void ListMirror::saveProxyList() {
    if (proxyListKept_ || !rememberProxyList_->isChecked()) return;
    saves_.save(path(kProxyListFileName),
                [this] { SaveProxyList(path(kProxyListFileName), proxyEditor_->text(), proxyStyle_); });
}

} // namespace hl
