#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "toolkit/control_bases.h"
#include "toolkit/controls.h"
#include "toolkit/layout.h"

// The Qt widgets behind the toolkit's controls. Each control object owns nothing: its widget
// belongs to the form's widget tree and lives as long as the form.
namespace toolkit::qt {

class QtToolkit;

// Places a widget at a layout position, given in twips from the container's origin.
void place(QWidget& widget, const ControlLayout& layout, QPoint origin);

// Shows its caption as visibleText makes it; caption() gives it back as it was set.
class QtLabel final : public Label {
  public:
    QtLabel(QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string caption() const override;
    void setCaption(std::string_view caption) override;

  private:
    QLabel* label_;
    std::string caption_;
};

class QtCommandButton final : public CommandButton {
  public:
    QtCommandButton(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout,
                    QPoint origin);
    std::string caption() const override;
    void onClick(Handler handler) override;
    void onMouseUp(MouseHandler handler) override;

  private:
    class Button;
    QtToolkit& toolkit_;
    Button* button_;
    Handler click_;
};

// Draws its picture's image for the screen's device pixel ratio (QtPictureData::pixmap).
class QtImage final : public ImageBase {
  public:
    QtImage(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    void setPicture(const Picture& picture) override;
    void setAccessibleName(std::string_view name) override;
    void setLeft(float left) override;
    float width() const override;
    float height() const override;

  private:
    class View;
    QtToolkit& toolkit_;
    View* view_;
    QPoint origin_;
};

// A sunken frame around its inside, a widget of its own that the drawing and the controls
// standing in the box are children of, so that they are clipped to it. A mark above them shows
// the focus.
class QtPictureBox final : public PictureBox, private platform::DeviceContext {
  public:
    QtPictureBox(QWidget& parent, const ControlLayout& layout, QPoint origin);
    float width() const override;
    void setMeterValue(double percent) override;
    void cls() override;
    platform::DeviceContext& hDC() override { return *this; }
    // What has been drawn into the box since it was last cleared (null when nothing was).
    const QPixmap& drawing() const { return drawing_; }
    // The widget that contained controls are children of; their origin is its top-left corner.
    QWidget& container() { return *inside_; }

  private:
    class Box;
    void drawThemeIcon(std::string_view iconName, int x, int y) override;
    bool hasThemeIcon(std::string_view iconName) const override;
    std::uintptr_t nativeHandle() const override { return 0; }

    Box* frame_;
    QWidget* inside_;
    QLabel* canvas_;  // shows drawing_ over the box's background
    QPixmap drawing_;
};

class QtCheckBox final : public CheckBox {
  public:
    QtCheckBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string caption() const override;
    int value() const override;
    void setValue(int value) override;
    bool enabled() const override { return box_->isEnabled(); }
    void setEnabled(bool enabled) override { box_->setEnabled(enabled); }
    void onClick(Handler handler) override { click_ = std::move(handler); }

  private:
    QtToolkit& toolkit_;
    QCheckBox* box_;
    Handler click_;
};

// A frame: a captioned border around the controls that stand in it.
class QtFrame {
  public:
    QtFrame(QWidget& parent, const ControlLayout& layout, QPoint origin);
    QWidget& container() { return *box_; }

  private:
    QGroupBox* box_;
};

class QtShape final : public Shape {
  public:
    QtShape(QWidget& parent, const ControlLayout& layout, QPoint origin);
    float width() const override { return width_; }
    void setWidth(float width) override;

  private:
    QWidget* block_;
    float width_;
};

}  // namespace toolkit::qt
