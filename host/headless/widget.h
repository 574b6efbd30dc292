// What every headless widget shares: geometry, visibility and failure injection. A width or
// height that is negative or not a finite number is error 380.
#pragma once

#include <cmath>
#include <optional>

#include "host/error.h"
#include "host/headless/failure_points.h"
#include "host/types.h"

namespace kestrinx::headless {

using host::Twips;

namespace detail {
// A width or height given to a widget or the surface: error 380 unless it is a finite length of
// zero or more.
inline Twips checkedSize(Twips v) {
  if (!std::isfinite(v) || v < 0) host::raiseError(host::err::InvalidPropertyValue);
  return v;
}
}  // namespace detail

template <typename Interface>
class Widget : public Interface, public FailurePoints {
 public:
  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setLeft(Twips v) override { check("setLeft"); left_ = v; }
  void setTop(Twips v) override { check("setTop"); top_ = v; }
  void setWidth(Twips v) override { check("setWidth"); width_ = detail::checkedSize(v); }
  void setHeight(Twips v) override { check("setHeight"); height_ = detail::checkedSize(v); }
  void move(Twips l, Twips t, std::optional<Twips> w = std::nullopt, std::optional<Twips> h = std::nullopt) override {
    check("move");
    if (w) detail::checkedSize(*w);
    if (h) detail::checkedSize(*h);
    left_ = l;
    top_ = t;
    if (w) width_ = *w;
    if (h) height_ = *h;
  }
  bool visible() const override { return visible_; }
  void setVisible(bool v) override { check("setVisible"); visible_ = v; }

 protected:
  Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
};

}  // namespace kestrinx::headless
