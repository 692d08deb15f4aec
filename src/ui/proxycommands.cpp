#include "ui/proxycommands.h"

#include "engine/proxyline.h"
#include "ui/proxylisttab.h"
#include "ui/texteditor.h"
#include "ui/userprompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace hl {

ProxyCommands::ProxyCommands(ProxyListTab* tab, UserPrompts& prompts, QObject* parent)
    : QObject(parent), tab_(tab), prompts_(prompts) {
    connect(tab_->addButton(), &QPushButton::clicked, this, &ProxyCommands::add);
}

void ProxyCommands::add() {
    tab_->portBox()->interpretText();
    const std::optional<QString> line = buildProxyLine(tab_->hostBox()->text(), tab_->portBox()->value(),
                                                       tab_->userBox()->text(), tab_->passwordBox()->text());
    if (!line) return prompts_.beep();
    tab_->editor()->appendLine(*line);
}

} // namespace hl
