#pragma once
// The program's per-user store: a few named values in section "Settings" of user.ini, a file of
// the user's configuration folder kept apart from settings.ini (the update check keeps its count
// and its last answer there, and whether the user wants it at all).
//
// Reads come from the file as it was when the store was opened, plus this store's own writes.
// Every write reads the file again, sets its one value and replaces the file in one step (a
// temporary file renamed over it), under one lock for the whole process, so two stores open on the
// same file (the update check's thread and the window) never undo each other's values, and a crash
// part-way leaves the old file whole.
#include "settings/inifile.h"

#include <QAnyStringView>
#include <QString>
#include <optional>

namespace hl {

inline constexpr QLatin1String kUserStoreFileName("user.ini");

// The per-user store's file: the user's configuration folder + "LUMBRIX/Harvestline/user.ini".
QString UserStorePath();

class UserStore {
public:
    explicit UserStore(QString filePath) : path_(std::move(filePath)) {}

    // Creates the file's folder when missing and reads the file (a missing file is an empty store).
    // False when the folder cannot be made or the file cannot be read; the store then reads as
    // empty and every write throws. Blocks for the file system.
    bool Open();

    // The value; nullopt when it is absent (or the store is not open).
    std::optional<QString> ReadString(QAnyStringView name) const;
    // The value as a decimal number within 32 bits; nullopt when absent or not such a number.
    std::optional<int> ReadInteger(QAnyStringView name) const;

    // Sets the value and replaces the file. Throws EFileError (naming the file and the system's
    // reason) when the store is not open, the file cannot be read again or cannot be replaced; the
    // file is then unchanged. Callable from any thread.
    void WriteString(QAnyStringView name, const QString& value);
    void WriteInteger(QAnyStringView name, int value) { WriteString(name, QString::number(value)); }

    const QString& FilePath() const { return path_; }

private:
    QString path_;
    bool open_ = false;
    IniImage image_;
};

} // namespace hl
