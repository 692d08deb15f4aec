#pragma once
// A main window for one test, with its settings in a temporary folder, a temporary desktop as the
// default save folder, scripted answers to its questions and a recorded restart. Its update check
// keeps its store in the settings folder and finds no server (its resolver knows no name).
#include "support/guiapplication.h"
#include "support/nonamesresolver.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "ui/appform.h"

#include <memory>

namespace hl::test {

class WindowTest : public GuiTest {
protected:
    WindowEnvironment environment() {
        WindowEnvironment environment;
        environment.settingsFolder = settings.path() + QLatin1Char('/');
        environment.desktopFolder = desktop.path() + QLatin1Char('/');
        environment.prompts = prompts;
        environment.restart = [this] { ++restarts; };
        environment.makerServices.server = {QStringLiteral("maker.invalid"), noNamesResolver()};
        environment.makerServices.storePath = settings.file(QStringLiteral("user.ini"));
        environment.openWithDesktop = [this](const QString& address) { openedAddresses << address; };
        return environment;
    }
    // Closes the window (if any) and opens a new one on the same folders: a restart of the program.
    void reopen() {
        form.reset();
        form = std::make_unique<TAppForm>(environment());
    }

    TempDir settings;
    TempDir desktop;
    std::shared_ptr<ScriptedPrompts> prompts = std::make_shared<ScriptedPrompts>();
    int restarts = 0;
    QStringList openedAddresses;
    std::unique_ptr<TAppForm> form = std::make_unique<TAppForm>(environment());
};

} // namespace hl::test
