#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QListView>
#include <QListWidget>
#include <QStringListModel>

#include "toolkit/controls.h"
#include "toolkit/layout.h"

// The Qt widgets behind the check box, the frame and the two folder lists. As with the other
// controls, the widgets belong to the form's widget tree.
namespace toolkit::qt {

class QtToolkit;

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

class QtDirListBox final : public DirListBox {
  public:
    QtDirListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string path() const override { return path_; }
    void setPath(std::string_view path) override;
    void onChange(Handler handler) override { change_ = std::move(handler); }

  private:
    // A line opened by the user: its folder becomes the path.
    void open(QListWidgetItem* item);

    QtToolkit& toolkit_;
    QListWidget* list_;
    std::string path_;
    Handler change_;
};

class QtFileListBox final : public FileListBox {
  public:
    QtFileListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string path() const override { return path_; }
    void setPath(std::string_view path) override;
    std::string fileName() const override;
    std::int32_t listIndex() const override;
    void setListIndex(std::int32_t index) override;
    std::int32_t listCount() const override;
    void onClick(Handler handler) override { click_ = std::move(handler); }

  private:
    void raiseClick();

    QtToolkit& toolkit_;
    QListView* view_;
    QStringListModel* model_;
    std::string path_;
    Handler click_;
    bool settingByCode_ = false;
};

}  // namespace toolkit::qt
