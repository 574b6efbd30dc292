// The headless label: sizes itself to its caption in its font.
#include "host/headless/label.h"

#include "host/headless/metrics.h"
#include "values/error.h"

namespace kestrinx::headless {

Label::Label() : font_(std::make_shared<values::Font>()) { autoSize(); }

// Every set re-sizes, also one that keeps the caption, so a size set by hand lasts only until
// the next caption or font set.
void Label::setCaption(const std::string& v) {
  check("setCaption");
  caption_ = v;
  autoSize();
}

void Label::setFont(values::FontRef v) {
  check("setFont");
  if (!v) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(v);
  autoSize();
}

void Label::autoSize() {
  width_ = textWidth(*font_, caption_);
  height_ = lineHeight(*font_);
}

}  // namespace kestrinx::headless
