#pragma once
#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace hl {

class NumberBox;

// What the Multi-Threading dialog records: the thread count (0 = automatic, 1 to 9999 = custom)
// and whether the classic pool engine runs parallel downloads.
struct MultiThreadChoice {
    int threads = 0;
    bool classicEngine = false;
};

// The Multi-Threading dialog. It shows the pool's default worker limits, starts from the stored
// choice (a thread count outside 1 to 9999 means "Automatic") and, when "Enable" is pressed,
// accepts with choice() holding the new one. "Cancel", Esc and the close button reject.
class TFormMultiThread : public QDialog {
    Q_OBJECT
public:
    TFormMultiThread(int minimumWorkers, int maximumWorkers, const MultiThreadChoice& stored,
                     QWidget* parent);

    MultiThreadChoice choice() const;

    static constexpr int maximumThreads = 9999;

private:
    QRadioButton* automatic_;
    QRadioButton* custom_;
    NumberBox* threads_;
    QCheckBox* classic_;
};

} // namespace hl
