// Objects the host owns and hands around by reference: fonts, pictures and drag-and-drop data.
// They are held through shared pointers, so a property that returns one returns the same object.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kestrinx::values {

// The font every new widget, surface and ambient font starts with.
inline constexpr std::string_view DefaultFontName = "MS Sans Serif";
inline constexpr float DefaultFontSize = 8.25f;  // points

// A font as the forms host describes it. Size is in points; a default-made Font is the
// default font, regular weight.
struct Font {
  std::string name{DefaultFontName};
  float size = DefaultFontSize;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  std::int16_t weight = 400;  // 400 regular, 700 bold; kept in step with `bold` by the hosts
  std::int16_t charset = 0;
};
using FontRef = std::shared_ptr<Font>;

inline FontRef makeFont(std::string name, float size, bool bold = false) {
  auto f = std::make_shared<Font>();
  f->name = std::move(name);
  f->size = size;
  f->bold = bold;
  f->weight = bold ? 700 : 400;
  return f;
}

// A picture (a mouse icon, say): its description and image bytes; no host draws it yet.
struct Picture {
  std::int32_t handle = 0;
  std::int16_t type = 0;  // 0 none, 1 bitmap, 2 metafile, 3 icon
  std::int32_t width = 0;   // HIMETRIC
  std::int32_t height = 0;  // HIMETRIC
  std::string source;       // where it came from, for diagnostics
  std::string bytes;        // the image data as a picture file holds it (saved with forms)
};
using PictureRef = std::shared_ptr<Picture>;

// The data carried by an OLE drag-and-drop operation: clipboard formats to bytes.
class DataObject {
 public:
  bool hasFormat(std::int16_t format) const { return data_.count(format) != 0; }
  std::string getData(std::int16_t format) const {
    auto it = data_.find(format);
    return it == data_.end() ? std::string{} : it->second;
  }
  void setData(std::int16_t format, std::string bytes) { data_[format] = std::move(bytes); }
  void clear() { data_.clear(); }

  static constexpr std::int16_t TextFormat = 1;

 private:
  std::map<std::int16_t, std::string> data_;
};
using DataObjectRef = std::shared_ptr<DataObject>;

}  // namespace kestrinx::values
