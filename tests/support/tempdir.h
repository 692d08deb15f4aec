#pragma once
// A temporary folder for one test, removed with everything in it when the test ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace hl::test {

class TempDir {
public:
    TempDir() : dir_(QDir::tempPath() + QStringLiteral("/harvestline-test-XXXXXX")) {}
    QString path() const { return dir_.path(); }
    // The path of a file inside the folder.
    QString file(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(file(name)).absolutePath());
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& name) const { return QFileInfo::exists(file(name)); }
    // File names in the folder, sorted.
    QStringList entries() const {
        return QDir(path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir dir_;
};

} // namespace hl::test
