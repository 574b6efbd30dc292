// Placement of caption and box: ArrangeControls, the surface's Resize and Paint handlers and
// the properties that set the geometry (Interval, Alignment, CaptionView, Caption, BoxWidth,
// BoxWidthLock).
//
// ArrangeControls never lets an error out: each single action (one move, one size, one flag,
// one computation of the gap) runs on its own and is skipped when the host refuses it. Every
// quantity is read from the host at the moment it is used, so a value read after a move
// reflects that move. Sums are formed in double precision; each coordinate handed to the host
// is converted to single precision.
#include "control/kestrin.h"
#include "control/members.h"
#include "host/error.h"
#include "host/variant.h"

namespace kestrinx {

namespace {

using host::skipOnError;
using host::Twips;

// A coordinate for the host. A value a single cannot hold is an overflow, which the layout
// skips like any refused value.
using host::toCoordinate;

double d(Twips v) { return static_cast<double>(v); }

// Clears the layout's re-entry flag however the run ends.
class LayoutGuard {
 public:
  explicit LayoutGuard(Boolean& flag) : flag_(flag) { flag_ = host::True; }
  ~LayoutGuard() { flag_ = host::False; }
  LayoutGuard(const LayoutGuard&) = delete;
  LayoutGuard& operator=(const LayoutGuard&) = delete;

 private:
  Boolean& flag_;
};

}  // namespace

void Kestrin::UserControl_Resize() { ArrangeControls(get_Interval(), get_Alignment()); }

void Kestrin::UserControl_Paint() { ArrangeControls(get_Interval(), get_Alignment()); }

void Kestrin::ArrangeControls(std::int32_t Interval, std::int32_t Alignment) {
  // 1. A run started inside a run (the Resize raised by our own size changes) does nothing.
  if (m_InLayout) return;
  LayoutGuard guard(m_InLayout);  // 8. cleared on every way out

  host::Surface& s = surface();
  host::Label& lbl = label();
  const bool captionShown = m_CaptionView != host::False;
  // The active box is fixed for the run; only the Appearance setter changes it.
  host::TextBox& txt = activeBox();

  // Distance from the surface's left edge to the caption when the caption, gap and box (at its
  // present width) are placed flush right, or half of that for the centred positions.
  const auto contentWidth = [&] { return d(lbl.width()) + d(txt.width()) + Interval; };
  const auto rightLeft = [&] { return d(s.scaleLeft()) + d(s.scaleWidth()) - contentWidth(); };
  const auto centreLeft = [&] { return (d(s.scaleWidth()) - contentWidth()) / 2; };
  const auto middleTop = [&] { return (d(s.scaleHeight()) - d(lbl.height())) / 2; };
  const auto bottomTop = [&] { return d(s.scaleTop()) + d(s.scaleHeight()) - d(lbl.height()); };
  const auto moveCaption = [&](double left, double top) { lbl.move(toCoordinate(left), toCoordinate(top)); };

  // 2. The caption at one of the nine positions; any other value leaves it where it is.
  skipOnError([&] {
    switch (Alignment) {
      case LeftTop: moveCaption(d(s.scaleLeft()), d(s.scaleTop())); break;
      case LeftMiddle: moveCaption(d(s.scaleLeft()), middleTop()); break;
      case LeftBottom: moveCaption(d(s.scaleLeft()), bottomTop()); break;
      case CenterTop: moveCaption(centreLeft(), d(s.scaleTop())); break;
      case CenterMiddle: moveCaption(centreLeft(), middleTop()); break;
      case CenterBottom: moveCaption(centreLeft(), bottomTop()); break;
      case RightTop: moveCaption(rightLeft(), d(s.scaleTop())); break;
      case RightMiddle: moveCaption(rightLeft(), middleTop()); break;
      case RightBottom: moveCaption(rightLeft(), bottomTop()); break;
      default: break;
    }
  });

  // 3. A hidden caption sits at the left edge.
  if (!captionShown) skipOnError([&] { lbl.setLeft(0.0f); });

  // The box's left edge for a given gap: after the caption when it is shown, else after its left.
  const auto boxLeftFor = [&](std::int32_t gap) {
    return captionShown ? d(lbl.left()) + d(lbl.width()) + gap : d(lbl.left()) + gap;
  };
  const auto moveBoxBesideCaption = [&](std::int32_t gap) {
    const Twips left = toCoordinate(boxLeftFor(gap));
    txt.move(left, toCoordinate(d(lbl.top())));
  };

  // 4. The box beside the caption, top edges level.
  if (!m_BoxWidthLock) skipOnError([&] { moveBoxBesideCaption(Interval); });

  // 5. After a caption change fit the control's width; otherwise stretch the box to the edge.
  if (m_CaptionChanged) {
    m_CaptionChanged = host::False;
    skipOnError([&] { s.setWidth(toCoordinate(d(lbl.width()) + Interval + d(txt.width()))); });
  } else if (!m_BoxWidthLock) {
    skipOnError([&] {
      const double D = captionShown ? d(s.scaleWidth()) - (d(lbl.width()) + Interval) : d(s.scaleWidth()) - Interval;
      txt.setWidth(D > 0 ? toCoordinate(D) : 0.0f);
    });
  }

  // 6. A locked box keeps its width: the gap widens or narrows so its right edge meets the
  // surface's, and the new gap becomes the Interval.
  if (m_BoxWidthLock) {
    skipOnError([&] {  // on failure the gap stays as it was
      const double gap = (d(s.scaleLeft()) + d(s.scaleWidth())) - (d(txt.left()) + d(txt.width())) + Interval;
      Interval = host::roundToLong(gap);
    });
    if (Interval <= 0) Interval = 0;
    skipOnError([&] { moveBoxBesideCaption(Interval); });
    m_Interval = Interval;
  }

  // 7. A pending fit request, carried out only while AutoSize is on.
  if (m_AutoSize && m_SizeFlag) {
    m_SizeFlag = host::False;
    skipOnError([&] {
      const double width = captionShown ? d(lbl.width()) + d(txt.width()) + Interval : d(txt.width());
      s.setWidth(toCoordinate(width));
    });
    skipOnError([&] { s.setHeight(toCoordinate(d(txt.height()))); });
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
  label().setVisible(v != host::False);
  if (v == host::False) {
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
  m_CaptionChanged = host::True;
  UserControl_Resize();
}

std::int32_t Kestrin::get_BoxWidth() const { return host::roundToLong(d(activeBox().width())); }

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
