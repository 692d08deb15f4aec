#include "services/updatecheck.h"

#include "platform/machineid.h"
#include "platform/systemdescription.h"
#include "services/scrambledtext.h"
#include "services/updateanswer.h"

#include <limits>

namespace hl {
namespace {

// At most this many checks per calendar day go to the server, and the notice shows on at most the
// first kNoticesPerDay of them.
constexpr int kChecksPerDay = 5;
constexpr int kNoticesPerDay = 3;

QStringList requestFields(const ProgramIdentity& identity, const SystemDescription& system, int howMany) {
    return {QStringLiteral("cmd=check"),
            QStringLiteral("appname=") + identity.applicationTitle,
            QStringLiteral("version=") + identity.versionText,
            QStringLiteral("os=") + system.operatingSystem,
            QStringLiteral("local=") + system.locale,
            QStringLiteral("guid=") + system.machineIdentifier,
            QStringLiteral("howmany=") + QString::number(howMany)};
}

// The steps of the check; a store that fails to write ends it with an exception.
void runCheck(const UpdateCheckEnvironment& environment, const ProgramIdentity& identity,
              const PostAbortCheck& shouldAbort, UpdateCheckOutcome& outcome) {
    const SystemDescription system = environment.describeSystem();
    UserStore store(environment.storePath);
    if (!store.Open()) return;
    const QString lastCheck = store.ReadString(updatekeys::LastUpdateCheck).value_or(QString());
    const int lastCount = store.ReadInteger(updatekeys::LastUpdateCheckCount).value_or(0);
    const QString installed = store.ReadString(updatekeys::InstalledVersion).value_or(QString());

    // The start-up count restarts with every new version.
    int howMany = std::max(0, store.ReadInteger(updatekeys::HowMany).value_or(0));
    if (installed != identity.versionText) howMany = 0;
    if (howMany < std::numeric_limits<int>::max()) ++howMany;
    store.WriteInteger(updatekeys::HowMany, howMany);
    store.WriteString(updatekeys::InstalledVersion, identity.versionText);

    outcome.latestVersion = store.ReadString(updatekeys::CurrentVersion).value_or(QString());
    outcome.latestUrl = UnscrambleText(store.ReadString(updatekeys::CurrentURL).value_or(QString()));
    outcome.showUpdate = store.ReadInteger(updatekeys::ShowUpdate).value_or(1) != 0;
    if (!outcome.showUpdate) return;

    const QString today = environment.dateText(environment.today());
    const bool checkedToday = lastCheck == today;
    if (checkedToday && lastCount >= kChecksPerDay) return;
    const int count = checkedToday ? lastCount + 1 : 1;
    store.WriteString(updatekeys::LastUpdateCheck, today);
    store.WriteInteger(updatekeys::LastUpdateCheckCount, count);

    const std::optional<QString> answer =
        PostToMakerServer(environment.server, kUpdateCheckPath, requestFields(identity, system, howMany),
                          environment.timeoutMs, shouldAbort);
    if (!answer || answer->startsWith(QLatin1String("ERROR"))) return;
    const QStringList lines = AnswerLines(*answer);
    if (lines.size() < 4) return;

    const QString version = GetTagValue(lines.at(0), u"version");
    const QString url = GetTagValue(lines.at(1), u"url");
    store.WriteString(updatekeys::CurrentVersion, version);
    store.WriteString(updatekeys::CurrentURL, ScrambleText(url));
    outcome.latestVersion = version;
    outcome.latestUrl = url;
    outcome.noticeWanted = version != identity.versionText && IsPublishedVersionNumber(version) &&
                           !(checkedToday && count > kNoticesPerDay);
}

} // namespace

SystemDescription DescribeThisSystem() {
    return {OperatingSystemText(), UserLocaleTag(), MachineIdentifier()};
}

UpdateCheckOutcome CheckNow(const UpdateCheckEnvironment& environment, const ProgramIdentity& identity,
                            const PostAbortCheck& shouldAbort) {
    UpdateCheckOutcome outcome;
    try {
        runCheck(environment, identity, shouldAbort, outcome);
    } catch (const std::exception&) {
        // Silent by design: a check that fails only means that no notice is shown.
    }
    return outcome;
}

} // namespace hl
