#include "settings/sharedlinelist.h"

#include <algorithm>

namespace hl {
namespace {

// Small enough that copying a chunk (one reference per line) costs microseconds, large enough
// that a million lines make only a thousand chunks.
constexpr int kChunkLines = 1024;

} // namespace

QString SharedLineList::at(int index) const {
    const std::size_t chunk = chunkOf(index);
    return chunks_[chunk]->at(index - starts_[chunk]);
}

std::size_t SharedLineList::chunkOf(int index) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    return std::size_t(after - starts_.begin()) - 1;
}

void SharedLineList::replace(int first, int count, const QStringList& lines) {
    // The chunks [begin, end) that hold the replaced lines (or, for an insertion, the line before
    // which it goes) are rebuilt from their kept lines and the new ones.
    std::size_t begin = chunks_.empty() ? 0 : chunkOf(std::min(first, size_ - 1));
    std::size_t end = chunks_.empty() ? 0 : chunkOf(std::min(first + std::max(count, 1) - 1, size_ - 1)) + 1;
    QStringList region;
    if (begin < end) {
        region = chunks_[begin]->mid(0, first - starts_[begin]);
        region += lines;
        region += chunks_[end - 1]->mid(first + count - starts_[end - 1]);
    } else {
        region = lines;
    }
    // A region that has shrunk joins a neighbour, so that chunks do not dwindle to single lines.
    if (region.size() < kChunkLines / 2 && end < chunks_.size()) {
        region += *chunks_[end];
        ++end;
    } else if (region.size() < kChunkLines / 2 && begin > 0) {
        --begin;
        region = *chunks_[begin] + region;
    }

    std::vector<Chunk> rebuilt;
    const int pieces = (int(region.size()) + kChunkLines - 1) / kChunkLines;
    for (int piece = 0; piece < pieces; ++piece) {
        const int from = int(qint64(region.size()) * piece / pieces);
        const int to = int(qint64(region.size()) * (piece + 1) / pieces);
        rebuilt.push_back(std::make_shared<const QStringList>(region.mid(from, to - from)));
    }
    chunks_.erase(chunks_.begin() + std::ptrdiff_t(begin), chunks_.begin() + std::ptrdiff_t(end));
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(begin), rebuilt.begin(), rebuilt.end());
    size_ += int(lines.size()) - count;
    recountStarts();
}

void SharedLineList::recountStarts() {
    starts_.resize(chunks_.size());
    int start = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        starts_[i] = start;
        start += int(chunks_[i]->size());
    }
}

QString SharedLineList::joined(QChar separator) const {
    qsizetype length = std::max(size_ - 1, 0);
    for (const Chunk& chunk : chunks_)
        for (const QString& line : *chunk)
            length += line.size();
    QString text;
    text.reserve(length);
    bool first = true;
    for (const Chunk& chunk : chunks_) {
        for (const QString& line : *chunk) {
            if (!first) text += separator;
            text += line;
            first = false;
        }
    }
    return text;
}

QStringList SharedLineList::toList() const {
    QStringList list;
    list.reserve(size_);
    for (const Chunk& chunk : chunks_)
        list += *chunk;
    return list;
}

} // namespace hl
