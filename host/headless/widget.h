// What every headless widget shares: geometry, visibility and failure injection. A width or
// height that is negative or not a finite number is error 380 (host::checkedSize).
#pragma once

#include <optional>

#include "host/accepted_values.h"
#include "host/headless/failure_points.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::Twips;

template <typename Interface>
class Widget : public Interface, public FailurePoints {
 public:
  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setLeft(Twips v) override { check("setLeft"); left_ = v; }
  void setTop(Twips v) override { check("setTop"); top_ = v; }
  void setWidth(Twips v) override { check("setWidth"); width_ = host::checkedSize(v); }
  void setHeight(Twips v) override { check("setHeight"); height_ = host::checkedSize(v); }
  void move(Twips l, Twips t, std::optional<Twips> w = std::nullopt, std::optional<Twips> h = std::nullopt) override {
    check("move");
    if (w) host::checkedSize(*w);
    if (h) host::checkedSize(*h);
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
