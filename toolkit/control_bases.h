#pragma once

#include <cstdint>
#include <string>

#include "toolkit/controls.h"
#include "toolkit/file_list_model.h"
#include "toolkit/folder_list_model.h"

// What every backend's image and lists keep alike; a backend adds only how they are drawn and
// how its system reports the user's doings.
namespace toolkit {

// An image's picture object, its Left exactly as it was set, and its Click handler.
class ImageBase : public Image {
  public:
    Picture picture() const final { return picture_; }
    float left() const final { return left_; }
    void onClick(Handler handler) final { click_ = std::move(handler); }

  protected:
    explicit ImageBase(float left) : left_(left) {}

    Picture picture_;
    float left_;
    Handler click_;
};

// A folder list's model (its path and lines) and its Change handler.
class DirListBoxBase : public DirListBox {
  public:
    std::string path() const final { return model_.path(); }
    void onChange(Handler handler) final { change_ = std::move(handler); }

  protected:
    FolderListModel model_;
    Handler change_;
};

// A file list's model (its path, names and selection; when Click is due) and its Click handler.
class FileListBoxBase : public FileListBox {
  public:
    std::string path() const final { return model_.path(); }
    std::string fileName() const final { return model_.fileName(); }
    std::int32_t listIndex() const final { return model_.listIndex(); }
    std::int32_t listCount() const final { return model_.listCount(); }
    void onClick(Handler handler) final { click_ = std::move(handler); }

  protected:
    FileListModel model_;
    Handler click_;
};

}  // namespace toolkit
