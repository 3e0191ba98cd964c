#include "toolkit/qt/qt_form.h"

#include <QApplication>
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
#include <algorithm>
#include <stdexcept>

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
        if (event->type() == QEvent::WindowStateChange) form_.raise(form_.resize_);
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
    if (layout.fixedBorder)
        window_->setFixedSize(client);
    else
        window_->resize(client);
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
    QWidget* parent = window_.get();
    QPoint origin(0, 0);
    if (!control.container.empty()) {
        const auto container = containers_.find(control.container);
        if (container == containers_.end())
            throw std::invalid_argument(control.name + " stands in no container named " +
                                        control.container);
        parent = container->second.widget;
        origin = container->second.origin;
    }
    Control built;
    switch (control.kind) {
        case ControlKind::Label:
            built = std::make_unique<QtLabel>(*parent, control, origin);
            break;
        case ControlKind::CommandButton:
            built = std::make_unique<QtCommandButton>(toolkit_, *parent, control, origin);
            break;
        case ControlKind::Image:
            built = std::make_unique<QtImage>(toolkit_, *parent, control, origin);
            break;
        case ControlKind::PictureBox: {
            auto box = std::make_unique<QtPictureBox>(*parent, control, origin);
            containers_[control.name] = {&box->container(), box->interiorOrigin()};
            built = std::move(box);
            break;
        }
        case ControlKind::Frame: {
            auto frame = std::make_unique<QtFrame>(*parent, control, origin);
            containers_[control.name] = {&frame->container(), QPoint(0, 0)};
            built = std::move(frame);
            break;
        }
        case ControlKind::CheckBox:
            built = std::make_unique<QtCheckBox>(toolkit_, *parent, control, origin);
            break;
        case ControlKind::DirListBox:
            built = std::make_unique<QtDirListBox>(toolkit_, *parent, control, origin);
            break;
        case ControlKind::FileListBox:
            built = std::make_unique<QtFileListBox>(toolkit_, *parent, control, origin);
            break;
        case ControlKind::Shape:
            built = std::make_unique<QtShape>(*parent, control, origin);
            break;
    }
    std::visit([&](const auto& owned) { addControl(control.name, owned.get()); }, built);
    controls_.emplace(control.name, std::move(built));
    if (auto* widget = window_->findChild<QWidget*>(QString::fromStdString(control.name)))
        window_->watchKeysOf(*widget);
}

void QtForm::orderTabs(const FormLayout& layout) {
    std::vector<const ControlLayout*> focusable;
    for (const ControlLayout& control : layout.controls) {
        switch (control.kind) {
            case ControlKind::CommandButton:
            case ControlKind::PictureBox:
            case ControlKind::CheckBox:
            case ControlKind::DirListBox:
            case ControlKind::FileListBox:
                focusable.push_back(&control);
                break;
            default:
                break;
        }
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const ControlLayout* control : focusable) {
        auto* widget = window_->findChild<QWidget*>(QString::fromStdString(control->name));
        if (widget == nullptr) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        if (firstTabStop_ == nullptr && control->tabStop) firstTabStop_ = widget;
        previous = widget;
    }
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
