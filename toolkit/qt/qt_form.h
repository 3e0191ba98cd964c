#pragma once

#include <map>
#include <memory>
#include <string>
#include <variant>

#include <QWidget>

#include "toolkit/form_base.h"
#include "toolkit/layout.h"
#include "toolkit/qt/qt_controls.h"
#include "toolkit/qt/qt_lists.h"
#include "toolkit/qt/qt_wayland_window.h"

namespace toolkit::qt {

class QtToolkit;

// A form as a top-level Qt window with fixed client size, holding the controls of its layout.
// Natively on Wayland a fixed-size window draws its own title bar (WaylandWindow), and since a
// Wayland window is never told that it was minimized or restored, Resize is raised there only
// when the window is first shown.
class QtForm final : public FormBase {
  public:
    QtForm(QtToolkit& toolkit, const FormLayout& layout);
    ~QtForm() override;

    // Raised from the toolkit's change source (QtToolkit::volumeChanges).
    void onDeviceChange(Handler handler) override;

    void show() override;
    void hide() override;
    bool visible() const override;
    void setFocus() override;
    int windowState() const override;

    // The top-level widget; its window id is the handle.
    QWidget& window();
    std::uintptr_t hWnd() const override;
    std::string caption() const override;
    float width() const override;

  private:
    class Window;
    // The controls' classes in the order of ControlKind.
    using Control = std::variant<
        std::unique_ptr<QtLabel>, std::unique_ptr<QtCommandButton>, std::unique_ptr<QtImage>,
        std::unique_ptr<QtPictureBox>, std::unique_ptr<QtShape>, std::unique_ptr<QtCheckBox>,
        std::unique_ptr<QtFrame>, std::unique_ptr<QtDirListBox>, std::unique_ptr<QtFileListBox>>;
    // Where a control goes: the widget it stands in, and its origin there.
    struct Container {
        QWidget* widget;
        QPoint origin;
    };

    void build(const ControlLayout& control);
    void orderTabs(const FormLayout& layout);
    // Translates a key press for the key-down handler; true when the handler consumed the key.
    bool previewKey(int qtKey, Qt::KeyboardModifiers modifiers);

    QtToolkit& toolkit_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<WaylandWindow> wayland_;
    QPoint clientOrigin_;  // where the client area starts in the window
    std::map<std::string, Control, std::less<>> controls_;
    ControlPlaces<Container> places_;
    QWidget* firstTabStop_ = nullptr;
    Handler deviceChange_;
    bool watchingVolumes_ = false;
    bool everShown_ = false;
    bool centred_;
};

}  // namespace toolkit::qt
