#include "ui/statuspanels.h"

#include <QLabel>
#include <QTextDocument>

namespace hl {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // URLs and file names come from lists and servers: shown as written, never as markup.
        panels_[i]->setTextFormat(Qt::PlainText);
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setContentsMargins(4, 1, 4, 1);
        // A long URL must not widen the window: the label is clipped instead.
        panels_[i]->setMinimumWidth(1);
        panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    addWidget(panels_[0], 663);
    addWidget(panels_[1], 300);
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    panels_[panel]->setText(text);
    // A tool tip has no plain-text mode: it gets the text as escaped markup.
    panels_[panel]->setToolTip(text.isEmpty() ? QString()
                                              : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap));
}

QString StatusPanels::panelText(int panel) const {
    return panels_[panel]->text();
}

} // namespace hl
