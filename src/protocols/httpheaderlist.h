#pragma once
// The header lines of a reply as received ("Name: value", continuation lines kept as they came),
// with look-up by name.
#include <QString>
#include <QStringList>

namespace hl {

class TIdHeaderList {
public:
    // Appends one received line; a line starting with a space or tab continues the header before it.
    void AddLine(const QString& line) { lines_.append(line); }
    // Replaces the first header of that name (with its continuation lines), or appends one.
    void SetValue(const QString& name, const QString& value);
    void Clear() { lines_.clear(); }

    // The value of the first header of that name (case-insensitive), continuation lines joined by
    // one space, trimmed; empty when absent.
    QString Value(const QString& name) const;
    // The values of every header of that name, in order.
    QStringList Values(const QString& name) const;
    bool Contains(const QString& name) const;

    const QStringList& Lines() const { return lines_; }
    qsizetype Count() const { return lines_.size(); }

private:
    // Index of the line that starts the header, or -1; from searches forward.
    qsizetype find(const QString& name, qsizetype from) const;
    QString valueAt(qsizetype index) const;

    QStringList lines_;
};

} // namespace hl
