#pragma once

#include <QListView>
#include <QListWidget>
#include <QStringListModel>

#include "toolkit/control_bases.h"
#include "toolkit/controls.h"
#include "toolkit/file_list_model.h"
#include "toolkit/folder_list_model.h"
#include "toolkit/layout.h"

// The Qt widgets behind the folder list and the file list. As with the other controls, the widgets
// belong to the form's widget tree. Rows show the names as visibleText makes them; the models keep
// the names themselves.
namespace toolkit::qt {

class QtToolkit;

class QtDirListBox final : public DirListBoxBase {
  public:
    QtDirListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    void setPath(std::string_view path) override;

  private:
    // A line opened by the user: its folder becomes the path.
    void open(QListWidgetItem* item);

    QtToolkit& toolkit_;
    QListWidget* list_;
};

class QtFileListBox final : public FileListBoxBase {
  public:
    QtFileListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    void setPath(std::string_view path) override;
    void setListIndex(std::int32_t index) override;

  private:
    class View;
    // The view's selection changed: a user's selection, unless the model is being set by code.
    void selectionChanged();
    // A key pressed in the list: true when it selected the row the model says it selects.
    bool selectFirst(int qtKey);

    QtToolkit& toolkit_;
    QListView* view_;
    QStringListModel* names_;
    bool settingByCode_ = false;
};

}  // namespace toolkit::qt
