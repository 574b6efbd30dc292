#include "host/qt/strings.h"

#include <algorithm>
#include <limits>

namespace kestrinx::qthost {

std::int32_t byteOffset(const QString& text, qsizetype pos) {
  const qsizetype n = std::clamp<qsizetype>(pos, 0, text.size());
  const qsizetype bytes = QStringView(text).left(n).toUtf8().size();
  return static_cast<std::int32_t>(std::min<qsizetype>(bytes, std::numeric_limits<std::int32_t>::max()));
}

qsizetype charPosition(const QString& text, std::int64_t bytes) {
  if (bytes <= 0) return 0;
  std::int64_t seen = 0;
  qsizetype i = 0;
  while (i < text.size()) {
    // One character: a surrogate pair is one character of four bytes.
    const char32_t c = text.at(i).unicode();
    const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const int length = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    if (seen + length > bytes) return i;
    seen += length;
    i += pair ? 2 : 1;
  }
  return text.size();
}

}  // namespace kestrinx::qthost
