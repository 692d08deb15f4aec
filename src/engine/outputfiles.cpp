#include "engine/outputfiles.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace hl {

namespace {

bool statFile(const QString& path, struct stat& info) {
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace

bool FileExists(const QString& path) {
    struct stat info {};
    return statFile(path, info);
}

qint64 FileSizeOf(const QString& path) {
    struct stat info {};
    return statFile(path, info) ? static_cast<qint64>(info.st_size) : -1;
}

QString UniqueFileName(const QString& path) {
    if (!FileExists(path)) return path;
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype extStart = dot >= nameStart ? dot : path.size();
    const QString stem = path.left(extStart);
    const QString ext = path.mid(extStart);
    for (qint64 n = 2;; ++n) {
        const QString candidate = stem + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')') + ext;
        if (!FileExists(candidate)) return candidate;
    }
}

bool DeleteIfEmpty(const QString& path) {
    if (FileSizeOf(path) != 0) return false;
    ::unlink(QFile::encodeName(path).constData());
    return !FileExists(path);
}

QString LastPathElement(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void MoveToFinalName(const QString& partialPath, const QString& finalPath) {
    if (std::rename(QFile::encodeName(partialPath).constData(), QFile::encodeName(finalPath).constData()) !=
        0)
        throw EStreamError(QStringLiteral("Cannot rename \"%1\" to \"%2\". %3")
                               .arg(partialPath, finalPath, QString::fromLocal8Bit(std::strerror(errno))));
}

QString PartialFileName(const QString& filename) {
    return filename + QStringLiteral(".part");
}

ReservedOutput ReserveOutputFiles(const QString& filename, bool overwrite, bool resumePartial,
                                  const QSet<QString>& heldPaths) {
    ReservedOutput out;
    out.filename = overwrite ? filename : UniqueFileName(filename);
    out.partfilename = PartialFileName(out.filename);
    if (FileExists(out.partfilename)) {
        // A partial file that another download is still writing is never continued.
        if (resumePartial && !heldPaths.contains(out.partfilename))
            out.ResumeDownload = true;
        else
            out.partfilename = UniqueFileName(out.partfilename);
    }
    // The partial file comes first: a run killed between the two then leaves a partial file for the
    // next run to continue, never an empty final file alone, which would pass for a finished one.
    out.FS = std::make_unique<TFileStream>(
        out.partfilename, out.ResumeDownload ? TFileStream::Mode::OpenExisting : TFileStream::Mode::Create);
    // A file that is already there reserves the name by itself; emptying it now would lose it
    // when the transfer then fails.
    if (!FileExists(out.filename)) {
        try {
            TFileStream(out.filename, TFileStream::Mode::Create);
        } catch (const EStreamError&) {
            // No reservation is left behind.
            out.FS.reset();
            if (!out.ResumeDownload) DeleteIfEmpty(out.partfilename);
            throw;
        }
    }
    return out;
}

} // namespace hl
