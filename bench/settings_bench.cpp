// Times the rewrites that run on the window thread on every change: list.txt for a long URL list
// and settings.ini with every key set. Prints the median of several runs of each.
//
//   harvestline-bench-settings [URL count] [folder]
#include "settings/listfiles.h"
#include "settings/settingsfolder.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median wall time of `runs` calls, in milliseconds.
double medianMs(int runs, const std::function<void()>& action) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        action();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString urlListText(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text +=
            QStringLiteral("https://downloads.example.org/archive/2024/%1/file-%2.zip\n").arg(i % 97).arg(i);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporary;
    const QString folder = (argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path()) + QLatin1Char('/');
    QDir().mkpath(folder);

    const QString text = urlListText(count);
    const QString listPath = folder + hl::kUrlListFileName;
    const double encode = medianMs(21, [&] { hl::UrlListFileBytes(text); });
    const double save = medianMs(21, [&] { hl::SaveUrlList(listPath, text); });
    const double load = medianMs(11, [&] { hl::LoadUrlList(listPath); });
    std::printf("list.txt, %d URLs (%.1f MB): build bytes %.2f ms, rewrite %.2f ms, load %.2f ms\n", count,
                QFileInfo(listPath).size() / 1e6, encode, save, load);

    // Every key set, as after a while of use.
    hl::SettingsStore store(folder);
    for (const hl::SettingDefinition& definition : hl::SettingDefinitions()) {
        const bool isSwitch = definition.kind == hl::SettingKind::Switch;
        store.Write(
            {{definition.key, isSwitch ? QStringLiteral("ON") : QStringLiteral("/home/user/Downloads/")}});
    }
    int keystroke = 0;
    const double write = medianMs(501, [&] {
        store.WriteText(hl::SettingKey::SaveLocation,
                        QStringLiteral("/home/user/Downloads/%1/").arg(++keystroke));
    });
    std::printf("settings.ini, %lld bytes: one write with its rewrite %.3f ms\n",
                static_cast<long long>(QFileInfo(store.FilePath()).size()), write);
    return 0;
}
