#include "ui/listmirror.h"

#include "platform/exception.h"
#include "settings/settingsfolder.h"
#include "ui/documentlines.h"
#include "ui/savegate.h"
#include "ui/texteditor.h"

#include <QAction>
#include <QFileInfo>

namespace hl {
namespace {

// The first change starts the wait and later ones join it, so a file is rewritten at most once per
// delay however fast the changes come, and never later than the delay after the last one.
void startOnce(QTimer& timer) {
    if (!timer.isActive()) timer.start();
}

} // namespace

ListMirror::ListMirror(TextEditor* urlEditor, TextEditor* proxyEditor, QAction* rememberProxyList,
                       QString folder, SaveGate& saves, QObject* parent)
    : QObject(parent), urlEditor_(urlEditor), proxyEditor_(proxyEditor),
      rememberProxyList_(rememberProxyList), folder_(std::move(folder)), saves_(saves),
      urlLines_(new DocumentLines(urlEditor->document(), this)),
      proxyLines_(new DocumentLines(proxyEditor->document(), this)) {
    for (QTimer* timer : {&urlSave_, &proxySave_}) {
        timer->setSingleShot(true);
        timer->setInterval(kSaveDelayMs);
    }
    connect(&urlSave_, &QTimer::timeout, this, &ListMirror::saveUrlList);
    connect(&proxySave_, &QTimer::timeout, this, &ListMirror::saveProxyList);
    connect(urlEditor_, &TextEditor::changed, this, [this] {
        if (!urlListKept_) startOnce(urlSave_);
    });
    connect(proxyEditor_, &TextEditor::changed, this, [this] {
        if (!proxyListKept_ && rememberProxyList_->isChecked()) startOnce(proxySave_);
    });
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

void ListMirror::writePending() {
    if (urlSave_.isActive()) saveUrlList();
    if (proxySave_.isActive()) saveProxyList();
    saves_.finishBackgroundSaves();
}

void ListMirror::saveUrlList() {
    urlSave_.stop();
    const QString file = path(kUrlListFileName);
    saves_.saveInBackground(
        file, [file, lines = urlLines_->snapshot()] { SaveUrlList(file, lines.joined(QLatin1Char('\n'))); });
}

void ListMirror::saveProxyList() {
    proxySave_.stop();
    const QString file = path(kProxyListFileName);
    saves_.saveInBackground(file, [file, lines = proxyLines_->snapshot(), style = proxyStyle_] {
        SaveProxyList(file, lines.joined(QLatin1Char('\n')), style);
    });
}

} // namespace hl
