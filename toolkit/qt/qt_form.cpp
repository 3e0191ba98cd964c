#include "toolkit/qt/qt_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <type_traits>

#include "toolkit/qt/qt_accessibility.h"
#include "toolkit/qt/qt_input.h"
#include "toolkit/qt/qt_picture.h"
#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/qt/twips.h"

namespace toolkit::qt {

namespace {

// How long a first show waits for the window manager to frame the window.
constexpr int frameWaitMilliseconds = 1000;

// On X11 the window manager frames a window after show() has returned, and until it has, Qt
// knows no border: the outer width would be the client's, and a drive step started at once would
// slide from the wrong edge. The window is framed by the time it is first exposed, so a first
// show waits for that, a bounded time, letting no user input through meanwhile. Elsewhere
// (offscreen, or a system that frames windows at once) the border is known when show() returns.
// The wait polls rather than running an event loop of its own: such a loop returns at once once
// the application has been asked to quit.
void waitForTheFrame(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (QGuiApplication::platformName() != "xcb" || handle == nullptr) return;
    const QDeadlineTimer deadline(frameWaitMilliseconds);
    QTimer wakeUp;
    wakeUp.start(10);
    while (!handle->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

}  // namespace

// The top-level widget: raises Resize on first show and on minimize/restore, and previews the
// keys of every widget inside it when the layout asks for key preview.
class QtForm::Window final : public QWidget {
  public:
    Window(QtForm& form, bool keyPreview) : form_(form), keyPreview_(keyPreview) {}

    void watchKeysOf(QWidget& widget) {
        if (keyPreview_) widget.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (form_.previewKey(key->key(), key->modifiers())) return true;
        }
        return QWidget::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        // Keys a control ignored come here too; the filter has shown those to the handler
        // already, so only keys sent to the window itself are handled here.
        const QWidget* focused = focusWidget();
        if ((focused == nullptr || focused == this) &&
            form_.previewKey(event->key(), event->modifiers()))
            return;
        QWidget::keyPressEvent(event);
    }

    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        if (!event->spontaneous()) form_.raise(form_.resize_);
    }

    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && !form_.wayland_)
            form_.raise(form_.resize_);
    }

    // The window manager's close request (WM_DELETE_WINDOW), or close().
    void closeEvent(QCloseEvent* event) override {
        if (form_.raiseQueryUnload())
            event->ignore();
        else
            QWidget::closeEvent(event);
    }

  private:
    QtForm& form_;
    bool keyPreview_;
};

QtForm::QtForm(QtToolkit& toolkit, const FormLayout& layout)
    : FormBase(toolkit),
      toolkit_(toolkit),
      window_(std::make_unique<Window>(*this, layout.keyPreview)),
      centred_(layout.centred) {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (layout.minButton) flags |= Qt::WindowMinimizeButtonHint;
    if (layout.maxButton) flags |= Qt::WindowMaximizeButtonHint;
    window_->setWindowFlags(flags);
    window_->setObjectName(QString::fromStdString(layout.name));
    window_->setWindowTitle(QString::fromStdString(layout.caption));
    window_->setFont(QtToolkit::dialogFont());
    if (!layout.icon.empty()) window_->setWindowIcon(QIcon(resourcePath(layout.icon)));
    const QSize client(toPixels(layout.clientWidth), toPixels(layout.clientHeight));
    if (layout.fixedBorder && onWayland()) {
        wayland_ = std::make_unique<WaylandWindow>(*window_, client, layout.minButton);
        clientOrigin_ = QPoint(0, wayland_->titleBarHeight());
    } else if (layout.fixedBorder) {
        window_->setFixedSize(client);
    } else {
        window_->resize(client);
    }
    presentAsWindow(*window_);
    window_->setFocusPolicy(Qt::ClickFocus);

    for (const ControlLayout& control : layout.controls) build(control);
    orderTabs(layout);
}

QtForm::~QtForm() = default;

