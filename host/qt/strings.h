// Text on a Qt host: the control's strings are UTF-8 bytes, Qt's are UTF-16. Positions the
// control sees (SelStart, SelLength) are byte offsets into the UTF-8 text, as every std::string
// index is; they are mapped to and from Qt's character positions here.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace kestrinx::qthost {

inline QString toQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string toStdString(const QString& s) { return s.toUtf8().toStdString(); }

// A Qt text in UTF-8, served from the text last converted while the text is the same: a Qt
// string's data is shared, and so unchanged, while the copy kept here holds it, so the same
// data is the same text. For a text read again and again (each property announcement reads
// the box's text and the caption).
class Utf8Cache {
 public:
  const std::string& of(const QString& t) {
    if (t.constData() != text_.constData() || t.size() != text_.size()) {
      utf8_ = toStdString(t);
      text_ = t;
    }
    return utf8_;
  }

 private:
  QString text_;
  std::string utf8_;
};

// The number of UTF-8 bytes in front of Qt position `pos` (clamped to the text).
std::int32_t byteOffset(const QString& text, qsizetype pos);
// The Qt position in front of which lie `bytes` UTF-8 bytes; an offset inside a character
// counts as the position before it, one past the end as the end.
qsizetype charPosition(const QString& text, std::int64_t bytes);

}  // namespace kestrinx::qthost
