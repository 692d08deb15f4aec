#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace hl {

// A list of lines kept in chunks that copies share: copying the list costs one pointer per chunk,
// not one per line, and changing a few lines copies only the chunks that hold them. A copy is a
// snapshot that another thread may read while the original goes on changing (chunks are never
// changed once made). Made for the million-line lists that are saved in the background while
// the user types.
class SharedLineList {
public:
    int size() const { return size_; }
    QString at(int index) const;

    // Replaces count lines from first on by lines (count 0 inserts, empty lines removes).
    // first and count must lie within the list.
    void replace(int first, int count, const QStringList& lines);

    // Every line, with separator between two lines.
    QString joined(QChar separator) const;
    QStringList toList() const;

private:
    using Chunk = std::shared_ptr<const QStringList>;

    // The chunk holding the line at index (the end: one past the last chunk).
    std::size_t chunkOf(int index) const;
    void recountStarts();

    std::vector<Chunk> chunks_;
    std::vector<int> starts_; // the index of each chunk's first line
    int size_ = 0;
};

} // namespace hl
