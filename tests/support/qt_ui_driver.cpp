// The Qt backend of the window tests: QTest's synthesized input, delivered as Qt delivers real
// input to the widgets.
#include <sys/mount.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "platform/posix/mount_watch.h"
#include "tests/support/hooked_toolkit.h"
#include "tests/support/ui_driver.h"
#include "toolkit/qt/qt_controls.h"
#include "toolkit/qt/qt_input.h"
#include "toolkit/qt/qt_toolkit.h"

namespace fake {

namespace {

QWidget& windowOf(toolkit::Form& form) {
    QWidget* window = toolkit::qt::nativeWindow(realForm(form));
    if (window == nullptr) throw std::invalid_argument("not a form of the Qt toolkit");
    return *window;
}

QWidget& controlOf(toolkit::Form& form, std::string_view name) {
    auto* widget = windowOf(form).findChild<QWidget*>(QString::fromUtf8(name.data(), name.size()));
    if (widget == nullptr) throw std::out_of_range("no control named " + std::string(name));
    return *widget;
}

// The Qt key of a Windows virtual-key code.
Qt::Key qtKeyOf(std::int16_t keyCode) {
    static const std::vector<int> candidates = [] {
        std::vector<int> keys;
        for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) keys.push_back(key);
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key) keys.push_back(key);
        for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key) keys.push_back(key);
        for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Backspace,
                        Qt::Key_Tab, Qt::Key_Return, Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt,
                        Qt::Key_Escape, Qt::Key_Space, Qt::Key_PageUp, Qt::Key_PageDown,
                        Qt::Key_End, Qt::Key_Home, Qt::Key_Insert, Qt::Key_Delete})
            keys.push_back(key);
        return keys;
    }();
    for (int key : candidates) {
        if (toolkit::qt::virtualKeyCode(key) == keyCode) return static_cast<Qt::Key>(key);
    }
    throw std::invalid_argument("no Qt key for virtual-key code " + std::to_string(keyCode));
}

Qt::KeyboardModifiers modifiersOf(std::int16_t shift) {
    Qt::KeyboardModifiers modifiers;
    if (shift & toolkit::shift_state::shift) modifiers |= Qt::ShiftModifier;
    if (shift & toolkit::shift_state::ctrl) modifiers |= Qt::ControlModifier;
    if (shift & toolkit::shift_state::alt) modifiers |= Qt::AltModifier;
    return modifiers;
}

QAbstractItemView& listOf(toolkit::Form& form, std::string_view name) {
    auto* view = qobject_cast<QAbstractItemView*>(&controlOf(form, name));
    if (view == nullptr) throw std::invalid_argument(std::string(name) + " is not a list");
    return *view;
}

QPoint rowCentre(QAbstractItemView& view, std::int32_t row) {
    const QModelIndex index = view.model()->index(row, 0);
    if (!index.isValid()) throw std::out_of_range("no row " + std::to_string(row));
    view.scrollTo(index);
    return view.visualRect(index).center();
}

class QtUiDriver final : public UiDriver {
  public:
    void activate(toolkit::Form& form) override {
        QWidget& window = windowOf(form);
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }

    void click(toolkit::Form& form, std::string_view control) override {
        QWidget& widget = controlOf(form, control);
        // A check box takes clicks on its box and caption; its middle may be past the caption.
        const bool checkBox = qobject_cast<QCheckBox*>(&widget) != nullptr;
        const QPoint at = checkBox ? QPoint(6, widget.height() / 2) : widget.rect().center();
        QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
    }

    void pressKey(toolkit::Form& form, std::int16_t keyCode, std::int16_t shift) override {
        QTest::keyClick(keyTarget(form), qtKeyOf(keyCode), modifiersOf(shift));
    }

