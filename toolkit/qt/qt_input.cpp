#include "toolkit/qt/qt_input.h"

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace toolkit::qt {

std::int16_t virtualKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<std::int16_t>(qtKey);  // the same codes in both
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return static_cast<std::int16_t>(112 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
        case Qt::Key_Left:
            return key_code::left;
        case Qt::Key_Up:
            return key_code::up;
        case Qt::Key_Right:
            return key_code::right;
        case Qt::Key_Down:
            return key_code::down;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return 0;
    }
}

std::int16_t shiftState(Qt::KeyboardModifiers modifiers) {
    std::int16_t state = 0;
    if (modifiers & Qt::ShiftModifier) state |= shift_state::shift;
    if (modifiers & Qt::ControlModifier) state |= shift_state::ctrl;
    if (modifiers & Qt::AltModifier) state |= shift_state::alt;
    return state;
}

int mouseButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return mouse_button::right;
        case Qt::MiddleButton:
            return mouse_button::middle;
        default:
            return mouse_button::left;
    }
}

}  // namespace toolkit::qt
