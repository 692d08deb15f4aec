#pragma once
#include <QObject>

namespace hl {

class ProxyListTab;
class UserPrompts;

// The proxy tab's "Add": appends the line built from the entry boxes to the proxy list, or beeps
// when the host box is blank. GUI thread only.
class ProxyCommands : public QObject {
    Q_OBJECT
public:
    ProxyCommands(ProxyListTab* tab, UserPrompts& prompts, QObject* parent);

    void add();

private:
    ProxyListTab* tab_;
    UserPrompts& prompts_;
};

} // namespace hl
