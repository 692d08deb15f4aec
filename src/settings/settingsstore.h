#pragma once
// settings.ini and its in-memory image: reads come from the image, every write is followed by a
// full rewrite of the file.
#include "settings/settings.h"

#include <QString>
#include <initializer_list>
#include <mutex>
#include <utility>

namespace hl {

class SettingsStore {
public:
    // Loads settings.ini from `folder` (which ends with "/"). A missing file gives an empty image; a
    // file that cannot be loaded (unreadable, not valid UTF-8, absurdly large) is deleted and the
    // image starts empty, so every option takes its default. Never throws.
    explicit SettingsStore(QString folder);

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const QString& Folder() const { return folder_; }
    QString FilePath() const;

    // A copy of the image as it is now; safe to call from any thread while another thread writes.
    Settings Snapshot() const;

    // Sets the keys in the image, then rewrites settings.ini once. Callable from any thread. Throws
    // EFileError (file name and the system's reason) when the file cannot be written; the image
    // keeps the change either way, and the next successful save writes it.
    void Write(std::initializer_list<std::pair<SettingKey, QString>> values);

    // One key, then the rewrite; as Write.
    void WriteText(SettingKey key, const QString& text) { Write({{key, text}}); }
    void WriteNumber(SettingKey key, int number) { Write({{key, QString::number(number)}}); }
    void WriteSwitch(SettingKey key, bool on) { Write({{key, SwitchText(on)}}); }
    void WriteProxyType(ProxyType type) { Write({{SettingKey::ProxyType, ProxyTypeText(type)}}); }

    // Rewrites settings.ini from the image (UTF-8 with a byte-order mark, CR LF). Throws EFileError.
    void Save() const;

private:
    QString folder_;
    mutable std::mutex imageMutex_; // guards image_; never held while the disk is written
    mutable std::mutex fileMutex_;  // one rewrite at a time, in the order of their snapshots
    Settings image_;
};

// Loads an INI file strictly: throws EFileError when it cannot be read or is not valid UTF-8. A
// UTF-8 byte-order mark is skipped. Never changes the file.
IniImage ReadIniFile(const QString& path);

} // namespace hl
