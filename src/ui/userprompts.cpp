#include "ui/userprompts.h"

#include "ui/encodingfiledialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace hl {
namespace {

// Message texts separate their parts with carriage returns, which a Qt label does not break on.
QString displayText(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// A box that shows its text exactly as written: a URL or a server's message that looks like
// markup must not be rendered as such.
QMessageBox* plainMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                             QMessageBox::StandardButtons buttons, QWidget* parent) {
    auto* box = new QMessageBox(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(displayText(text));
    return box;
}

std::optional<ListFileChoice> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                            const QString& filter, const QString& defaultSuffix) {
    EncodingFileDialog dialog(parent, mode, filter, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ListFileChoice{dialog.selectedFiles().constFirst(), dialog.encoding()};
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

void DialogPrompts::showMessage(MessageIcon icon, const QString& caption, const QString& text) {
    const std::unique_ptr<QMessageBox> box(
        plainMessageBox(boxIcon(icon), caption, text, QMessageBox::Ok, parent_));
    box->exec();
}

void DialogPrompts::openMessage(MessageIcon icon, const QString& caption, const QString& text,
                                std::function<void()> closed) {
    QMessageBox* box = plainMessageBox(boxIcon(icon), caption, text, QMessageBox::Ok, parent_);
    // A message box is application modal unless told otherwise.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [closed = std::move(closed)] { closed(); });
    box->show();
}

bool DialogPrompts::confirm(const QString& title, const QString& text, const QString& yesCaption,
                            const QString& noCaption) {
    const std::unique_ptr<QMessageBox> box(
        plainMessageBox(QMessageBox::Question, title, text, QMessageBox::NoButton, parent_));
    QPushButton* yes = box->addButton(yesCaption, QMessageBox::YesRole);
    box->addButton(noCaption, QMessageBox::NoRole);
    box->setDefaultButton(yes);
    box->exec();
    return box->clickedButton() == yes;
}

std::optional<ListFileChoice> DialogPrompts::chooseFileToOpen(const QString& filter,
                                                              const QString& defaultSuffix) {
    return runFileDialog(parent_, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

std::optional<ListFileChoice> DialogPrompts::chooseFileToSave(const QString& filter,
                                                              const QString& defaultSuffix) {
    return runFileDialog(parent_, QFileDialog::AcceptSave, filter, defaultSuffix);
}

QString DialogPrompts::chooseFolder(const QString& title, const QString& startFolder) {
    QFileDialog dialog(parent_, title, startFolder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QObject::tr("Select"));
    if (!startFolder.isEmpty()) dialog.selectFile(startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void DialogPrompts::beep() {
    QApplication::beep();
}

} // namespace hl
