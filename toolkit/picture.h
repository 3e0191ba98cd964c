#pragma once

#include <cstdint>
#include <memory>

namespace toolkit {

// What a backend keeps of a loaded picture (its pixels, in its own format).
class PictureData {
  public:
    virtual ~PictureData() = default;
    virtual float widthTwips() const = 0;
    virtual float heightTwips() const = 0;
};

// A shared handle to a picture. Copies refer to the same picture object: an image given another
// image's picture holds that very picture and reports the same handle. An empty Picture is "no
// picture" (handle 0).
class Picture {
  public:
    Picture() = default;
    explicit Picture(std::shared_ptr<const PictureData> data) : data_(std::move(data)) {}

    bool empty() const { return data_ == nullptr; }
    std::uintptr_t handle() const { return reinterpret_cast<std::uintptr_t>(data_.get()); }
    const PictureData* data() const { return data_.get(); }

    friend bool operator==(const Picture& a, const Picture& b) { return a.data_ == b.data_; }

  private:
    std::shared_ptr<const PictureData> data_;
};

}  // namespace toolkit
