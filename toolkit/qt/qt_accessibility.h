#pragma once

#include <QWidget>
#include <functional>

// How the toolkit's widgets are offered to screen readers (Qt's accessibility, AT-SPI on Linux)
// where Qt's own interface for their widget class does not fit. Names come from the widgets'
// accessible names (QWidget::setAccessibleName), set from the layouts.
namespace toolkit::qt {

// Installs the toolkit's interfaces into Qt's accessibility once; call before any window is
// shown. Later calls do nothing.
void installAccessibility();

// A form's top-level widget: announced as a window titled with its caption, not as a filler.
void presentAsWindow(QWidget& window);

// An image: a button when `pressable` says it is (it has a Click handler), whose press action
// runs `press` once the screen reader's call has returned, so that a modal box it opens does not
// hold the call; otherwise a picture.
void presentAsImage(QWidget& image, std::function<bool()> pressable, std::function<void()> press);

// A picture box: a picture until it is given a meter value, then a progress bar from 0 to 100
// showing the last value given.
void presentAsPictureBox(QWidget& box);
void setMeterValue(QWidget& box, double percent);

}  // namespace toolkit::qt
