// Placement of caption and box: ArrangeControls, the surface's Resize and Paint handlers and
// the properties that set the geometry (Interval, Alignment, CaptionView, Caption, BoxWidth,
// BoxWidthLock).
//
// The whole box and the whole caption show inside the control, on every host:
//   - the caption's position names where both stand: at the top, in the middle or at the
//     bottom of the control, each of them placed so (the box no longer takes the caption's
//     top, which put a box taller than its caption below the control's bottom edge);
//   - the control's height is never left below its content's, the box's height and the
//     caption's while it shows: a change of what the control shows (Font, LabelFont, Caption,
//     CaptionView, Appearance) asks the next layout to grow a shorter control to it, whatever
//     AutoSize is (m_HeightFlag); it never shrinks. The container's own size is kept: a layout
//     that a resize or a paint runs grows nothing, so a form opens at the sizes it was saved
//     with;
//   - AutoSize fits the height to the content's height (the box's alone while the caption is
//     hidden).
//
// ArrangeControls never lets an error out: each single action (one move, one size, one flag,
// one computation of the gap) runs on its own and is skipped when the host refuses it. Every
// quantity is read from the host at the moment it is used, so a value read after a move
// reflects that move. Sums are formed in double precision; each coordinate handed to the host
// is converted to single precision.
#include <algorithm>

#include "control/flag_scope.h"
#include "control/kestrin.h"
#include "control/members.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx {

namespace {

using values::skipOnError;
using values::toCoordinate;  // a value a single cannot hold is an overflow, skipped like any refusal
using values::Twips;

double d(Twips v) { return static_cast<double>(v); }

// One layout run's view of the surface, the caption and the active box. Each step is one
// action on the host, skipped on its own when the host refuses it; every length is read from
// the host when it is used.
class Placement {
 public:
  Placement(host::Surface& surface, host::Label& caption, host::TextBox& box, bool captionShown)
      : s_(surface), lbl_(caption), box_(box), captionShown_(captionShown) {}

  // The caption at one of the nine positions around the box; any other value leaves it where
  // it is. The right and centred positions count the box at its present width.
  void placeCaption(std::int32_t alignment, std::int32_t gap) {
    skipOnError([&] {
      const double left = d(s_.scaleLeft()), top = d(s_.scaleTop());
      switch (alignment) {
        case LeftTop: moveCaption(left, top); break;
        case LeftMiddle: moveCaption(left, middleTop()); break;
        case LeftBottom: moveCaption(left, bottomTop()); break;
        case CenterTop: moveCaption(centreLeft(gap), top); break;
        case CenterMiddle: moveCaption(centreLeft(gap), middleTop()); break;
        case CenterBottom: moveCaption(centreLeft(gap), bottomTop()); break;
        case RightTop: moveCaption(rightLeft(gap), top); break;
        case RightMiddle: moveCaption(rightLeft(gap), middleTop()); break;
        case RightBottom: moveCaption(rightLeft(gap), bottomTop()); break;
        default: break;
      }
    });
  }

  // A hidden caption sits at the left edge.
  void parkHiddenCaption() {
    if (!captionShown_) skipOnError([&] { lbl_.setLeft(0.0f); });
  }

  // A control shorter than its content grows to it.
  void growToContent() {
    skipOnError([&] {
      const double content = contentHeight();
      if (d(s_.scaleHeight()) < content) s_.setHeight(toCoordinate(content));
    });
  }

  // The box `gap` after the caption (after the caption's left edge when it is hidden), at the
  // caption's height (boxTop).
  void placeBoxBesideCaption(std::int32_t gap, std::int32_t alignment) {
    skipOnError([&] {
      const double left = captionShown_ ? d(lbl_.left()) + d(lbl_.width()) + gap : d(lbl_.left()) + gap;
      box_.move(toCoordinate(left), toCoordinate(boxTop(alignment)));
    });
  }

  // The control's width becomes caption, gap and box side by side.
  void fitWidthToCaptionAndBox(std::int32_t gap) {
    skipOnError([&] { s_.setWidth(toCoordinate(d(lbl_.width()) + gap + d(box_.width()))); });
  }

