#pragma once
#include "settings/backgroundsaver.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <set>

namespace hl {

class UserPrompts;

// Every save of settings.ini, list.txt and proxylist.txt passes through here. A failed save is
// shown once in an error box with the error's message (which names the file and the system's
// reason); further failures of the same file stay quiet until a save of it succeeds again, so
// typing into a box whose file cannot be written does not raise a box per keystroke. After
// close() nothing is saved any more (Reset to Defaults has deleted the files). GUI thread only.
class SaveGate {
public:
    explicit SaveGate(UserPrompts& prompts);

    // Runs save now unless the gate is closed; file names what save writes.
    void save(const QString& file, const std::function<void()>& save);
    // Runs save on the background saver's thread unless the gate is closed: the lists, whose
    // rewrite takes too long for the GUI thread. A newer save of the file replaces one that waits.
    // Its failure is shown like any other, once the GUI thread's event loop turns.
    void saveInBackground(const QString& file, BackgroundSaver::Save save);
    // Blocks until every background save handed over has run, and shows their failures now.
    void finishBackgroundSaves();
    // Stops all saving: background saves that wait are dropped, one that runs is waited for.
    void close();
    // A file that could not be read: always shown.
    void reportReadError(const QString& message) { showError(message); }

private:
    void record(const QString& file, const std::optional<QString>& error);
    void showError(const QString& message);

    UserPrompts& prompts_;
    std::set<QString> failing_;
    bool closed_ = false;
    // Receives the background saver's reports on the GUI thread; declared before the saver, which
    // is ended first.
    QObject reports_;
    BackgroundSaver saver_;
};

} // namespace hl
