#pragma once

#include <QListView>
#include <QListWidget>
#include <QStringListModel>

#include "toolkit/controls.h"
#include "toolkit/file_list_model.h"
#include "toolkit/folder_list_model.h"
#include "toolkit/layout.h"

// The Qt widgets behind the folder list and the file list. As with the other controls, the widgets
// belong to the form's widget tree. Rows show the names as visibleText makes them; the models keep
// the names themselves.
namespace toolkit::qt {

class QtToolkit;

class QtDirListBox final : public DirListBox {
  public:
    QtDirListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string path() const override { return model_.path(); }
    void setPath(std::string_view path) override;
    void onChange(Handler handler) override { change_ = std::move(handler); }

  private:
    // A line opened by the user: its folder becomes the path.
    void open(QListWidgetItem* item);

    QtToolkit& toolkit_;
    QListWidget* list_;
    FolderListModel model_;
    Handler change_;
};

class QtFileListBox final : public FileListBox {
  public:
    QtFileListBox(QtToolkit& toolkit, QWidget& parent, const ControlLayout& layout, QPoint origin);
    std::string path() const override { return model_.path(); }
    void setPath(std::string_view path) override;
    std::string fileName() const override { return model_.fileName(); }
    std::int32_t listIndex() const override { return model_.listIndex(); }
    void setListIndex(std::int32_t index) override;
    std::int32_t listCount() const override { return model_.listCount(); }
    void onClick(Handler handler) override { click_ = std::move(handler); }

  private:
    // The view's selection changed: a user's selection, unless the model is being set by code.
    void selectionChanged();

    QtToolkit& toolkit_;
    QListView* view_;
    QStringListModel* names_;
    FileListModel model_;
    Handler click_;
    bool settingByCode_ = false;
};

}  // namespace toolkit::qt
