#pragma once
// What the main window takes from outside rather than deciding itself, so that tests can give it
// a temporary settings folder, answer its questions and watch it restart.
#include "engine/engineenvironment.h"
#include "engine/intervaltimer.h"
#include "services/updatecheck.h"

#include <QString>
#include <functional>
#include <memory>

namespace hl {

class UserPrompts;

struct WindowEnvironment {
    // Where settings.ini, list.txt and proxylist.txt live (ending with "/"); empty: chosen by the
    // write probe as the program does at start-up.
    QString settingsFolder;
    // The default save folder (ending with "/"); empty: the user's desktop folder.
    QString desktopFolder;
    // Message boxes and file dialogs; empty: the real dialogs, modal to the window.
    std::shared_ptr<UserPrompts> prompts;
    // Reset to Defaults' restart: start the program again without arguments and end this one.
    // Empty: the real restart.
    std::function<void()> restart;
    // What the runs take from their surroundings: name resolution, clock, worker limits.
    EngineEnvironment engine;
    // Makes the scheduler's timer TimerSchedule. Empty: a timer on the engine's clock.
    IntervalTimerFactory scheduleTimer;
    // The maker's server, the per-user store, the date and the system that the update check
    // reports; the feedback form posts to the same server and the about box links to it.
    UpdateCheckEnvironment makerServices;
    // Opens a web address or a local file with the desktop's default handler; empty: the desktop's.
    std::function<void(const QString&)> openWithDesktop;
};

} // namespace hl