  // The box takes the width left beside the caption and gap, or nothing when none is left.
  void stretchBoxToTheEdge(std::int32_t gap) {
    skipOnError([&] {
      const double room =
          captionShown_ ? d(s_.scaleWidth()) - (d(lbl_.width()) + gap) : d(s_.scaleWidth()) - gap;
      box_.setWidth(room > 0 ? toCoordinate(room) : 0.0f);
    });
  }

  // The box with its right edge on the surface's right edge, at the caption's height (boxTop).
  void placeBoxAtTheRightEdge(std::int32_t alignment) {
    skipOnError([&] {
      const double left = d(s_.scaleLeft()) + d(s_.scaleWidth()) - d(box_.width());
      box_.move(toCoordinate(left), toCoordinate(boxTop(alignment)));
    });
  }

  // The gap that brings a box of unchanged width flush with the surface's right edge, never
  // below 0; the gap given when it cannot be computed.
  std::int32_t gapForLockedBox(std::int32_t gap) {
    skipOnError([&] {
      gap = values::roundToLong((d(s_.scaleLeft()) + d(s_.scaleWidth())) - (d(box_.left()) + d(box_.width())) + gap);
    });
    return gap <= 0 ? 0 : gap;
  }

  // The control's outer size around its content: caption, gap and box wide (the box alone
  // while the caption is hidden), and as high as the content.
  void fitOuterSizeToContent(std::int32_t gap) {
    skipOnError([&] {
      const double width = captionShown_ ? d(lbl_.width()) + d(box_.width()) + gap : d(box_.width());
      s_.setWidth(toCoordinate(width));
    });
    skipOnError([&] { s_.setHeight(toCoordinate(contentHeight())); });
  }

 private:
  // The box's top: at the top, in the middle or at the bottom of the control as the caption's
  // position says; for a position outside the nine, level with the caption's top.
  double boxTop(std::int32_t alignment) const {
    if (alignment < LeftTop || alignment > RightBottom) return d(lbl_.top());
    switch (alignment % 3) {
      case 0: return d(s_.scaleTop());
      case 1: return (d(s_.scaleHeight()) - d(box_.height())) / 2;
      default: return d(s_.scaleTop()) + d(s_.scaleHeight()) - d(box_.height());
    }
  }
  // The box's height, or the caption's when it shows and is taller.
  double contentHeight() const {
    const double box = d(box_.height());
    return captionShown_ ? std::max(box, d(lbl_.height())) : box;
  }
  void moveCaption(double left, double top) { lbl_.move(toCoordinate(left), toCoordinate(top)); }
  double contentWidth(std::int32_t gap) const { return d(lbl_.width()) + d(box_.width()) + gap; }
  double rightLeft(std::int32_t gap) const { return d(s_.scaleLeft()) + d(s_.scaleWidth()) - contentWidth(gap); }
  double centreLeft(std::int32_t gap) const { return (d(s_.scaleWidth()) - contentWidth(gap)) / 2; }
  double middleTop() const { return (d(s_.scaleHeight()) - d(lbl_.height())) / 2; }
  double bottomTop() const { return d(s_.scaleTop()) + d(s_.scaleHeight()) - d(lbl_.height()); }

  host::Surface& s_;
  host::Label& lbl_;
  host::TextBox& box_;
  const bool captionShown_;
};

}  // namespace

void Kestrin::UserControl_Resize() { ArrangeControls(get_Interval(), get_Alignment()); }

void Kestrin::UserControl_Paint() { ArrangeControls(get_Interval(), get_Alignment()); }

