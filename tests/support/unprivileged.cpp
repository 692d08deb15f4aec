#include "support/unprivileged.h"

#include "support/tempdir.h"

namespace hl::test {

namespace {

constexpr int kHelperTimeoutMs = 30000;

const QString kHelper = QStringLiteral(HARVESTLINE_PROBE_HELPER);

} // namespace

HelperResult runUnprivileged(const QStringList& arguments) {
    const TempDir dir;
    const QString output = dir.file(QStringLiteral("out"));
    HelperResult result;
    {
        SpawnedProcess helper(kHelper, QStringList{QStringLiteral("--unprivileged")} + arguments, output,
                              dir.file(QStringLiteral("err")));
        const auto outcome = helper.waitFor(kHelperTimeoutMs);
        if (outcome && outcome->exited) result.exitCode = outcome->exitCode;
    }
    result.output = dir.read(QStringLiteral("out"));
    return result;
}

std::unique_ptr<SpawnedProcess> startHelper(const QStringList& arguments, const QString& outputFile) {
    return std::make_unique<SpawnedProcess>(kHelper, arguments, outputFile, QStringLiteral("/dev/null"));
}

} // namespace hl::test
