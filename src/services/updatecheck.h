#pragma once
// The once-per-start update check: counts the start in the per-user store, and at most five times
// per calendar day asks the maker's server for the latest published version and its download link.
#include "services/makerserver.h"
#include "services/postform.h"
#include "services/versioninfo.h"
#include "settings/userstore.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <functional>

namespace hl {

// The names of the update check's values in the per-user store.
namespace updatekeys {
inline constexpr QLatin1String ShowUpdate("ShowUpdate");
inline constexpr QLatin1String HowMany("HowMany");
inline constexpr QLatin1String InstalledVersion("InstalledVersion");
inline constexpr QLatin1String LastUpdateCheck("LastUpdateCheck");
inline constexpr QLatin1String LastUpdateCheckCount("LastUpdateCheckCount");
inline constexpr QLatin1String CurrentVersion("CurrentVersion");
inline constexpr QLatin1String CurrentURL("CurrentURL");
} // namespace updatekeys

inline constexpr QLatin1String kUpdateCheckPath("/php/check2.php");
inline constexpr int kUpdateCheckTimeoutMs = 10000;

// What the check tells the server about the system it runs on.
struct SystemDescription {
    QString operatingSystem;
    QString locale;
    QString machineIdentifier;
};

// The real system's description (reads the machine id; blocks for that file).
SystemDescription DescribeThisSystem();

// Everything the check takes from outside, so that tests can give it a loopback server, a
// temporary store, a fixed date and a fixed system. The defaults are the real surroundings: the
// maker's server, the user's store, today, this system.
struct UpdateCheckEnvironment {
    MakerServer server;
    // The per-user store's file.
    QString storePath = UserStorePath();
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // Turns a date into the text kept as LastUpdateCheck: the user's short date format.
    std::function<QString(QDate)> dateText = [](QDate date) {
        return QLocale::system().toString(date, QLocale::ShortFormat);
    };
    std::function<SystemDescription()> describeSystem = DescribeThisSystem;
    int timeoutMs = kUpdateCheckTimeoutMs;
};

struct UpdateCheckOutcome {
    // The published version differs from the running one and today's notices are not used up.
    bool noticeWanted = false;
    // ShowUpdate as stored (1 when missing or when the store could not be opened).
    bool showUpdate = true;
    // The last usable answer's version and download link: this check's, or the stored ones.
    QString latestVersion;
    QString latestUrl;
};

// Runs the check on the calling thread and returns what the window needs afterwards. Never
// throws: every failure only means that no notice is wanted. A store that cannot be opened or
// written ends the check before anything is sent (whatever came back could not be kept). Blocks for
// the store and for up to two posts of environment.timeoutMs per wait; shouldAbort ends a post
// early.
UpdateCheckOutcome CheckNow(const UpdateCheckEnvironment& environment, const ProgramIdentity& identity,
                            const PostAbortCheck& shouldAbort = {});

} // namespace hl
