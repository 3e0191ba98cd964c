#include "toolkit/qt/qt_controls.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>

#include "toolkit/qt/qt_accessibility.h"
#include "toolkit/qt/qt_input.h"
#include "toolkit/qt/qt_picture.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/qt/twips.h"
#include "toolkit/visible_text.h"

namespace toolkit::qt {

namespace {

Qt::Alignment toQt(Alignment alignment) {
    switch (alignment) {
        case Alignment::Center:
            return Qt::AlignHCenter | Qt::AlignTop;
        case Alignment::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

void applyFont(QWidget& widget, const ControlLayout& layout) {
    if (!layout.font) return;
    QFont font(QString::fromStdString(layout.font->name));
    font.setPointSizeF(layout.font->points);
    font.setWeight(QFont::Normal);
    widget.setFont(font);
}

void applyBackColor(QWidget& widget, const ControlLayout& layout) {
    if (!layout.backColor) return;
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, QColor(layout.backColor->red, layout.backColor->green,
                                              layout.backColor->blue));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void applyCommon(QWidget& widget, const ControlLayout& layout, QPoint origin) {
    widget.setObjectName(QString::fromStdString(layout.name));
    place(widget, layout, origin);
    applyFont(widget, layout);
    applyBackColor(widget, layout);
    widget.setVisible(layout.visible);
}

}  // namespace

void place(QWidget& widget, const ControlLayout& layout, QPoint origin) {
    widget.setGeometry(origin.x() + toPixels(layout.left), origin.y() + toPixels(layout.top),
                       toPixels(layout.width), toPixels(layout.height));
}

QtLabel::QtLabel(QWidget& parent, const ControlLayout& layout, QPoint origin)
    : label_(new QLabel(&parent)) {
    applyCommon(*label_, layout, origin);
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setAlignment(toQt(layout.alignment));
    label_->setFocusPolicy(Qt::NoFocus);
    setCaption(layout.caption);
}

std::string QtLabel::caption() const {
    return caption_;
}

// Captions carry names and labels of the system's, which may hold line breaks and characters
// drawn as nothing.
void QtLabel::setCaption(std::string_view caption) {
    caption_ = std::string(caption);
    label_->setText(toQString(visibleText(caption)));
}

// A push button that raises MouseUp before its click, as the forms runtime orders them.
class QtCommandButton::Button final : public QPushButton {
  public:
    using QPushButton::QPushButton;
    MouseHandler mouseUp;
    QtToolkit* toolkit = nullptr;
    bool clickedInRelease = false;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        const bool completesClick = event->button() == Qt::LeftButton && isDown() && hitButton(at);
        if (mouseUp) {
            const int button = mouseButton(event->button());
            const std::int16_t shift = shiftState(event->modifiers());
            toolkit->runHandler([&] { mouseUp(button, shift, toTwips(at.x()), toTwips(at.y())); });
        }
        clickedInRelease = false;
        QPushButton::mouseReleaseEvent(event);
        // A MouseUp handler that takes the focus away releases the button before Qt sees the
        // click; the click still happened.
        if (completesClick && !clickedInRelease) emit clicked(false);
    }
};

QtCommandButton::QtCommandButton(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                                 QPoint origin)
    : toolkit_(toolkit), button_(new Button(&parent)) {
    button_->toolkit = &toolkit;
    applyCommon(*button_, layout, origin);
    button_->setText(toQString(layout.caption));
    button_->setAutoDefault(false);
    button_->setDefault(false);
    button_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    QObject::connect(button_, &QPushButton::clicked, button_, [this] {
        button_->clickedInRelease = true;
        if (click_) toolkit_.runHandler(click_);
    });
}

std::string QtCommandButton::caption() const {
    return button_->text().toStdString();
}

void QtCommandButton::onClick(Handler handler) {
    click_ = std::move(handler);
}

void QtCommandButton::onMouseUp(MouseHandler handler) {
    button_->mouseUp = std::move(handler);
}

// Draws the picture's image for its screen at the picture's size, and reports a click (press and
// release over it).
class QtImage::View final : public QWidget {
  public:
    using QWidget::QWidget;
    std::function<void()> clicked;
    const QtPictureData* picture = nullptr;

  protected:
    void paintEvent(QPaintEvent*) override {
        if (picture == nullptr) return;
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture->pixmap(devicePixelRatioF()));
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            clicked)
            clicked();
    }
};

QtImage::QtImage(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin)
    : ImageBase(layout.left), toolkit_(toolkit), view_(new View(&parent)), origin_(origin) {
    applyCommon(*view_, layout, origin);
    view_->setFocusPolicy(Qt::NoFocus);
    view_->clicked = [this] {
        if (click_) toolkit_.runHandler(click_);
    };
    presentAsImage(
        *view_, [this] { return static_cast<bool>(click_); }, view_->clicked);
    if (!layout.picture.empty())
        setPicture(
            loadPicture(layout.picture, QSize(toPixels(layout.width), toPixels(layout.height))));
}

