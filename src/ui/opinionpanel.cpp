#include "ui/opinionpanel.h"

#include "ui/icons.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace hl {

OpinionPanel::OpinionPanel(const char* name, const char* pictureName, const QString& caption,
                           const QString& picture, QWidget* parent)
    : QFrame(parent), picture_(new QLabel), caption_(new QLabel(caption)) {
    setObjectName(QLatin1String(name));
    picture_->setObjectName(QLatin1String(pictureName));
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    setLineWidth(2);

    picture_->setAlignment(Qt::AlignCenter);
    picture_->setPixmap(themeIcon(picture).pixmap(QSize(48, 48), devicePixelRatioF()));
    caption_->setAlignment(Qt::AlignCenter);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    layout->addWidget(picture_);
    layout->addWidget(caption_);
    raisedColours_ = palette();
    raisedColours_.setColor(QPalette::Window, raisedColours_.color(QPalette::Button));
    setSelected(false);
}

void OpinionPanel::setSelected(bool selected) {
    selected_ = selected;
    setFrameStyle(QFrame::Panel | (selected ? QFrame::Sunken : QFrame::Raised));
    QPalette colours = raisedColours_;
    if (selected) {
        colours.setColor(QPalette::Window, raisedColours_.color(QPalette::Highlight));
        colours.setColor(QPalette::WindowText, raisedColours_.color(QPalette::HighlightedText));
    }
    setPalette(colours);
}

void OpinionPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed();
    QFrame::mousePressEvent(event);
}

} // namespace hl
