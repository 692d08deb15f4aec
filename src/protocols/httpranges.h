#pragma once
// The value of a request's Range header, held as a unit and a list of ranges so that what a caller
// assigns ("12345-") is read back and sent in its canonical form ("bytes=12345-").
#include <QString>
#include <QStringList>

namespace hl {

class HttpRanges {
public:
    HttpRanges() = default;
    // Parses a comma list of start-end, start- or -suffix ranges (decimal byte offsets), optionally
    // after a unit and "=" ("bytes" when there is none). Blank and malformed entries are dropped.
    HttpRanges& operator=(const QString& text);

    // unit "=" ranges, or empty when there is no range.
    QString text() const;
    bool isEmpty() const { return ranges_.isEmpty(); }

private:
    QString unit_;
    QStringList ranges_;
};

} // namespace hl
