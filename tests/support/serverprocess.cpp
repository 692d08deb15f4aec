#include "support/serverprocess.h"

#include "support/spawnedprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace hl::test {

namespace {

// The inodes of the sockets listening on port, from the kernel's table of one family.
std::vector<QByteArray> listeningInodes(const QString& table, quint16 port) {
    std::vector<QByteArray> inodes;
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly)) return inodes;
    constexpr QByteArrayView kListen = "0A";
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 10 || fields[3] != kListen) continue;
        if (fields[1].split(':').value(1).toUInt(nullptr, 16) == port) inodes.push_back(fields[9]);
    }
    return inodes;
}

} // namespace

bool processListensOn(pid_t pid, quint16 port) {
    std::vector<QByteArray> inodes = listeningInodes(QStringLiteral("/proc/net/tcp"), port);
    for (const QByteArray& inode : listeningInodes(QStringLiteral("/proc/net/tcp6"), port))
        inodes.push_back(inode);
    if (inodes.empty()) return false;
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& descriptor : descriptors.entryInfoList(QDir::Files | QDir::System)) {
        const QByteArray target = descriptor.symLinkTarget().toLatin1();
        for (const QByteArray& inode : inodes)
            if (target.endsWith("socket:[" + inode + "]")) return true;
    }
    return false;
}

bool programExists(const QString& program) {
    if (program.startsWith(QLatin1Char('/'))) return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments, const QString& logFile) {
    ExecArguments command(program, arguments);
    const QByteArray log = logFile.toLocal8Bit();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that stop() reaches the helpers it forks (nginx workers) too.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, command.argv()[0], &actions, &attributes, command.argv(), environ) == 0)
        pid_ = pid;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    stop();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) {
    other.pid_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = other.pid_;
        other.pid_ = -1;
    }
    return *this;
}

bool ChildProcess::running() const {
    return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

void ChildProcess::stop() {
    if (pid_ <= 0) return;
    // The child leads its own process group, so helpers it forked (nginx workers) go too.
    ::kill(-pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) != 0) {
            ::kill(-pid_, SIGKILL);
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace hl::test
