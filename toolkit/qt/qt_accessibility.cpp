#include "toolkit/qt/qt_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>
#include <optional>
#include <unordered_map>

namespace toolkit::qt {

namespace {

enum class Kind { Window, Image, PictureBox };

struct Presentation {
    Kind kind = Kind::Window;
    std::function<bool()> pressable;
    std::function<void()> press;
    std::optional<double> meter;
};

std::unordered_map<const QObject*, Presentation>& presentations() {
    static std::unordered_map<const QObject*, Presentation> table;
    return table;
}

const Presentation* presentationOf(const QObject* object) {
    const auto found = presentations().find(object);
    return found == presentations().end() ? nullptr : &found->second;
}

void remember(QWidget& widget, Presentation presentation) {
    installAccessibility();
    presentations()[&widget] = std::move(presentation);
    QObject::connect(&widget, &QObject::destroyed,
                     [](QObject* gone) { presentations().erase(gone); });
}

class ImageInterface final : public QAccessibleWidget {
  public:
    explicit ImageInterface(QWidget* image) : QAccessibleWidget(image, QAccessible::Graphic) {}

    QAccessible::Role role() const override {
        return pressable() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override {
        return pressable() ? QStringList{pressAction()} : QStringList{};
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& action) override {
        const Presentation* presentation = presentationOf(object());
        if (action != pressAction() || !pressable()) return;
        QTimer::singleShot(0, widget(), presentation->press);
    }

  private:
    bool pressable() const {
        const Presentation* presentation = presentationOf(object());
        return presentation != nullptr && presentation->pressable && presentation->pressable();
    }
};

class PictureBoxInterface final : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit PictureBoxInterface(QWidget* box) : QAccessibleWidget(box, QAccessible::Graphic) {}

    QAccessible::Role role() const override {
        return meter() ? QAccessible::ProgressBar : QAccessible::Graphic;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface && meter())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return meter().value_or(0.0); }
    void setCurrentValue(const QVariant&) override {}  // the program's to set, not the user's
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

  private:
    std::optional<double> meter() const {
        const Presentation* presentation = presentationOf(object());
        return presentation != nullptr ? presentation->meter : std::nullopt;
    }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
    const Presentation* presentation = presentationOf(object);
    if (presentation == nullptr || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    switch (presentation->kind) {
        case Kind::Window:
            return new QAccessibleWidget(widget, QAccessible::Window);
        case Kind::Image:
            return new ImageInterface(widget);
        case Kind::PictureBox:
            return new PictureBoxInterface(widget);
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    (void)installed;
}

void presentAsWindow(QWidget& window) {
    remember(window, {.kind = Kind::Window});
}

void presentAsImage(QWidget& image, std::function<bool()> pressable, std::function<void()> press) {
    remember(image,
             {.kind = Kind::Image, .pressable = std::move(pressable), .press = std::move(press)});
}

void presentAsPictureBox(QWidget& box) {
    remember(box, {.kind = Kind::PictureBox});
}

void setMeterValue(QWidget& box, double percent) {
    const auto found = presentations().find(&box);
    if (found == presentations().end()) return;
    found->second.meter = percent;
    QAccessibleValueChangeEvent changed(&box, percent);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace toolkit::qt