void Kestrin::ArrangeControls(std::int32_t Interval, std::int32_t Alignment) {
  // A run started inside a run (the Resize raised by our own size changes) does nothing.
  if (m_InLayout) return;
  const FlagScope inLayout(m_InLayout);
  const bool afterReading = m_FirstLayoutAfterReading != values::False;
  m_FirstLayoutAfterReading = values::False;

  // The active box is fixed for the run; only the Appearance setter changes it.
  Placement p(surface(), label(), activeBox(), m_CaptionView != values::False);
  // A change of what the control shows: the whole of it stays inside.
  if (m_HeightFlag) {
    m_HeightFlag = values::False;
    p.growToContent();
  }
  p.placeCaption(Alignment, Interval);
  p.parkHiddenCaption();
  if (!m_BoxWidthLock) p.placeBoxBesideCaption(Interval, Alignment);

  // A caption change refits the control's width; otherwise an unlocked box fills the rest.
  if (m_CaptionChanged) {
    m_CaptionChanged = values::False;
    p.fitWidthToCaptionAndBox(Interval);
  } else if (!m_BoxWidthLock) {
    p.stretchBoxToTheEdge(Interval);
  }

  // A locked box keeps its width: the gap widens or narrows to meet the surface's right edge,
  // and the new gap becomes the Interval. In the first layout after the saved properties were
  // read, the saved Interval is the gap, and the box is put at the right edge (at the end of
  // the run, after any fit), where the saved form had it, so that the next layout works out
  // that same gap again.
  if (m_BoxWidthLock) {
    if (afterReading) {
      Interval = Interval <= 0 ? 0 : Interval;  // the box goes to the right edge below
    } else {
      Interval = p.gapForLockedBox(Interval);
      p.placeBoxBesideCaption(Interval, Alignment);
    }
    m_Interval = Interval;
  }

  // A pending fit request, carried out only while AutoSize is on.
  if (m_AutoSize && m_SizeFlag) {
    m_SizeFlag = values::False;
    p.fitOuterSizeToContent(Interval);
    // The positions counted from the size before the fit: caption and box stand again where
    // the caption's position says in the fitted size (a middle or bottom position was left
    // below a control that shrank until the next layout).
    p.placeCaption(Alignment, Interval);
    p.parkHiddenCaption();
    p.placeBoxBesideCaption(Interval, Alignment);
  }

  if (afterReading) {
    // After the fit, which may have changed the control's width.
    if (m_BoxWidthLock) p.placeBoxAtTheRightEdge(Alignment);
    skipOnError([&] { m_BoxWidthAsLaidOut = get_BoxWidth(); });
  }
}

// ---- geometry properties -----------------------------------------------------------------------

void Kestrin::put_Interval(std::int32_t v) {
  if (!m_CaptionView) return;  // no gap without a caption: ignored, nothing signalled
  m_Interval = v;
  ArrangeControls(v, m_Alignment);
  notifyChanged<&Kestrin::put_Interval>();
}

void Kestrin::put_Alignment(std::int32_t v) {
  m_Alignment = v;
  ArrangeControls(m_Interval, v);
  notifyChanged<&Kestrin::put_Alignment>();
}

void Kestrin::put_CaptionView(Boolean v) {
  m_CaptionView = v;
  m_HeightFlag = values::True;
  label().setVisible(v != values::False);
  if (v == values::False) {
    label().setCaption("");
    label().setWidth(0.0f);
    m_Interval = 0;
  }
  notifyChanged<&Kestrin::put_CaptionView>();
  UserControl_Resize();
}

std::string Kestrin::get_Caption() const { return label().caption(); }

void Kestrin::put_Caption(const std::string& v) {
  label().setCaption(v);  // set whether or not the caption is shown
  notifyChanged<&Kestrin::put_Caption>();
  m_CaptionChanged = values::True;
  m_HeightFlag = values::True;
  UserControl_Resize();
}

std::int32_t Kestrin::get_BoxWidth() const { return values::roundToLong(d(activeBox().width())); }

void Kestrin::put_BoxWidth(std::int32_t v) {
  const Twips width = static_cast<Twips>(v < 0 ? 0 : v);
  writeBoth(&host::TextBox::setWidth, width);
  // The outer width follows; the Resize this raises stretches the box back to the width asked.
  surface().setWidth(toCoordinate(d(label().width()) + m_Interval + d(activeBox().width())));
  notifyChanged<&Kestrin::put_BoxWidth>();
}

// Takes effect at the next layout.
void Kestrin::put_BoxWidthLock(Boolean v) { storeAndNotify<&Kestrin::put_BoxWidthLock>(m_BoxWidthLock, v); }

}  // namespace kestrinx