    void postKey(toolkit::Form& form, std::int16_t keyCode) override {
        const Qt::Key key = qtKeyOf(keyCode);
        QWidget* target = keyTarget(form);
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, {}));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, {}));
    }

    void clickRow(toolkit::Form& form, std::string_view list, std::int32_t row) override {
        QAbstractItemView& view = listOf(form, list);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCentre(view, row));
    }

    void doubleClickRow(toolkit::Form& form, std::string_view list, std::int32_t row) override {
        QAbstractItemView& view = listOf(form, list);
        const QPoint at = rowCentre(view, row);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    }

    bool announceVolumeChange(toolkit::Form&) override {
        char folder[] = "/tmp/volscope-volume-XXXXXX";
        if (::mkdtemp(folder) == nullptr) return false;
        const bool mounted = ::mount("volscope-test", folder, "tmpfs", 0, "size=64k") == 0;
        if (mounted) ::umount2(folder, MNT_DETACH);
        ::rmdir(folder);
        return mounted;
    }

    void requestClose(toolkit::Form& form) override {
        // What the platform plugin sends the window on the window manager's request.
        QWidget& window = windowOf(form);
        if (QWindow* handle = window.windowHandle()) {
            QCloseEvent close;
            QCoreApplication::sendEvent(handle, &close);
        } else {
            window.close();
        }
    }

    void minimize(toolkit::Form& form) override { windowOf(form).showMinimized(); }
    void restore(toolkit::Form& form) override { windowOf(form).showNormal(); }

    std::string focusedControl(toolkit::Form& form) override {
        QWidget& window = windowOf(form);
        QWidget* focused = window.focusWidget();
        if (focused == nullptr || focused == &window) return {};
        // A list's viewport or a control's inner widget stands for its control.
        while (focused != nullptr && focused->objectName().isEmpty())
            focused = focused->parentWidget();
        return focused ? focused->objectName().toStdString() : std::string();
    }

    bool visible(toolkit::Form& form, std::string_view control) override {
        return controlOf(form, control).isVisible();
    }

    bool hasDrawing(toolkit::Form& form, std::string_view pictureBox) override {
        auto& box = dynamic_cast<toolkit::qt::QtPictureBox&>(realForm(form).pictureBox(pictureBox));
        return !box.drawing().isNull();
    }

    std::string text(toolkit::Form& form, std::string_view control) override {
        QWidget& widget = controlOf(form, control);
        if (auto* label = qobject_cast<QLabel*>(&widget)) return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(&widget))
            return button->text().toStdString();
        if (auto* frame = qobject_cast<QGroupBox*>(&widget)) return frame->title().toStdString();
        throw std::invalid_argument(std::string(control) + " shows no text");
    }

    std::vector<std::string> rows(toolkit::Form& form, std::string_view list) override {
        QAbstractItemView& view = listOf(form, list);
        std::vector<std::string> lines;
        for (int row = 0; row < view.model()->rowCount(); ++row)
            lines.push_back(view.model()->index(row, 0).data().toString().toStdString());
        return lines;
    }

    // From the control's container: a picture box's inside is an unnamed widget of its own.
    PixelRect geometry(toolkit::Form& form, std::string_view control) override {
        QWidget& widget = controlOf(form, control);
        QRect place = widget.geometry();
        for (QWidget* up = widget.parentWidget();
             up != nullptr && !up->isWindow() && up->objectName().isEmpty();
             up = up->parentWidget())
            place.translate(up->pos());
        return devicePixels(place);
    }

    PixelRect clientArea(toolkit::Form& form) override {
        return devicePixels(windowOf(form).rect());
    }

    std::vector<std::uint32_t> clientPixels(toolkit::Form& form) override {
        const QImage image = windowOf(form).grab().toImage().convertToFormat(QImage::Format_RGB32);
        std::vector<std::uint32_t> pixels;
        pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) pixels.push_back(line[x] & 0xFFFFFFu);
        }
        return pixels;
    }

    bool minimizable(toolkit::Form& form) override {
        return windowOf(form).windowFlags().testFlag(Qt::WindowMinimizeButtonHint);
    }

    bool maximizable(toolkit::Form& form) override {
        return windowOf(form).windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
    }

    bool resizable(toolkit::Form& form) override {
        const QWidget& window = windowOf(form);
        return window.minimumSize() != window.maximumSize();
    }

    // Qt scales its device-independent pixels by the screen's factor; at factor 1 they are the
    // pixels of a 96 DPI screen.
    int dpi() override { return static_cast<int>(std::lround(96 * qApp->devicePixelRatio())); }

  private:
    static PixelRect devicePixels(const QRect& rect) {
        const double ratio = qApp->devicePixelRatio();
        const auto scaled = [ratio](int pixels) {
            return static_cast<int>(std::lround(pixels * ratio));
        };
        return {scaled(rect.x()), scaled(rect.y()), scaled(rect.width()), scaled(rect.height())};
    }

    static QWidget* keyTarget(toolkit::Form& form) {
        QWidget& window = windowOf(form);
        QWidget* focused = window.focusWidget();
        return focused != nullptr ? focused : &window;
    }
};

}  // namespace

TestBackend makeTestBackend(toolkit::MessageBoxes& boxes, platform::Platform& os) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The real mount table's, which announceVolumeChange changes; it outlives every toolkit.
    static platform::posix::MountWatch volumeChanges;
    return {std::make_unique<toolkit::qt::QtToolkit>(boxes, os, volumeChanges, "Volscope"),
            std::make_unique<QtUiDriver>()};
}

const char* testBackendName() {
    return "Qt";
}

}  // namespace fake
