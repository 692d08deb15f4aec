#pragma once
// The end of the link pipeline: the duplicate test against the whole URL list and the append
// (Ekle). The test is an exact, case-sensitive comparison with every line of the list as it stands,
// links appended earlier in the same grab included; a hash set of the lines, kept in step with the
// list, makes it cost the same however long the list is.
#include <QSet>
#include <QString>
#include <QStringList>

namespace hl {

// The URL list as the grabber sees it: the window's URL editor, or the command line's output.
class UrlListAccess {
public:
    virtual ~UrlListAccess() = default;
    // The list's lines as they stand now.
    virtual QStringList Lines() const = 0;
    // Adds links as new last lines, in order, as one change of the list (into an empty list the
    // first link goes without a blank line before it).
    virtual void AppendLines(const QStringList& links) = 0;
};

class UrlListAppender {
public:
    // list must outlive the appender. Its lines are read on the first append.
    explicit UrlListAppender(UrlListAccess& list) : list_(list) {}

    // Ekle ("add") for a batch: appends the links that are not lines of the list yet (a link given
    // twice goes in once), in order, with one AppendLines call, and counts them. Returns how many
    // went in.
    qsizetype Ekle(const QStringList& links);
    // The list was changed by other hands: its lines are read again before the next test.
    void ListChanged() { stale_ = true; }
    // Links appended since the appender was made (AddedLinkCount).
    quint64 AddedLinkCount() const { return added_; }

private:
    UrlListAccess& list_;
    QSet<QString> lines_;
    bool stale_ = true;
    quint64 added_ = 0;
};

} // namespace hl
