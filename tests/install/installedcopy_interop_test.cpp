// An installed copy, made with `cmake --install` from this build into a temporary prefix: what it
// holds, that the desktop and AppStream tools accept it, and that both programs work from there.
#include "support/nginxserver.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QThread>
#include <QtEndian>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace hl {
namespace {

constexpr char kAppId[] = "com.lumbrix.Harvestline";

struct ToolResult {
    int exitCode = -1;
    QString output; // standard output and error together
};

ToolResult runTool(const QString& program, const QStringList& arguments,
                   const QStringList& environment = {}) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : environment)
        processEnvironment.insert(variable.section(QLatin1Char('='), 0, 0),
                                  variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(processEnvironment);
    process.start(program, arguments);
    ToolResult result;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    if (process.error() == QProcess::FailedToStart) result.output += process.errorString();
    return result;
}

// Every file under `root`, relative to it, sorted.
QStringList filesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Width and height from a PNG file's header.
QSize pngSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n")) return {};
    const auto number = [&](int at) { return qFromBigEndian<quint32>(head.constData() + at); };
    return QSize(int(number(16)), int(number(20)));
}

class InstalledCopy : public ::testing::Test {
protected:
    void SetUp() override {
        // Others (the unprivileged window below) must reach the prefix inside the private folder.
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
        prefix_ = QDir(dir_.path()).canonicalPath() + QStringLiteral("/prefix");
        install(prefix_);
    }

    void install(const QString& prefix, const QString& destdir = {}) {
        const ToolResult result =
            runTool(QStringLiteral(HARVESTLINE_CMAKE_COMMAND),
                    {QStringLiteral("--install"), QStringLiteral(HARVESTLINE_BINARY_DIR),
                     QStringLiteral("--prefix"), prefix},
                    destdir.isEmpty() ? QStringList() : QStringList{QStringLiteral("DESTDIR=") + destdir});
        ASSERT_EQ(result.exitCode, 0) << result.output.toStdString();
    }

    QString installed(const QString& path) const { return prefix_ + QLatin1Char('/') + path; }

    test::TempDir dir_;
    QString prefix_;
};

TEST_F(InstalledCopy, AStagedInstallHoldsExactlyTheProgramsAndTheirData) {
    const QString stage = dir_.file(QStringLiteral("stage"));
    install(QStringLiteral("/usr"), stage);
    const QString id = QLatin1String(kAppId);
    QStringList expected = {
        QStringLiteral("usr/bin/harvestline"),
        QStringLiteral("usr/bin/harvestline-cli"),
        QStringLiteral("usr/share/applications/") + id + QStringLiteral(".desktop"),
        QStringLiteral("usr/share/bash-completion/completions/harvestline-cli"),
        QStringLiteral("usr/share/doc/harvestline/changelog.gz"),
        QStringLiteral("usr/share/doc/harvestline/copyright"),
        QStringLiteral("usr/share/harvestline/license.txt"),
        QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + id + QStringLiteral(".svg"),
        QStringLiteral("usr/share/man/man1/harvestline-cli.1.gz"),
        QStringLiteral("usr/share/man/man1/harvestline.1.gz"),
        QStringLiteral("usr/share/metainfo/") + id + QStringLiteral(".metainfo.xml"),
    };
    for (int size : {48, 128, 256}) {
        const QString png = QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id);
        expected << png;
        EXPECT_EQ(pngSize(stage + QLatin1Char('/') + png), QSize(size, size)) << png.toStdString();
    }
    expected.sort();
    EXPECT_EQ(filesUnder(stage), expected);
    EXPECT_EQ(filesUnder(prefix_),
              QStringList(expected).replaceInStrings(QRegularExpression("^usr/"), QString()));
}

