// The control's look and automatic sizing: which box element is on show (Appearance), colours
// and fonts of box and caption, AutoSize, and the surface's AutoRedraw and hWnd.
#include <cmath>

#include "control/kestrin.h"
#include "control/members.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx {

namespace {

// The height a box is given for its font: the point size cut to a whole number, used as a
// length in surface units. A size no single can hold is an overflow (skipped by the caller).
values::Twips heightForFontSize(float fontSize) {
  return values::toCoordinate(std::trunc(static_cast<double>(fontSize)));
}

}  // namespace

void Kestrin::put_Appearance(std::int32_t v) {
  m_Appearance = v;
  // Only Flat (0) selects the flat element; every other value the three-dimensional one.
  // The newly active element is shown before the other is hidden.
  if (v != Flat) {
    m_BoxIndex = KSTD;
    box(KSTD).setVisible(true);
    box(KSF).setVisible(false);
  } else {
    m_BoxIndex = KSF;
    box(KSF).setVisible(true);
    box(KSTD).setVisible(false);
  }
  notifyChanged<&Kestrin::put_Appearance>();
  m_HeightFlag = values::True;  // the other box may need another height
  UserControl_Resize();  // places and sizes the newly active element
}

void Kestrin::put_BackColor(OleColor v) {
  m_BackColor = v;
  writeBoth(&host::TextBox::setBackColor, v);
  notifyChanged<&Kestrin::put_BackColor>();
}

OleColor Kestrin::get_ForeColor() const { return activeBox().foreColor(); }

void Kestrin::put_ForeColor(OleColor v) {
  writeBoth(&host::TextBox::setForeColor, v);
  notifyChanged<&Kestrin::put_ForeColor>();
}

values::FontRef Kestrin::get_Font() const { return activeBox().font(); }

void Kestrin::putref_Font(values::FontRef f) {
  // Never fails: each step that the host refuses is skipped and the rest still run.
  using values::skipOnError;
  for (std::int32_t index : {KSF, KSTD}) {
    host::TextBox& element = box(index);
    skipOnError([&] { element.setFont(f); });
    skipOnError([&] { element.setHeight(heightForFontSize(element.fontSize())); });
  }
  skipOnError([&] { notifyChanged<&Kestrin::putref_Font>(); });
  m_SizeFlag = values::True;
  m_HeightFlag = values::True;
  ArrangeControls(m_Interval, m_Alignment);  // fits the outer size now if AutoSize is on
}

values::FontRef Kestrin::get_LabelFont() const { return label().font(); }

void Kestrin::putref_LabelFont(values::FontRef f) {
  label().setFont(f);
  notifyChanged<&Kestrin::putref_LabelFont>();
  m_CaptionChanged = values::True;
  m_HeightFlag = values::True;
  UserControl_Resize();
}

OleColor Kestrin::get_LabelForeColor() const { return label().foreColor(); }

void Kestrin::put_LabelForeColor(OleColor v) {
  label().setForeColor(v);
  notifyChanged<&Kestrin::put_LabelForeColor>();
}

void Kestrin::put_AutoSize(Boolean v) {
  m_AutoSize = v;
  m_SizeFlag = values::True;  // waits while AutoSize is off
  notifyChanged<&Kestrin::put_AutoSize>();
  UserControl_Resize();
}

Boolean Kestrin::get_AutoRedraw() const { return surface().autoRedraw(); }

void Kestrin::put_AutoRedraw(Boolean v) {
  surface().setAutoRedraw(v);
  notifyChanged<&Kestrin::put_AutoRedraw>();
}

std::int32_t Kestrin::get_hWnd() const { return surface().hWnd(); }

}  // namespace kestrinx
