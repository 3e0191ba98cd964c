#pragma once

#include <map>
#include <memory>
#include <string>
#include <variant>

#include <QSocketNotifier>
#include <QWidget>

#include "toolkit/form.h"
#include "toolkit/layout.h"
#include "toolkit/qt/qt_controls.h"
#include "toolkit/qt/qt_lists.h"

namespace toolkit::qt {

class QtToolkit;

// A form as a top-level Qt window with fixed client size, holding the controls of its layout.
class QtForm final : public Form {
  public:
    QtForm(QtToolkit& toolkit, const FormLayout& layout);
    ~QtForm() override;

    Label& label(std::string_view name) override;
    CommandButton& commandButton(std::string_view name) override;
    Image& image(std::string_view name) override;
    PictureBox& pictureBox(std::string_view name) override;
    Shape& shape(std::string_view name) override;
    CheckBox& checkBox(std::string_view name) override;
    DirListBox& dirListBox(std::string_view name) override;
    FileListBox& fileListBox(std::string_view name) override;

    void onLoad(Handler handler) override { load_ = std::move(handler); }
    void onResize(Handler handler) override { resize_ = std::move(handler); }
    void onKeyDown(KeyHandler handler) override { keyDown_ = std::move(handler); }
    // Watches /proc/self/mountinfo, which the kernel marks when the mount table changes.
    void onDeviceChange(Handler handler) override;

    void load() override;
    void show() override;
    void hide() override;
    void unload() override;
    bool unloaded() const override { return unloaded_; }
    bool visible() const override;
    void setFocus() override;
    std::string caption() const override;
    float width() const override;
    int windowState() const override;
    std::uintptr_t hWnd() const override;

    QWidget& window();

  private:
    class Window;
    using Control = std::variant<
        std::unique_ptr<QtLabel>, std::unique_ptr<QtCommandButton>, std::unique_ptr<QtImage>,
        std::unique_ptr<QtPictureBox>, std::unique_ptr<QtShape>, std::unique_ptr<QtCheckBox>,
        std::unique_ptr<QtFrame>, std::unique_ptr<QtDirListBox>, std::unique_ptr<QtFileListBox>>;
    // Where the controls standing in a picture box or frame go, and their origin in it.
    struct Container {
        QWidget* widget;
        QPoint origin;
    };

    template <typename T>
    T& find(std::string_view name);
    void build(const ControlLayout& control);
    void orderTabs(const FormLayout& layout);
    // Translates a key press for the key-down handler; true when the handler consumed the key.
    bool previewKey(int qtKey, Qt::KeyboardModifiers modifiers);

    QtToolkit& toolkit_;
    std::unique_ptr<Window> window_;
    std::map<std::string, Control, std::less<>> controls_;
    std::map<std::string, Container, std::less<>> containers_;
    QWidget* firstTabStop_ = nullptr;
    Handler load_;
    Handler resize_;
    KeyHandler keyDown_;
    Handler deviceChange_;
    int mountTable_ = -1;  // /proc/self/mountinfo, open while deviceChange_ is watched
    std::unique_ptr<QSocketNotifier> mountTableWatch_;
    bool loaded_ = false;
    bool everShown_ = false;
    bool unloaded_ = false;
    bool centred_;
};

}  // namespace toolkit::qt
