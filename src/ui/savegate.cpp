#include "ui/savegate.h"

#include "platform/exception.h"
#include "ui/userprompts.h"

#include <QCoreApplication>

namespace hl {

SaveGate::SaveGate(UserPrompts& prompts)
    : prompts_(prompts), saver_([this](const QString& file, const std::optional<QString>& error) {
          QMetaObject::invokeMethod(
              &reports_, [this, file, error] { record(file, error); }, Qt::QueuedConnection);
      }) {}

void SaveGate::save(const QString& file, const std::function<void()>& save) {
    if (closed_) return;
    try {
        save();
        record(file, std::nullopt);
    } catch (const Exception& error) {
        record(file, error.message());
    }
}

void SaveGate::saveInBackground(const QString& file, BackgroundSaver::Save save) {
    if (!closed_) saver_.save(file, std::move(save));
}

void SaveGate::finishBackgroundSaves() {
    saver_.waitUntilDone();
    QCoreApplication::sendPostedEvents(&reports_, QEvent::MetaCall);
}

void SaveGate::close() {
    closed_ = true;
    saver_.discardWaiting();
}

void SaveGate::record(const QString& file, const std::optional<QString>& error) {
    if (!error)
        failing_.erase(file);
    else if (failing_.insert(file).second)
        showError(*error);
}

void SaveGate::showError(const QString& message) {
    prompts_.showMessage(MessageIcon::Error, QStringLiteral("ERROR"), message);
}

} // namespace hl
