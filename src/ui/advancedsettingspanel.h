#pragma once
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace hl {

class OptionRow;

// The five advanced rows under the tab area: user agent, output file-name format, extension and
// the two time-outs. "Display Advanced Settings" shows or hides them together.
class AdvancedSettingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedSettingsPanel(QWidget* parent);

    QComboBox* userAgentBox() const { return userAgent_; }
    QCheckBox* serverProposedNameBox() const { return serverProposedName_; }
    QCheckBox* fullUrlBox() const { return fullUrl_; }
    QCheckBox* includeParametersBox() const { return includeParameters_; }
    QLineEdit* extensionBox() const { return extension_; }
    QSpinBox* connectionTimeoutBox() const { return connectionTimeout_; }
    QSpinBox* responseTimeoutBox() const { return responseTimeout_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QComboBox* userAgent_;
    QCheckBox* serverProposedName_;
    QCheckBox* fullUrl_;
    QCheckBox* includeParameters_;
    QLineEdit* extension_;
    QSpinBox* connectionTimeout_;
    QSpinBox* responseTimeout_;
};

} // namespace hl
