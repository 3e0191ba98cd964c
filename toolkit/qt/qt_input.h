#pragma once

#include <Qt>
#include <cstdint>

// Qt's keys, modifiers and mouse buttons as the toolkit's handlers receive them.
namespace toolkit::qt {

// The Windows virtual-key code of a Qt key; 0 for keys without one.
std::int16_t virtualKeyCode(int qtKey);

// The shift-state bits (toolkit::shift_state) of Qt's modifiers.
std::int16_t shiftState(Qt::KeyboardModifiers modifiers);

// The toolkit::mouse_button bit of a Qt mouse button.
int mouseButton(Qt::MouseButton button);

}  // namespace toolkit::qt
