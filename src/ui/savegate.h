#pragma once
#include <QString>
#include <functional>
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
    explicit SaveGate(UserPrompts& prompts) : prompts_(prompts) {}

    // Runs save unless the gate is closed; file names what save writes.
    void save(const QString& file, const std::function<void()>& save);
    void close() { closed_ = true; }
    // A file that could not be read: always shown.
    void reportReadError(const QString& message) { showError(message); }

private:
    void showError(const QString& message);

    UserPrompts& prompts_;
    std::set<QString> failing_;
    bool closed_ = false;
};

} // namespace hl
