#pragma once
#include "settings/userlistfile.h"

#include <QObject>

namespace hl {

class TAppForm;
class UserPrompts;

// The commands on the URL list: File > "Clear URL List", "Load URL List...", "Save URL List...",
// the Edit menu (which always acts on the URL editor), Insert's samples and files dropped on the
// window. The list remembers the line breaks and byte-order mark of the file last loaded or
// dropped, for "Save URL List...". GUI thread only.
class UrlListCommands : public QObject {
    Q_OBJECT
public:
    UrlListCommands(TAppForm* form, UserPrompts& prompts, QObject* parent);

    // Clear1Click: shows the "URL List" tab; a list with any text is cleared only when the user
    // confirms. Clearing counts as a change even when the list was already empty.
    void clear();
    // "Sample URLs..." (csv false) and "Sample CSV (URL, Folder)..." (csv true): a blank list is
    // emptied first, then each sample URL (with "," and the save folder's text for csv) is
    // appended as a new last line.
    void insertSamples(bool csv);
    // LoadList1Click: a file chosen with its encoding replaces the list; an unreadable file or one
    // not valid in that encoding is reported and the list keeps its content.
    void load();
    // SaveList1Click: writes the list in the chosen encoding with the remembered line breaks and mark.
    void save();
    // A file dropped on the window replaces the list (UTF-8, else by its mark, else the code page).
    void loadDroppedFile(const QString& path);

private:
    void connectEditMenu();
    void replaceList(const UserListFile& file);

    TAppForm* form_;
    UserPrompts& prompts_;
    UserListFormat format_;
};

} // namespace hl
