#pragma once
// The about box's rain of characters: drops fall down the columns of a grid of 8-by-12-pixel
// cells at their own speeds, each drawing a bright head and a dimmer cell above it, and each cell
// is painted black again 40 rows after a drop passed, so every drop trails a fading line.
#include <QColor>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace hl {

class FallingCharacters {
public:
    static constexpr int kCharWidth = 8;
    static constexpr int kCharHeight = 12;
    static constexpr int kMaxDrops = 5000;
    static constexpr int kTrailRows = 40;
    // The characters the rain is made of.
    static const QString kAlphabet;

    struct Drop {
        int column = 0;
        int row = 0;
        int speed = 1;      // moves one row every speed-th step: 1 to 3
        int brightness = 0; // 0 to 99
    };

    // random(n): a number from 0 to n - 1. Empty: the process's generator.
    explicit FallingCharacters(std::function<int(int)> random = {});

    // A new rain for a surface of `size` pixels: the step count starts at 0 and twice as many drops
    // as there are columns (at most kMaxDrops) start in random rows, one after another across
    // the columns.
    void start(QSize size);
    // Draws every drop's next character and moves the drops whose turn it is; a drop that has left
    // the bottom starts again at the top with a new speed and brightness.
    void step(QPainter& painter);

    int matrixWidth() const { return matrixWidth_; }
    int matrixHeight() const { return matrixHeight_; }
    const std::vector<Drop>& drops() const { return drops_; }

    // The colour of a drop's head and of the cell above it, for a brightness from 0 to 99.
    static QColor headColour(int brightness);
    static QColor trailColour(int brightness);

private:
    void draw(QPainter& painter, const Drop& drop, QChar c) const;
    void renew(Drop& drop);

    std::function<int(int)> random_;
    int matrixWidth_ = 0;
    int matrixHeight_ = 0;
    quint64 ticks_ = 0;
    std::vector<Drop> drops_;
};

} // namespace hl
