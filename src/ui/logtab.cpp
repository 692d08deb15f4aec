#include "ui/logtab.h"

#include "ui/texteditor.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace hl {

LogTab::LogTab(const LogTabNames& names, QWidget* parent)
    : QWidget(parent), clear_(new QPushButton(tr("Clear Log"), this)),
      copyUrls_(new QPushButton(tr("Copy URLs"), this)), view_(new TextEditor(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* buttons = new QHBoxLayout;
    clear_->setObjectName(QLatin1String(names.clearButton));
    copyUrls_->setObjectName(QLatin1String(names.copyButton));
    for (QPushButton* button : {clear_, copyUrls_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    view_->setObjectName(QLatin1String(names.view));
    view_->popupMenu()->setObjectName(QLatin1String(names.popupMenu));
    view_->makeLogView();
    layout->addWidget(view_, 1);
}

} // namespace hl
