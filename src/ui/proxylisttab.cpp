#include "ui/proxylisttab.h"

#include "ui/named.h"
#include "ui/numberbox.h"
#include "ui/texteditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace hl {
ProxyListTab::ProxyListTab(QWidget* parent)
    : QWidget(parent), host_(named<QLineEdit>("Edit3", QStringLiteral("192.168.1.1"), this)),
      port_(new NumberBox(this, 1, 65535)), user_(named<QLineEdit>("Edit4", this)),
      password_(named<QLineEdit>("Edit5", this)), add_(new QPushButton(tr("Add"), this)),
      editor_(new TextEditor(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* hint = new QLabel(
        tr("Add a list of proxies here, one proxy per line. The program will cycle through them."), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    port_->setObjectName(QStringLiteral("SpinEdit3"));
    port_->setValue(1080);
    port_->setMinimumWidth(port_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    add_->setObjectName(QStringLiteral("Button6"));
    add_->setAutoDefault(false);
    auto* entry = new QHBoxLayout;
    const auto labelled = [this, entry](const QString& caption, QWidget* box, int stretch) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        entry->addWidget(label);
        entry->addWidget(box, stretch);
    };
    labelled(tr("Host:"), host_, 3);
    labelled(tr("Port:"), port_, 0);
    labelled(tr("Username:"), user_, 2);
    labelled(tr("Password:"), password_, 2);
    entry->addWidget(add_);
    layout->addLayout(entry);

    editor_->setObjectName(QStringLiteral("SynEditProxy"));
    editor_->popupMenu()->setObjectName(QStringLiteral("PopupMenuProxy"));
    layout->addWidget(editor_, 1);
}

} // namespace hl
