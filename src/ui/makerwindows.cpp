#include "ui/makerwindows.h"

#include "platform/standardfolders.h"
#include "ui/aboutbox.h"
#include "ui/appform.h"
#include "ui/feedbackform.h"

#include <QAction>

namespace hl {

MakerWindows::MakerWindows(TAppForm* form, ProgramIdentity identity, MakerServer server, UserPrompts& prompts,
                           std::function<void(const QString&)> openWithDesktop)
    : QObject(form), form_(form), identity_(std::move(identity)), server_(std::move(server)),
      prompts_(prompts), openWithDesktop_(std::move(openWithDesktop)) {
    connect(form->menu().about, &QAction::triggered, this, &MakerWindows::About1Click);
    connect(form->menu().sendFeedback, &QAction::triggered, this, &MakerWindows::SendFeedback1Click);
}

void MakerWindows::About1Click() {
    TAboutBox box({identity_, server_, &prompts_, openWithDesktop_, ExecutableFolder()}, form_);
    box.exec();
}

void MakerWindows::SendFeedback1Click() {
    TFeedbackForm feedback(identity_, server_, prompts_, form_);
    feedback.exec();
}

} // namespace hl
