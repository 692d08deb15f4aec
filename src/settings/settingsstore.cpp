#include "settings/settingsstore.h"

#include "platform/filecontents.h"
#include "platform/textencoding.h"
#include "settings/settingsfolder.h"

namespace hl {
namespace {

// settings.ini holds a few dozen short lines; anything near this size is not ours.
constexpr qint64 kIniSizeLimit = 4 * 1024 * 1024;

} // namespace

IniImage ReadIniFile(const QString& path) {
    const QByteArray bytes = ReadFileContents(path, kIniSizeLimit);
    const QByteArrayView body =
        QByteArrayView(bytes).startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : bytes;
    const std::optional<QString> text = DecodeText(body, TextEncoding::Utf8);
    if (!text)
        throw EFileError(QStringLiteral("Cannot read file \"%1\". The file is not valid UTF-8.").arg(path));
    return IniImage::Parse(*text);
}

SettingsStore::SettingsStore(QString folder) : folder_(std::move(folder)) {
    const QString path = FilePath();
    try {
        image_ = Settings(ReadIniFile(path));
    } catch (const EFileError&) {
        // A missing file is the first start; anything else is a broken file that would only stand in
        // the way of every later save. Either way the options start from their defaults.
        DeleteFile(path);
    }
}

QString SettingsStore::FilePath() const {
    return folder_ + kSettingsFileName;
}

Settings SettingsStore::Snapshot() const {
    std::lock_guard lock(imageMutex_);
    return image_;
}

void SettingsStore::Write(std::initializer_list<std::pair<SettingKey, QString>> values) {
    {
        std::lock_guard lock(imageMutex_);
        for (const auto& [key, value] : values)
            image_.Image().SetValue(kSettingsSection, Definition(key).name, value);
    }
    Save();
}

void SettingsStore::Save() const {
    std::lock_guard fileLock(fileMutex_);
    QByteArray bytes;
    {
        std::lock_guard lock(imageMutex_);
        bytes = image_.Image().Serialize();
    }
    ReplaceFileContents(FilePath(), bytes);
}

} // namespace hl
