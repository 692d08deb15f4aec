#pragma once
#include "settings/userlistfile.h"

#include <QString>
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

    // A message box with one OK button. Parts of text are separated by two carriage returns.
    virtual void showMessage(MessageIcon icon, const QString& caption, const QString& text) = 0;
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

// The real dialogs, modal to parent.
class DialogPrompts : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}

    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
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
