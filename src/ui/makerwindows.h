#pragma once
// The Help menu's windows of the maker services: "About..." opens the about box and "Send
// Feedback..." the feedback window, each new and modal, destroyed when it closes.
#include "services/makerserver.h"
#include "services/versioninfo.h"

#include <QObject>
#include <functional>

namespace hl {

class TAppForm;
class UserPrompts;

class MakerWindows : public QObject {
    Q_OBJECT
public:
    MakerWindows(TAppForm* form, ProgramIdentity identity, MakerServer server, UserPrompts& prompts,
                 std::function<void(const QString&)> openWithDesktop);

    void About1Click();
    void SendFeedback1Click();

private:
    TAppForm* form_;
    ProgramIdentity identity_;
    MakerServer server_;
    UserPrompts& prompts_;
    std::function<void(const QString&)> openWithDesktop_;
};

} // namespace hl
