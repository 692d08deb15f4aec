#pragma once

class QWidget;

namespace hl {

// What Enter does in the main window, by the control that has the focus. "DOWNLOAD ALL" is the
// window's default button in the ordinary desktop sense: Enter in a single-line box or on a check
// box presses it, a focused push button takes Enter itself, and the multi-line editors and the
// log views keep Enter (the editors insert a line break; the logs and anything else do nothing).
enum class EnterAction { PressDefaultButton, PressFocusedButton, Nothing };

EnterAction enterActionFor(const QWidget* focus);

} // namespace hl
