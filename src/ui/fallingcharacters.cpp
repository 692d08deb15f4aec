#include "ui/fallingcharacters.h"

#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>

namespace hl {
namespace {

QColor greenish(int b) {
    return QColor(b * 150 / 255, b, b * 100 / 255);
}

} // namespace

const QString FallingCharacters::kAlphabet = QStringLiteral("HARVESTLINQUWXYZKM");

FallingCharacters::FallingCharacters(std::function<int(int)> random)
    : random_(random ? std::move(random)
                     : [](int bound) { return QRandomGenerator::global()->bounded(bound); }) {}

void FallingCharacters::start(QSize size) {
    ticks_ = 0;
    matrixWidth_ = std::max(size.width(), 0) / kCharWidth;
    matrixHeight_ = std::max(size.height(), 0) / kCharHeight;
    drops_.clear();
    if (matrixWidth_ == 0 || matrixHeight_ == 0) return;
    const int count = std::min(2 * matrixWidth_, kMaxDrops);
    drops_.resize(count);
    for (int i = 0; i < count; ++i) {
        Drop& drop = drops_[i];
        drop.column = i % matrixWidth_;
        drop.row = random_(matrixHeight_);
        drop.speed = 1 + random_(3);
        drop.brightness = random_(100);
    }
}

void FallingCharacters::step(QPainter& painter) {
    for (Drop& drop : drops_) {
        draw(painter, drop, kAlphabet.at(random_(kAlphabet.size())));
        if (ticks_ % drop.speed != 0) continue;
        if (++drop.row > matrixHeight_ + 1) renew(drop);
    }
    ++ticks_;
}

void FallingCharacters::renew(Drop& drop) {
    drop.row = 0;
    drop.speed = 1 + random_(3);
    drop.brightness = random_(100);
}

void FallingCharacters::draw(QPainter& painter, const Drop& drop, QChar c) const {
    if (!kAlphabet.contains(c)) return;
    const int x = drop.column * kCharWidth;
    // The cell where this drop's trail ends, counted round from the bottom when above the top.
    int erased = drop.row - kTrailRows;
    while (erased < 0)
        erased += matrixHeight_ + 1;
    painter.fillRect(x, erased * kCharHeight, kCharWidth, kCharHeight, Qt::black);

    const QRect head(x, drop.row * kCharHeight, kCharWidth, kCharHeight);
    if (drop.row > 0) {
        painter.fillRect(head.translated(0, -kCharHeight), Qt::black);
        painter.setPen(trailColour(drop.brightness));
        painter.drawText(head.translated(0, -kCharHeight), Qt::AlignCenter, QString(c));
    }
    painter.fillRect(head, Qt::black);
    painter.setPen(headColour(drop.brightness));
    painter.drawText(head, Qt::AlignCenter, QString(c));
}

QColor FallingCharacters::headColour(int brightness) {
    return greenish(brightness * 255 / 100);
}

QColor FallingCharacters::trailColour(int brightness) {
    return greenish(brightness * 255 / 100 / 3);
}

} // namespace hl
