#include "ui/userprompts.h"

#include "ui/encodingfiledialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace hl {
namespace {

// Message texts separate their parts with carriage returns, which a Qt label does not break on.
QString displayText(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
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
    QMessageBox box(boxIcon(icon), caption, displayText(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool DialogPrompts::confirm(const QString& title, const QString& text, const QString& yesCaption,
                            const QString& noCaption) {
    QMessageBox box(QMessageBox::Question, title, displayText(text), QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(yesCaption, QMessageBox::YesRole);
    box.addButton(noCaption, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
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
