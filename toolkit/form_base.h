#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "toolkit/form.h"
#include "toolkit/toolkit_base.h"

namespace toolkit {

// Whether a control of that kind can take the keyboard focus.
bool takesFocus(ControlKind kind);

// The layout's controls in their Tab order: by tab index, in layout order where indexes are
// equal. The pointers are into `layout`.
std::vector<const ControlLayout*> tabOrder(const FormLayout& layout);

// The control that takes the focus when its form is first shown: the first of `order` that can
// take the focus, is a tab stop and is visible; null for none.
const ControlLayout* firstTabStop(const std::vector<const ControlLayout*>& order);

// Makes a control of `kind` for a backend whose own control classes, one for each ControlKind in
// its order, are the alternatives of Owned: a std::variant of a std::unique_ptr to each. Calls
// make(std::type_identity<Class>()) for the kind's class and returns what it made, which is a
// std::unique_ptr<Class>.
template <typename Owned, typename Make>
Owned makeControl(ControlKind kind, Make&& make);

// Where a backend's controls stand: the form's client area, or the inside of the picture box or
// frame they stand in. Place is the backend's own record of a parent and an origin in it.
template <typename Place>
class ControlPlaces {
  public:
    // A picture box or frame was built: the controls standing in it go `inside`.
    void addContainer(const std::string& name, Place inside) {
        containers_.insert_or_assign(name, std::move(inside));
    }
    // Where `control` goes: the inside of its container, or `clientArea` for none. Throws
    // std::invalid_argument for a container that has not been built before it.
    Place of(const ControlLayout& control, Place clientArea) const {
        if (control.container.empty()) return clientArea;
        const auto found = containers_.find(control.container);
        if (found == containers_.end())
            throw std::invalid_argument(control.name + " stands in no container named " +
                                        control.container);
        return found->second;
    }

  private:
    std::map<std::string, Place, std::less<>> containers_;
};

// What every backend's form keeps alike: its controls by layout name, its Load, Resize, KeyDown
// and QueryUnload handlers, Load raised once, and unloading. A backend builds its controls (it
// owns them) and registers each here with addControl; it raises the handlers it stores here
// through raise() and implements the rest of Form: showing, the window's state and its native
// handle.
class FormBase : public Form {
  public:
    Label& label(std::string_view name) final { return find<Label>(name); }
    CommandButton& commandButton(std::string_view name) final { return find<CommandButton>(name); }
    Image& image(std::string_view name) final { return find<Image>(name); }
    PictureBox& pictureBox(std::string_view name) final { return find<PictureBox>(name); }
    Shape& shape(std::string_view name) final { return find<Shape>(name); }
    CheckBox& checkBox(std::string_view name) final { return find<CheckBox>(name); }
    DirListBox& dirListBox(std::string_view name) final { return find<DirListBox>(name); }
    FileListBox& fileListBox(std::string_view name) final { return find<FileListBox>(name); }

    void onLoad(Handler handler) final { load_ = std::move(handler); }
    void onResize(Handler handler) final { resize_ = std::move(handler); }
    void onKeyDown(KeyHandler handler) final { keyDown_ = std::move(handler); }
    void onQueryUnload(Handler handler) final { queryUnload_ = std::move(handler); }

    void load() final {
        if (loaded_) return;
        loaded_ = true;
        raise(load_);
    }
    // Hides the window for good: see Form::unload.
    void unload() final {
        unloaded_ = true;
        hide();
    }
    bool unloaded() const final { return unloaded_; }

  protected:
    explicit FormBase(ToolkitBase& toolkit) : toolkit_(toolkit) {}

    // Makes a control reachable by its layout name, as the interface it implements. The control
    // stays the backend's; a frame, which has no interface of its own, only takes its name.
    // Throws std::invalid_argument for a name that is taken.
    template <typename Control>
    void addControl(const std::string& name, Control* control) {
        if (!controls_.emplace(name, refOf(control)).second)
            throw std::invalid_argument("two controls named " + name);
    }
    // Runs a handler the form stores, if one is set, as the toolkit runs handlers. A copy runs:
    // the handler may replace itself.
    void raise(const Handler& handler) {
        if (const Handler copy = handler) toolkit_.runHandler(copy);
    }

    // The user asked to close the window (its close box, Alt+F4): raises QueryUnload and
    // returns true when the form has a handler, which decides what closes; false when it has
    // none, and the backend hides the window.
    bool raiseQueryUnload() {
        if (!queryUnload_) return false;
        raise(queryUnload_);
        return true;
    }

    Handler resize_;
    KeyHandler keyDown_;

  private:
    using ControlRef = std::variant<std::nullptr_t, Label*, CommandButton*, Image*, PictureBox*,
                                    Shape*, CheckBox*, DirListBox*, FileListBox*>;

    template <typename Control>
    static ControlRef refOf(Control* control) {
        if constexpr (std::is_base_of_v<Label, Control>)
            return static_cast<Label*>(control);
        else if constexpr (std::is_base_of_v<CommandButton, Control>)
            return static_cast<CommandButton*>(control);
        else if constexpr (std::is_base_of_v<Image, Control>)
            return static_cast<Image*>(control);
        else if constexpr (std::is_base_of_v<PictureBox, Control>)
            return static_cast<PictureBox*>(control);
        else if constexpr (std::is_base_of_v<Shape, Control>)
            return static_cast<Shape*>(control);
        else if constexpr (std::is_base_of_v<CheckBox, Control>)
            return static_cast<CheckBox*>(control);
        else if constexpr (std::is_base_of_v<DirListBox, Control>)
            return static_cast<DirListBox*>(control);
        else if constexpr (std::is_base_of_v<FileListBox, Control>)
            return static_cast<FileListBox*>(control);
        else
            return nullptr;
    }

    template <typename T>
    T& find(std::string_view name) {
        const auto it = controls_.find(name);
        if (it != controls_.end()) {
            if (T* const* control = std::get_if<T*>(&it->second)) return **control;
        }
        throw std::out_of_range("the form has no such control: " + std::string(name));
    }

    ToolkitBase& toolkit_;
    std::map<std::string, ControlRef, std::less<>> controls_;
    Handler load_;
    Handler queryUnload_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

template <typename Owned, typename Make>
Owned makeControl(ControlKind kind, Make&& make) {
    constexpr std::size_t kinds = static_cast<std::size_t>(ControlKind::FileListBox) + 1;
    static_assert(std::variant_size_v<Owned> == kinds, "one class for each kind of control");
    Owned made;
    const auto makeKind = [&]<std::size_t... Index>(std::index_sequence<Index...>) {
        ((static_cast<std::size_t>(kind) == Index
              ? (made = make(std::type_identity<
                             typename std::variant_alternative_t<Index, Owned>::element_type>()),
                 true)
              : false) ||
         ...);
    };
    makeKind(std::make_index_sequence<kinds>());
    return made;
}

}  // namespace toolkit
