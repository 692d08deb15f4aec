#include "settings/userstore.h"

#include "buildinfo.h"
#include "platform/filecontents.h"
#include "platform/standardfolders.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <mutex>

namespace hl {
namespace {

// The store holds a handful of short values; a file far larger than that is not ours to load.
constexpr qint64 kStoreSizeLimit = 1024 * 1024;

std::mutex& writeMutex() {
    static std::mutex mutex;
    return mutex;
}

// The file's values; an absent file is an empty store. Bytes that are not UTF-8 are read with
// replacement characters: the rest of the file still counts. Throws EFileError.
IniImage readStoreFile(const QString& path) {
    if (!QFileInfo::exists(path)) return {};
    QByteArray bytes = ReadFileContents(path, kStoreSizeLimit);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return IniImage::Parse(QString::fromUtf8(bytes));
}

} // namespace

QString UserStorePath() {
    return UserConfigFolder() + QStringLiteral(HARVESTLINE_COMPANY_NAME "/" HARVESTLINE_PRODUCT_NAME "/") +
           kUserStoreFileName;
}

bool UserStore::Open() {
    open_ = false;
    image_ = {};
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) return false;
    try {
        image_ = readStoreFile(path_);
    } catch (const EFileError&) {
        return false;
    }
    open_ = true;
    return true;
}

std::optional<QString> UserStore::ReadString(QAnyStringView name) const {
    return image_.Value(kSettingsSection, name);
}

std::optional<int> UserStore::ReadInteger(QAnyStringView name) const {
    const std::optional<QString> text = ReadString(name);
    if (!text) return std::nullopt;
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void UserStore::WriteString(QAnyStringView name, const QString& value) {
    if (!open_)
        throw EFileError(
            QStringLiteral("Cannot write file \"%1\". The store could not be opened.").arg(path_));
    std::lock_guard lock(writeMutex());
    IniImage current = readStoreFile(path_);
    current.SetValue(kSettingsSection, name, value);
    ReplaceFileContents(path_, current.Serialize());
    image_.SetValue(kSettingsSection, name, value);
}

} // namespace hl
