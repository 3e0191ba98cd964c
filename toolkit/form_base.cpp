#include "toolkit/form_base.h"

#include <algorithm>

namespace toolkit {

bool takesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::CommandButton:
        case ControlKind::PictureBox:
        case ControlKind::CheckBox:
        case ControlKind::DirListBox:
        case ControlKind::FileListBox:
            return true;
        default:
            return false;
    }
}

std::vector<const ControlLayout*> tabOrder(const FormLayout& layout) {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& control : layout.controls) order.push_back(&control);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

const ControlLayout* firstTabStop(const std::vector<const ControlLayout*>& order) {
    const auto first = std::find_if(order.begin(), order.end(), [](const ControlLayout* control) {
        return takesFocus(control->kind) && control->tabStop && control->visible;
    });
    return first == order.end() ? nullptr : *first;
}

}  // namespace toolkit
