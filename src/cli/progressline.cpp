#include "cli/progressline.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace hl::cli {

namespace {

constexpr int kBarMinimumCells = 10;
constexpr int kBarMaximumCells = 40;

QString decimalUnits(double value, const QString& suffix) {
    static const std::array<const char*, 7> units{"B", "kB", "MB", "GB", "TB", "PB", "EB"};
    size_t unit = 0;
    // What would round to 1000 shows in the next unit ("999.7 kB" as "1.00 MB").
    while (unit + 1 < units.size() && value >= 999.5) {
        value /= 1000;
        ++unit;
    }
    if (unit == 0) return QString::number(std::llround(value)) + QStringLiteral(" B") + suffix;
    const int decimals = value < 9.995 ? 2 : value < 99.95 ? 1 : 0;
    return QString::number(value, 'f', decimals) + QLatin1Char(' ') + QLatin1String(units[unit]) + suffix;
}

// "  12/3000   0%": the done count as wide as the total, so that the line does not shift.
QString counts(const ProgressFigures& figures) {
    const int digits = static_cast<int>(QString::number(figures.total).size());
    // 100% only when every line has ended.
    const int percent =
        figures.done >= figures.total ? 100 : std::min(99, static_cast<int>(figures.fraction * 100));
    return QStringLiteral("%1/%2 %3%").arg(figures.done, digits).arg(figures.total).arg(percent, 3);
}

QString bar(double fraction, int cells) {
    const int filled = std::clamp(static_cast<int>(fraction * cells), 0, cells);
    return QLatin1Char('|') + QString(filled, QLatin1Char('#')) + QString(cells - filled, QLatin1Char('.')) +
           QLatin1Char('|');
}

// One way of laying the line out; the reductions make it narrower step by step.
struct Layout {
    bool bar = true, bytes = true, brackets = true, wide = true, zeroErrors = true, rate = true, eta = true,
         errors = true;
};

constexpr std::array<bool Layout::*, 8> kReductions{&Layout::bar,  &Layout::bytes,      &Layout::brackets,
                                                    &Layout::wide, &Layout::zeroErrors, &Layout::rate,
                                                    &Layout::eta,  &Layout::errors};

QString render(const ProgressFigures& figures, const Layout& layout, int width) {
    const QString separator = layout.wide ? QStringLiteral("  ") : QStringLiteral(" ");
    const bool showErrors = figures.errors > 0 ? layout.errors : layout.zeroErrors;
    QStringList fields{counts(figures)};
    if (showErrors) fields << QStringLiteral("%1 err").arg(figures.errors);
    if (layout.rate) fields << ByteRateText(figures.bytesPerSecond);
    if (layout.bytes) fields << ByteCountText(figures.bytes);
    if (layout.eta)
        fields << QStringLiteral("ETA ") +
                      (figures.etaSeconds ? DurationText(*figures.etaSeconds) : QStringLiteral("--:--"));
    const auto assemble = [&] {
        const QString inner = fields.join(separator);
        return layout.brackets ? QStringLiteral("[ ") + inner + QStringLiteral(" ]") : inner;
    };
    if (!layout.bar) return assemble();
    // The bar follows the counts after one space, between its two edges.
    const int cells = width - static_cast<int>(assemble().size()) - 3;
    if (cells < kBarMinimumCells) return {};
    fields[0] += QLatin1Char(' ') + bar(figures.fraction, std::min(cells, kBarMaximumCells));
    return assemble();
}

} // namespace

QString ByteCountText(qint64 bytes) {
    return decimalUnits(static_cast<double>(bytes), QString());
}

QString ByteRateText(double bytesPerSecond) {
    return decimalUnits(std::max(bytesPerSecond, 0.0), QStringLiteral("/s"));
}

QString DurationText(qint64 seconds) {
    const qint64 hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(rest, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
}

QString ProgressLine(const ProgressFigures& figures, int width) {
    Layout layout;
    QString line = render(figures, layout, width);
    for (const auto step : kReductions) {
        if (!line.isEmpty() && line.size() <= width) return line;
        layout.*step = false;
        line = render(figures, layout, width);
    }
    return line.left(std::max(width, 0));
}

QString SummaryLine(const RunTally& tally, qint64 bytes, qint64 elapsedMs) {
    const double seconds = static_cast<double>(std::max<qint64>(elapsedMs, 0)) / 1000;
    const double rate = seconds > 0 ? static_cast<double>(bytes) / seconds : 0;
    return QStringLiteral("%1 downloaded, %2 skipped, %3 %4, %5 in %6 (%7)")
        .arg(tally.downloaded)
        .arg(tally.skipped)
        .arg(tally.errors)
        .arg(tally.errors == 1 ? QStringLiteral("error") : QStringLiteral("errors"))
        .arg(ByteCountText(bytes), DurationText(static_cast<qint64>(seconds)), ByteRateText(rate));
}

} // namespace hl::cli
