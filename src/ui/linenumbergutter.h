#pragma once
#include <QWidget>

namespace hl {

class TextEditor;

// The line-number strip at the left of a text editor. It paints only the visible lines, which the
// editor lays out for it, so its cost does not grow with the length of the text.
class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberGutter(TextEditor* editor);

    // Width in pixels needed for the editor's highest line number.
    int preferredWidth() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TextEditor* editor_;
};

} // namespace hl