TEST_F(InstalledCopy, DesktopEntryAppStreamDataAndManPagesPassTheirValidators) {
    const QString desktopEntry = installed(QStringLiteral("share/applications/%1.desktop").arg(kAppId));
    const ToolResult desktop = runTool(QStringLiteral("desktop-file-validate"), {desktopEntry});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.isEmpty()) << desktop.output.toStdString();
    // The tree check also ties the AppStream data to its desktop entry.
    const ToolResult appstream =
        runTool(QStringLiteral("appstreamcli"),
                {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), prefix_});
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output.toStdString();

    // The entry starts a program and shows an icon that the installation holds.
    QFile file(desktopEntry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=harvestline\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=%1\n").arg(kAppId)));
    EXPECT_TRUE(QFileInfo(installed(QStringLiteral("bin/harvestline"))).isExecutable());

    for (const char* page : {"harvestline.1.gz", "harvestline-cli.1.gz"}) {
        const ToolResult man = runTool(QStringLiteral("man"),
                                       {QStringLiteral("--warnings"), QStringLiteral("-l"),
                                        installed(QStringLiteral("share/man/man1/")) + page},
                                       {QStringLiteral("MANWIDTH=80"), QStringLiteral("LC_ALL=C.UTF-8"),
                                        QStringLiteral("MAN_KEEP_STDERR=1")});
        EXPECT_EQ(man.exitCode, 0) << page;
        EXPECT_TRUE(man.output.contains(QStringLiteral("SEE ALSO"))) << page;
        EXPECT_FALSE(man.output.contains(QStringLiteral("warning"))) << man.output.toStdString();
    }
}

TEST_F(InstalledCopy, TheCommandLineToolDownloadsAndFindsItsLicense) {
    test::NginxServer nginx;
    ASSERT_TRUE(nginx.started()) << nginx.log().toStdString();
    const QString url = nginx.put(QStringLiteral("report.pdf"), QByteArray(100000, 'r'));
    test::TempDir downloads;
    const QString cli = installed(QStringLiteral("bin/harvestline-cli"));

    const ToolResult run = runTool(cli, {QStringLiteral("-d"), downloads.path(), url});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(downloads.read(QStringLiteral("report.pdf")), QByteArray(100000, 'r'));

    const ToolResult version = runTool(cli, {QStringLiteral("--version")});
    const QString license = installed(QStringLiteral("share/harvestline/license.txt"));
    EXPECT_TRUE(
        version.output.contains(QStringLiteral("\nCopyright (c) LUMBRIX. MIT License: ") + license + '\n'))
        << version.output.toStdString();
    QFile installedLicense(license);
    QFile sourceLicense(QStringLiteral(HARVESTLINE_SOURCE_DIR "/LICENSE"));
    ASSERT_TRUE(installedLicense.open(QIODevice::ReadOnly) && sourceLicense.open(QIODevice::ReadOnly));
    EXPECT_EQ(installedLicense.readAll(), sourceLicense.readAll());
}

// Installed where its user cannot write, the window keeps settings.ini and list.txt in the user's
// configuration folder. Run as "nobody" when the tests run as root, who could write anywhere.
TEST_F(InstalledCopy, TheWindowKeepsItsSettingsInTheConfigFolder) {
    const QString bin = installed(QStringLiteral("bin"));
    const QString home = dir_.file(QStringLiteral("home"));
    const QString config = dir_.file(QStringLiteral("config"));
    QDir().mkpath(home);
    QDir().mkpath(config);
    const auto everybody = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                           QFile::WriteOther | QFile::ExeOther;
    QFile::setPermissions(home, everybody);
    QFile::setPermissions(config, everybody);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    // Anything the window asks of its maker's server stays on this machine.
    environment.insert(QStringLiteral("HARVESTLINE_MAKER_HOST"), QStringLiteral("127.0.0.1"));
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::MergedChannels);
    window.setChildProcessModifier([] {
        constexpr gid_t kNobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(99);
    });
    window.start(bin + QStringLiteral("/harvestline"), {});
    ASSERT_TRUE(window.waitForStarted(10000)) << window.errorString().toStdString();

    const QString settingsFolder = config + QStringLiteral("/LUMBRIX/Harvestline/");
    for (int waited = 0; waited < 30000 && window.state() == QProcess::Running &&
                         !(QFileInfo::exists(settingsFolder + "settings.ini") &&
                           QFileInfo::exists(settingsFolder + "list.txt"));
         waited += 100)
        QThread::msleep(100);
    const bool stillRunning = window.state() == QProcess::Running;
    window.terminate();
    if (!window.waitForFinished(10000)) window.kill();
    window.waitForFinished();

    const QString output = QString::fromUtf8(window.readAll());
    EXPECT_TRUE(stillRunning) << output.toStdString();
    QFile settings(settingsFolder + "settings.ini");
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly)) << output.toStdString();
    EXPECT_TRUE(settings.readAll().contains("SaveLocation="));
    EXPECT_TRUE(QFileInfo::exists(settingsFolder + "list.txt"));
    EXPECT_EQ(QDir(bin).entryList(QDir::Files),
              QStringList({QStringLiteral("harvestline"), QStringLiteral("harvestline-cli")}));
    QFile::setPermissions(bin, everybody); // so that the temporary folder can be removed
}

} // namespace
} // namespace hl
