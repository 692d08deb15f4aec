#include "ui/savegate.h"

#include "platform/exception.h"
#include "ui/userprompts.h"

namespace hl {

void SaveGate::save(const QString& file, const std::function<void()>& save) {
    if (closed_) return;
    try {
        save();
        failing_.erase(file);
    } catch (const Exception& error) {
        if (failing_.insert(file).second) showError(error.message());
    }
}

void SaveGate::showError(const QString& message) {
    prompts_.showMessage(MessageIcon::Error, QStringLiteral("ERROR"), message);
}

} // namespace hl
