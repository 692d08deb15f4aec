#pragma once
// What the main window takes from outside rather than deciding itself, so that tests can give it
// a temporary settings folder, answer its questions and watch it restart.
#include <functional>
#include <memory>

namespace hl {

class UserPrompts;

struct WindowEnvironment {
    // Message boxes and file dialogs; empty: the real dialogs, modal to the window.
    std::shared_ptr<UserPrompts> prompts;
};

} // namespace hl
