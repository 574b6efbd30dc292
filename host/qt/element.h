// What the Qt host's text boxes and label share: a Qt widget placed on the control's surface in
// twips. The twips the control sets are kept as given and read back as given (so the control's
// layout arithmetic is the same on every host); the widget shows them in pixels at its screen's
// logical DPI. One exception: a widget whose requested height is less than its font needs
// keeps the height it needs, and reports that height (see minimumHeight).
#pragma once

#include <QWidget>
#include <algorithm>
#include <optional>

#include "host/accepted_values.h"
#include "host/qt/units.h"
#include "values/types.h"

namespace kestrinx::qthost {

template <typename Interface>
class Element : public Interface {
 public:
  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override {
    const int least = minimumHeight();
    return least > toPixelsY(unitsWidget(), height_) ? toTwipsY(unitsWidget(), least) : height_;
  }
  void setLeft(Twips v) override { place(v, top_, width_, height_); }
  void setTop(Twips v) override { place(left_, v, width_, height_); }
  void setWidth(Twips v) override { place(left_, top_, host::checkedSize(v), height_); }
  void setHeight(Twips v) override { place(left_, top_, width_, host::checkedSize(v)); }
  void move(Twips l, Twips t, std::optional<Twips> w = std::nullopt, std::optional<Twips> h = std::nullopt) override {
    const Twips width = w ? host::checkedSize(*w) : width_;
    const Twips height = h ? host::checkedSize(*h) : height_;
    place(l, t, width, height);
  }
  // Whether the widget shows when the control does (Qt's isHidden is also true for a widget
  // whose window has not been shown yet).
  bool visible() const override { return visible_; }
  // Placing the widget may wait: while held, the twips are kept as set (and read back as set)
  // and the widget is placed once, when released. A control reading its saved properties places
  // its widgets many times over.
  void holdPlacing() { held_ = true; }
  void releasePlacing() {
    held_ = false;
    if (!heldPlace_) return;
    heldPlace_ = false;
    replace();
  }
  void setVisible(bool v) override {
    visible_ = v;
    widget().setVisible(v);
  }

 protected:
  virtual QWidget& widget() const = 0;
  // The widget when it exists (a widget made on demand may not yet); nullptr leaves the Qt
  // geometry to when it is made.
  virtual QWidget* madeWidget() const { return &widget(); }
  // A widget on the same screen, whose DPI maps the twips (the widget itself, unless reading
  // it would make it).
  virtual const QWidget& unitsWidget() const { return widget(); }
  // The least height in pixels the widget's content needs; 0 for none.
  virtual int minimumHeight() const { return 0; }
  // Shows the kept twips again (after a font change, say).
  void replace() { place(left_, top_, width_, height_); }
  // Told after each placing, with the rectangle in pixels it stood in before (a windowless
  // element paints itself again).
  virtual void placed(const QRect& /*before*/) {}
  void place(Twips l, Twips t, Twips w, Twips h) {
    const QRect before = placed_ && !held_ ? pixelRect() : QRect();
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
    placed_ = true;
    if (held_) {
      heldPlace_ = true;
      return;
    }
    placed(before);
    QWidget* made = madeWidget();
    if (made == nullptr) return;
    QWidget& q = *made;
    q.setGeometry(toPixelsX(q, l), toPixelsY(q, t), toPixelsX(q, w), std::max(toPixelsY(q, h), minimumHeight()));
  }

  // The kept twips in the pixels of the widget's screen.
  QRect pixelRect() const {
    const QWidget& u = unitsWidget();
    return {toPixelsX(u, left_), toPixelsY(u, top_), toPixelsX(u, width_), toPixelsY(u, height_)};
  }

  Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool placed_ = false;  // whether the program placed the widget yet
  bool held_ = false, heldPlace_ = false;  // placing held; a place waiting for the release
};

}  // namespace kestrinx::qthost
