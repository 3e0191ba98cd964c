#include "tests/support/hooked_toolkit.h"

namespace fake {

namespace {

// A real form whose outer width may be given by the test.
class HookedForm final : public toolkit::Form {
  public:
    HookedForm(std::unique_ptr<toolkit::Form> real, const HookedToolkit& toolkit)
        : real_(std::move(real)), toolkit_(toolkit) {}

    toolkit::Label& label(std::string_view name) override { return real_->label(name); }
    toolkit::CommandButton& commandButton(std::string_view name) override {
        return real_->commandButton(name);
    }
    toolkit::Image& image(std::string_view name) override { return real_->image(name); }
    toolkit::PictureBox& pictureBox(std::string_view name) override {
        return real_->pictureBox(name);
    }
    toolkit::Shape& shape(std::string_view name) override { return real_->shape(name); }
    toolkit::CheckBox& checkBox(std::string_view name) override { return real_->checkBox(name); }
    toolkit::DirListBox& dirListBox(std::string_view name) override {
        return real_->dirListBox(name);
    }
    toolkit::FileListBox& fileListBox(std::string_view name) override {
        return real_->fileListBox(name);
    }
    void onLoad(toolkit::Handler handler) override { real_->onLoad(std::move(handler)); }
    void onResize(toolkit::Handler handler) override { real_->onResize(std::move(handler)); }
    void onKeyDown(toolkit::KeyHandler handler) override { real_->onKeyDown(std::move(handler)); }
    void onQueryUnload(toolkit::Handler handler) override {
        real_->onQueryUnload(std::move(handler));
    }
    void onDeviceChange(toolkit::Handler handler) override {
        real_->onDeviceChange(std::move(handler));
    }
    void load() override { real_->load(); }
    void show() override { real_->show(); }
    void hide() override { real_->hide(); }
    void unload() override { real_->unload(); }
    bool unloaded() const override { return real_->unloaded(); }
    bool visible() const override { return real_->visible(); }
    void setFocus() override { real_->setFocus(); }
    std::string caption() const override { return real_->caption(); }
    float width() const override { return toolkit_.formWidth.value_or(real_->width()); }
    int windowState() const override { return real_->windowState(); }
    std::uintptr_t hWnd() const override { return real_->hWnd(); }

    toolkit::Form& real() { return *real_; }

  private:
    std::unique_ptr<toolkit::Form> real_;
    const HookedToolkit& toolkit_;
};

}  // namespace

std::unique_ptr<toolkit::Form> HookedToolkit::createForm(const toolkit::FormLayout& layout) {
    return std::make_unique<HookedForm>(real_.createForm(layout), *this);
}

toolkit::Form& realForm(toolkit::Form& form) {
    auto* hooked = dynamic_cast<HookedForm*>(&form);
    return hooked ? hooked->real() : form;
}

}  // namespace fake
