#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A window's fixed layout: the data a form is built from, like a form file. Positions and sizes
// are in twips.
namespace toolkit {

enum class ControlKind {
    Label,
    CommandButton,
    Image,
    PictureBox,
    Shape,
    CheckBox,
    Frame,
    DirListBox,
    FileListBox,
};

enum class Alignment { Left, Center, Right };

struct Font {
    std::string name;
    float points = 8;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ControlLayout {
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string caption;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    // Position in the Tab order among the form's controls; ignored for controls that cannot take
    // the focus (labels, images, shapes).
    int tabIndex = 0;
    // False: the Tab key passes the control by, though a click still gives it the focus.
    bool tabStop = true;
    std::optional<Font> font;  // none: the form's default font
    Alignment alignment = Alignment::Left;
    std::optional<Rgb> backColor;  // picture boxes and shapes
    // The control this one stands in (a picture box or a frame); empty for the form's client
    // area.
    std::string container;
    // Image: the name of a picture resource shown from the start, at the image's laid-out width
    // and height (of an icon's images, the one drawn for that size at the screen's scale); with no
    // laid-out size, at its widest image's size.
    std::string picture;
    bool visible = true;
    // What screen readers call the control where its caption does not say it ("Previous drive"
    // for a button showing "<"); empty: what it shows.
    std::string accessibleName;
};

struct FormLayout {
    std::string name;
    std::string caption;
    float clientWidth = 0;
    float clientHeight = 0;
    // A fixed single border: the user cannot resize the window by its edges.
    bool fixedBorder = true;
    bool minButton = true;
    bool maxButton = false;
    // The form sees each key-down before the focused control does.
    bool keyPreview = false;
    bool centred = true;
    std::string icon;  // name of a picture resource; empty for the toolkit's default
    std::vector<ControlLayout> controls;
};

}  // namespace toolkit