void QtImage::setPicture(const Picture& picture) {
    picture_ = picture;
    view_->picture = dynamic_cast<const QtPictureData*>(picture.data());
    if (view_->picture != nullptr) view_->resize(view_->picture->size());
    view_->update();
}

void QtImage::setAccessibleName(std::string_view name) {
    view_->setAccessibleName(toQString(name));
}

void QtImage::setLeft(float left) {
    left_ = left;
    view_->move(origin_.x() + toPixels(left), view_->y());
}

float QtImage::width() const {
    return toTwips(view_->width());
}

float QtImage::height() const {
    return toTwips(view_->height());
}

// The frame, and the mark of the focus that it shows above everything in it.
class QtPictureBox::Box final : public QFrame {
  public:
    using QFrame::QFrame;
    QWidget* mark = nullptr;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QFrame::focusInEvent(event);
        mark->update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QFrame::focusOutEvent(event);
        mark->update();
    }
};

namespace {

// A dotted rectangle just inside the box's border while the box has the focus, in the colour
// opposite to the box's background so that it shows on any.
class FocusMark final : public QWidget {
  public:
    FocusMark(QWidget& box, QColor background) : QWidget(&box), box_(box), background_(background) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!box_.hasFocus()) return;
        QPainter painter(this);
        painter.setPen(QPen(
            QColor(background_.red() ^ 0xFF, background_.green() ^ 0xFF, background_.blue() ^ 0xFF),
            1, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }

  private:
    QWidget& box_;
    QColor background_;
};

}  // namespace

QtPictureBox::QtPictureBox(QWidget& parent, const ControlLayout& layout, QPoint origin)
    : frame_(new Box(&parent)) {
    applyCommon(*frame_, layout, origin);
    // The standard sunken 3-D border of a picture box: two pixels on every side.
    frame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame_->setLineWidth(2);
    frame_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    presentAsPictureBox(*frame_);
    inside_ = new QWidget(frame_);
    inside_->setGeometry(frame_->contentsRect());
    canvas_ = new QLabel(inside_);
    canvas_->setGeometry(inside_->rect());
    canvas_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvas_->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame_->mark = new FocusMark(*frame_, frame_->palette().color(QPalette::Window));
    frame_->mark->setGeometry(frame_->contentsRect());
}

float QtPictureBox::width() const {
    return toTwips(frame_->width());
}

void QtPictureBox::setMeterValue(double percent) {
    toolkit::qt::setMeterValue(*frame_, percent);
}

void QtPictureBox::cls() {
    drawing_ = QPixmap();
    canvas_->clear();
}

bool QtPictureBox::hasThemeIcon(std::string_view iconName) const {
    return QIcon::hasThemeIcon(toQString(iconName));
}

void QtPictureBox::drawThemeIcon(std::string_view iconName, int x, int y) {
    // The large shell icon size: 32 by 32 pixels.
    constexpr int iconSize = 32;
    QIcon icon = QIcon::fromTheme(toQString(iconName));
    if (icon.isNull()) icon = frame_->style()->standardIcon(QStyle::SP_FileIcon);
    // At the screen's density, so that a file's icon is as sharp as the theme has it.
    const qreal ratio = canvas_->devicePixelRatioF();
    if (drawing_.isNull()) {
        drawing_ = QPixmap(canvas_->size() * ratio);
        drawing_.setDevicePixelRatio(ratio);
        drawing_.fill(Qt::transparent);
    }
    QPainter painter(&drawing_);
    painter.drawPixmap(x, y, icon.pixmap(QSize(iconSize, iconSize), ratio));
    painter.end();
    canvas_->setPixmap(drawing_);
}

QtCheckBox::QtCheckBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                       QPoint origin)
    : toolkit_(toolkit), box_(new QCheckBox(&parent)) {
    box_->setObjectName(QString::fromStdString(layout.name));
    place(*box_, layout, origin);
    box_->setText(toQString(layout.caption));
    box_->setFocusPolicy(layout.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    QObject::connect(box_, &QCheckBox::clicked, box_, [this] {
        if (click_) toolkit_.runHandler(click_);
    });
}

std::string QtCheckBox::caption() const {
    return box_->text().toStdString();
}

int QtCheckBox::value() const {
    return box_->isChecked() ? 1 : 0;
}

void QtCheckBox::setValue(int value) {
    box_->setChecked(value == 1);
}

QtFrame::QtFrame(QWidget& parent, const ControlLayout& layout, QPoint origin)
    : box_(new QGroupBox(&parent)) {
    box_->setObjectName(QString::fromStdString(layout.name));
    place(*box_, layout, origin);
    box_->setTitle(toQString(layout.caption));
    box_->setFocusPolicy(Qt::NoFocus);
}

QtShape::QtShape(QWidget& parent, const ControlLayout& layout, QPoint origin)
    : block_(new QWidget(&parent)), width_(layout.width) {
    applyCommon(*block_, layout, origin);
    block_->setFocusPolicy(Qt::NoFocus);
}

void QtShape::setWidth(float width) {
    width_ = width;
    block_->resize(std::max(0, toPixels(width)), block_->height());
}

}  // namespace toolkit::qt
