#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/picture.h"

// The controls a form holds. Positions and sizes are in twips (1440 to the inch, 15 to a pixel
// at 96 dots per inch), measured from the top-left corner of the control's container. Event
// handlers are plain callbacks run on the user-interface thread; setting one replaces the
// previous one. A failure that escapes a handler is reported by the toolkit (Toolkit::end).
namespace toolkit {

using Handler = std::function<void()>;

// Mouse button and shift-state bits as event handlers receive them.
namespace mouse_button {
inline constexpr int left = 1;
inline constexpr int right = 2;
inline constexpr int middle = 4;
}  // namespace mouse_button
namespace shift_state {
inline constexpr std::int16_t shift = 1;
inline constexpr std::int16_t ctrl = 2;
inline constexpr std::int16_t alt = 4;
}  // namespace shift_state

// (button, shift state, x, y) with x and y in twips from the control's top-left corner.
using MouseHandler = std::function<void(int, std::int16_t, float, float)>;

// Shows its caption left-aligned (or as laid out), wrapped at word boundaries and clipped at its
// laid-out size. Never takes the focus. The caption is plain text: no markup, no mnemonics.
class Label {
  public:
    virtual ~Label() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(std::string_view caption) = 0;
};

class CommandButton {
  public:
    virtual ~CommandButton() = default;
    virtual std::string caption() const = 0;
    virtual void onClick(Handler handler) = 0;
    // Raised when a mouse button is released over the button, before its Click.
    virtual void onMouseUp(MouseHandler handler) = 0;
};

// Shows a picture at its own size (no stretching); without a picture it keeps its laid-out size.
class Image {
  public:
    virtual ~Image() = default;
    virtual Picture picture() const = 0;
    // Takes the picture object itself, not a copy, and takes its size.
    virtual void setPicture(const Picture& picture) = 0;
    // Left is a single-precision number of twips, kept exactly as it was set.
    virtual float left() const = 0;
    virtual void setLeft(float left) = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual void onClick(Handler handler) = 0;
};

// A bordered box that can contain other controls.
class PictureBox {
  public:
    virtual ~PictureBox() = default;
    // Outer width, border included.
    virtual float width() const = 0;
    // Clears what was drawn into it back to its background.
    virtual void cls() = 0;
};

// A filled rectangle.
class Shape {
  public:
    virtual ~Shape() = default;
    virtual float width() const = 0;
    virtual void setWidth(float width) = 0;
};

}  // namespace toolkit