void QtForm::onDeviceChange(Handler handler) {
    deviceChange_ = std::move(handler);
    QSocketNotifier* changes = toolkit_.volumeChanges();
    if (watchingVolumes_ || !deviceChange_ || changes == nullptr) return;
    watchingVolumes_ = true;
    // The window is the connection's context: the connection goes with it.
    QObject::connect(changes, &QSocketNotifier::activated, window_.get(), [this] {
        if (deviceChange_ && !unloaded()) toolkit_.runHandler(deviceChange_);
    });
}

void QtForm::build(const ControlLayout& control) {
    const Container where = places_.of(control, {window_.get(), clientOrigin_});
    QWidget& parent = *where.widget;
    Control built = makeControl<Control>(control.kind, [&](auto type) {
        using Made = typename decltype(type)::type;
        std::unique_ptr<Made> made;
        if constexpr (std::is_constructible_v<Made, QtToolkit&, QWidget&, const ControlLayout&,
                                              QPoint>)
            made = std::make_unique<Made>(toolkit_, parent, control, where.origin);
        else
            made = std::make_unique<Made>(parent, control, where.origin);
        // A container's controls stand in its inside, which clips them.
        if constexpr (std::is_same_v<Made, QtPictureBox> || std::is_same_v<Made, QtFrame>)
            places_.addContainer(control.name, {&made->container(), QPoint(0, 0)});
        return made;
    });
    std::visit([&](const auto& owned) { addControl(control.name, owned.get()); }, built);
    controls_.emplace(control.name, std::move(built));
    if (auto* widget = window_->findChild<QWidget*>(QString::fromStdString(control.name))) {
        window_->watchKeysOf(*widget);
        if (!control.accessibleName.empty())
            widget->setAccessibleName(QString::fromStdString(control.accessibleName));
    }
}

void QtForm::orderTabs(const FormLayout& layout) {
    const std::vector<const ControlLayout*> order = tabOrder(layout);
    QWidget* previous = nullptr;
    for (const ControlLayout* control : order) {
        if (!takesFocus(control->kind)) continue;
        auto* widget = window_->findChild<QWidget*>(QString::fromStdString(control->name));
        if (widget == nullptr) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    if (const ControlLayout* first = firstTabStop(order))
        firstTabStop_ = window_->findChild<QWidget*>(QString::fromStdString(first->name));
}

bool QtForm::previewKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (!keyDown_) return false;
    std::int16_t code = virtualKeyCode(qtKey);
    if (code == 0) return false;
    toolkit_.runHandler([&] { keyDown_(code, shiftState(modifiers)); });
    return code == 0;
}

void QtForm::show() {
    if (unloaded()) return;
    load();
    if (toolkit_.ended()) return;
    if (!everShown_ && centred_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = window_->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window_->move(frame.topLeft());
        }
    }
    const bool firstShow = !everShown_;
    everShown_ = true;
    window_->show();
    if (firstShow) waitForTheFrame(*window_);
    if (firstShow && firstTabStop_ != nullptr) firstTabStop_->setFocus(Qt::TabFocusReason);
    window_->raise();
    window_->activateWindow();
}

QWidget& QtForm::window() {
    return *window_;
}

void QtForm::hide() {
    window_->hide();
}

bool QtForm::visible() const {
    return window_->isVisible();
}

void QtForm::setFocus() {
    window_->setFocus(Qt::OtherFocusReason);
}

std::string QtForm::caption() const {
    return window_->windowTitle().toStdString();
}

float QtForm::width() const {
    return toTwips(window_->frameGeometry().width());
}

int QtForm::windowState() const {
    const Qt::WindowStates state = window_->windowState();
    if (state & Qt::WindowMinimized) return window_state::minimized;
    if (state & Qt::WindowMaximized) return window_state::maximized;
    return window_state::normal;
}

std::uintptr_t QtForm::hWnd() const {
    return static_cast<std::uintptr_t>(window_->winId());
}

QWidget* nativeWindow(Form& form) {
    auto* qtForm = dynamic_cast<QtForm*>(&form);
    return qtForm ? &qtForm->window() : nullptr;
}

bool saveScreenshot(Form& form, const std::string& path) {
    QWidget* window = nativeWindow(form);
    return window != nullptr && window->grab().save(QString::fromStdString(path), "PNG");
}

}  // namespace toolkit::qt
