#include "toolkit/qt/qt_wayland_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace toolkit::qt {

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The caption on the active or inactive title colours of a classic Windows title bar, the
// window's icon on its left and its buttons on its right.
class WaylandWindow::TitleBar final : public QWidget {
  public:
    TitleBar(QWidget& window, int height, bool minimizeButton) : QWidget(&window), window_(window) {
        setGeometry(0, 0, window.width(), height);
        setFocusPolicy(Qt::NoFocus);
        const int side = height - 6;
        int right = width() - 3 - side;
        addButton(QStyle::SP_TitleBarCloseButton, "Close window", right, side,
                  [&window] { window.close(); });
        if (minimizeButton) {
            right -= side + 2;
            addButton(QStyle::SP_TitleBarMinButton, "Minimize window", right, side,
                      [&window] { window.showMinimized(); });
        }
        captionRight_ = right - 4;
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool active = window_.isActiveWindow();
        painter.fillRect(rect(), active ? QColor(0, 0, 128) : QColor(128, 128, 128));
        const int iconSide = 16;
        const int top = (height() - iconSide) / 2;
        window_.windowIcon().paint(&painter, QRect(4, top, iconSide, iconSide));
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(active ? Qt::white : QColor(192, 192, 192));
        const QRect text(4 + iconSide + 4, 0, captionRight_ - (4 + iconSide + 4), height());
        painter.drawText(
            text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
            fontMetrics().elidedText(window_.windowTitle(), Qt::ElideRight, text.width()));
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::ActivationChange) update();
        QWidget::changeEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && window_.windowHandle() != nullptr)
            window_.windowHandle()->startSystemMove();
    }

  private:
    template <typename Action>
    void addButton(QStyle::StandardPixmap pixmap, const char* name, int left, int side,
                   Action action) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(pixmap, nullptr, this));
        button->setAccessibleName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 3, side, side);
        QObject::connect(button, &QToolButton::clicked, button, action);
    }

    QWidget& window_;
    int captionRight_ = 0;
};

WaylandWindow::WaylandWindow(QWidget& window, QSize clientSize, bool minimizeButton)
    : window_(window), titleBarHeight_(std::max(20, window.fontMetrics().height() + 8)) {
    const QSize size(clientSize.width(), clientSize.height() + titleBarHeight_);
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setMinimumSize(size);
    window.resize(size);
    new TitleBar(window, titleBarHeight_, minimizeButton);
    window.installEventFilter(this);
}

bool WaylandWindow::eventFilter(QObject* watched, QEvent* event) {
    const Qt::WindowStates configured = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (watched == &window_ && event->type() == QEvent::WindowStateChange &&
        (window_.windowState() & configured) && !restoring_) {
        restoring_ = true;
        // Only the state is asked back: Qt itself comes back to the size the window had once the
        // compositor has let it go, and a frame of another size before that would be a protocol
        // error.
        QTimer::singleShot(0, this, [this, configured] {
            restoring_ = false;
            if (window_.windowState() & configured)
                window_.setWindowState(window_.windowState() & ~configured);
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace toolkit::qt
