#pragma once
#include "grabber/urllistappender.h"

#include <QObject>
#include <QPointer>

namespace hl {

class TextEditor;

// The main window's URL editor as the grabber's list: its lines, appends made as one quiet edit
// each (the grabber sends the change notification, which rewrites list.txt, once when its crawl
// ends), and an appender whose line set is read again whenever someone else (the user, another
// grabber) has changed the editor. GUI thread only.
class EditorUrlList : public QObject, public UrlListAccess {
    Q_OBJECT
public:
    EditorUrlList(TextEditor* editor, QObject* parent);

    QStringList Lines() const override;
    void AppendLines(const QStringList& links) override;

    UrlListAppender& appender() { return appender_; }

private:
    void editorChanged();

    QPointer<TextEditor> editor_;
    UrlListAppender appender_{*this};
    bool appending_ = false;
};

} // namespace hl
