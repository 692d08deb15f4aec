#include "protocols/httpheaderlist.h"

namespace hl {

namespace {

bool isContinuation(const QString& line) {
    return !line.isEmpty() && (line[0] == QLatin1Char(' ') || line[0] == QLatin1Char('\t'));
}

} // namespace

qsizetype TIdHeaderList::find(const QString& name, qsizetype from) const {
    for (qsizetype i = from; i < lines_.size(); ++i) {
        const QString& line = lines_[i];
        if (isContinuation(line)) continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && QStringView(line).left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TIdHeaderList::valueAt(qsizetype index) const {
    const QString& line = lines_[index];
    QString value = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    for (qsizetype i = index + 1; i < lines_.size() && isContinuation(lines_[i]); ++i) {
        const QString part = lines_[i].trimmed();
        if (part.isEmpty()) continue;
        if (!value.isEmpty()) value += QLatin1Char(' ');
        value += part;
    }
    return value;
}

QString TIdHeaderList::Value(const QString& name) const {
    const qsizetype index = find(name, 0);
    return index < 0 ? QString() : valueAt(index);
}

QStringList TIdHeaderList::Values(const QString& name) const {
    QStringList values;
    for (qsizetype i = find(name, 0); i >= 0; i = find(name, i + 1))
        values.append(valueAt(i));
    return values;
}

bool TIdHeaderList::Contains(const QString& name) const {
    return find(name, 0) >= 0;
}

void TIdHeaderList::SetValue(const QString& name, const QString& value) {
    const QString line = name + QLatin1String(": ") + value;
    const qsizetype index = find(name, 0);
    if (index < 0) {
        lines_.append(line);
        return;
    }
    lines_[index] = line;
    while (index + 1 < lines_.size() && isContinuation(lines_[index + 1]))
        lines_.removeAt(index + 1);
}

} // namespace hl
