#pragma once
#include <QWidget>

class QPushButton;

namespace hl {

// The states of the start button: idle ("DOWNLOAD ALL"), running ("STOP") and stopping
// ("STOPPING...", disabled until the run has ended).
enum class RunButtonState { Idle, Running, Stopping };

// The row with the "DOWNLOAD ALL" button, aligned under the controls of the option rows.
class ActionRow : public QWidget {
    Q_OBJECT
public:
    explicit ActionRow(QWidget* parent);

    QPushButton* runButton() const { return button_; }
    void setState(RunButtonState state);
    RunButtonState state() const { return state_; }

private:
    QPushButton* button_;
    RunButtonState state_ = RunButtonState::Idle;
};

} // namespace hl
