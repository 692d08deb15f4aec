#pragma once
#include <QObject>

namespace hl {

class TAppForm;
class UserPrompts;

// The commands on the URL list: File > "Clear URL List", the Edit menu (which always acts on the
// URL editor) and Insert's samples. GUI thread only.
class UrlListCommands : public QObject {
    Q_OBJECT
public:
    UrlListCommands(TAppForm* form, UserPrompts& prompts, QObject* parent);

    // Clear1Click: shows the "URL List" tab; a list with any text is cleared only when the user
    // confirms. Clearing counts as a change even when the list was already empty.
    void clear();

private:
    void connectEditMenu();

    TAppForm* form_;
    UserPrompts& prompts_;
};

} // namespace hl
