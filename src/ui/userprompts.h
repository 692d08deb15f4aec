#pragma once
#include "settings/userlistfile.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace hl {

struct ListFileChoice {
    QString path;
    ListFileEncoding encoding = ListFileEncoding::Utf8;
};

enum class MessageIcon { Warning, Error, Information };

// Every question the window asks the user and every message it shows, behind one interface so that
// tests can answer them. Each call blocks until the user has answered and runs on the GUI thread.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A message box with one OK button. Parts of text are separated by two carriage returns. Texts
    // are shown as written, never read as markup: they carry URLs, file names and servers' words.
    virtual void showMessage(MessageIcon icon, const QString& caption, const QString& text) = 0;
    // The same box without waiting for it: the window stays usable while it is open, and closed
    // runs on the GUI thread once the user has closed it. By default the box is shown as
    // showMessage shows it, and closed runs when that returns.
    virtual void openMessage(MessageIcon icon, const QString& caption, const QString& text,
                             std::function<void()> closed) {
        showMessage(icon, caption, text);
        closed();
    }
    // A confirmation with two buttons; true only when the first one (yesCaption) was pressed.
    virtual bool confirm(const QString& title, const QString& text, const QString& yesCaption,
                         const QString& noCaption) = 0;
    // File dialogs with an encoding choice; nothing when the user cancels. filter uses Qt's
    // "Name (*.ext);;Name (*.ext)" form; defaultSuffix is added to a name typed without one.
    virtual std::optional<ListFileChoice> chooseFileToOpen(const QString& filter,
                                                           const QString& defaultSuffix) = 0;
    virtual std::optional<ListFileChoice> chooseFileToSave(const QString& filter,
                                                           const QString& defaultSuffix) = 0;
    // A folder picker that starts in startFolder; an empty text when the user cancels.
    virtual QString chooseFolder(const QString& title, const QString& startFolder) = 0;
    virtual void beep() = 0;
};

// The real dialogs, modal to parent (but for openMessage's boxes, which only stay above it).
class DialogPrompts : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}

    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    void openMessage(MessageIcon icon, const QString& caption, const QString& text,
                     std::function<void()> closed) override;
    bool confirm(const QString& title, const QString& text, const QString& yesCaption,
                 const QString& noCaption) override;
    std::optional<ListFileChoice> chooseFileToOpen(const QString& filter,
                                                   const QString& defaultSuffix) override;
    std::optional<ListFileChoice> chooseFileToSave(const QString& filter,
                                                   const QString& defaultSuffix) override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    void beep() override;

private:
    QWidget* parent_;
};

} // namespace hl
