#pragma once

#include <QObject>
#include <QSize>
#include <QWidget>

namespace toolkit::qt {

// Whether the windows are shown natively on Wayland (Qt's wayland plugin).
bool onWayland();

// What a window of fixed size needs natively on Wayland. There the compositor draws no title bar
// of its own (weston, GNOME), the one Qt draws offers a maximize button whatever the window's
// flags, and a compositor that configures a window maximized (or another size) is obeyed by Qt
// within the window's size limits, which for a fixed size ends the connection with a protocol
// error. So the window draws its own title bar: its icon and caption, a minimize button when the
// layout has one and a close button, and dragging the bar moves the window. Its size has no
// upper limit for Qt to hold against the compositor: a maximized, full-screen or other size is
// taken as configured, and from a maximized or full-screen state the window asks at once to be
// normal again, which brings back its own size.
class WaylandWindow final : public QObject {
  public:
    // Decorates `window`, whose controls stand below the title bar (titleBarHeight) and take
    // `clientSize`.
    WaylandWindow(QWidget& window, QSize clientSize, bool minimizeButton);
    int titleBarHeight() const { return titleBarHeight_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class TitleBar;

    QWidget& window_;
    int titleBarHeight_;
    bool restoring_ = false;  // the normal state is asked for once the current event is done
};

}  // namespace toolkit::qt
