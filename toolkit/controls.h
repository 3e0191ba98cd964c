#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/device_context.h"
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
// An image with a Click handler is offered to screen readers as a button, whose press action
// raises Click.
class Image {
  public:
    virtual ~Image() = default;
    virtual Picture picture() const = 0;
    // Takes the picture object itself, not a copy, and takes its size.
    virtual void setPicture(const Picture& picture) = 0;
    // What screen readers call the image: what its picture shows.
    virtual void setAccessibleName(std::string_view name) = 0;
    // Left is a single-precision number of twips, kept exactly as it was set.
    virtual float left() const = 0;
    virtual void setLeft(float left) = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual void onClick(Handler handler) = 0;
};

// A bordered box that can contain other controls and be drawn into. The controls standing in it
// are clipped to its inside. With the focus it shows a focus mark.
class PictureBox {
  public:
    virtual ~PictureBox() = default;
    // Offers the box to screen readers as a progress bar from 0 to 100 showing `percent` (a box
    // never given a value is offered as a picture).
    virtual void setMeterValue(double percent) = 0;
    // Outer width, border included.
    virtual float width() const = 0;
    // Clears what was drawn into it back to its background.
    virtual void cls() = 0;
    // The surface that system drawing calls draw into; coordinates are pixels from the top-left
    // corner inside the border. What is drawn stays until cls().
    virtual platform::DeviceContext& hDC() = 0;
};

// A box with a caption to its right. Value 0 is clear, 1 checked; a user's click toggles it
// before Click is raised. The focus arriving on it (the Tab key, the window being activated)
// toggles nothing and raises nothing.
class CheckBox {
  public:
    virtual ~CheckBox() = default;
    virtual std::string caption() const = 0;
    virtual int value() const = 0;
    // Sets the state without raising Click.
    virtual void setValue(int value) = 0;
    // A disabled box shows its state greyed and takes no clicks.
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void onClick(Handler handler) = 0;
};

// Raised by a list's Path setter when the path cannot be shown: the drive is not ready or has no
// volume, or the folder does not exist.
class PathUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The folder path of one drive: the root, the folders down to the current one and that folder's
// subfolders (hidden and system ones left out). Paths are DOS paths: "C:\", "C:\Data\Notes".
// Opening a line (double click, or Enter on the selected line) makes it the path.
class DirListBox {
  public:
    virtual ~DirListBox() = default;
    virtual std::string path() const = 0;
    // Shows `path` and raises Change when it differs from the current one; the focus arriving
    // and moving the current line raise nothing, only opening a line does. Throws
    // PathUnavailable, changing nothing, when the drive's root cannot be read. A folder whose
    // contents cannot be read is shown without subfolders.
    virtual void setPath(std::string_view path) = 0;
    virtual void onChange(Handler handler) = 0;
};

// The files of one folder, one name a line, sorted as the platform's file dialogs sort them;
// hidden and system files are left out. Positions are 32-bit: every file of a folder is listed.
// With nothing selected, the first Down, Up or Home selects the first line and End the last
// (FileListModel::rowForKey), a user's selection like any other.
class FileListBox {
  public:
    virtual ~FileListBox() = default;
    virtual std::string path() const = 0;
    // Lists the folder and leaves no selection. Throws PathUnavailable, changing nothing, when
    // the folder cannot be read.
    virtual void setPath(std::string_view path) = 0;
    // The selected name without its folder; empty with no selection.
    virtual std::string fileName() const = 0;
    // The selected line from 0, or -1 for none.
    virtual std::int32_t listIndex() const = 0;
    // Selects a line (-1 for none) and raises Click once for a line. Throws std::out_of_range,
    // changing nothing, for an index outside -1 to listCount() - 1.
    virtual void setListIndex(std::int32_t index) = 0;
    virtual std::int32_t listCount() const = 0;
    // Raised when a selection is made: by setListIndex (every time, also for the selected line),
    // or by the user selecting a line that was not selected, with the mouse or the keyboard.
    // Never raised by the list getting or losing the focus, by setPath, or by a line that is
    // only current (the focus frame on it) without being selected. FileListModel holds the rule.
    virtual void onClick(Handler handler) = 0;
};

// A filled rectangle.
class Shape {
  public:
    virtual ~Shape() = default;
    virtual float width() const = 0;
    virtual void setWidth(float width) = 0;
};

}  // namespace toolkit
