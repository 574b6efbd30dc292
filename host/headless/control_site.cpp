// A control's site on the headless host: surface, the two box elements and the caption label,
// laid out as the control's design has them before any layout runs.
#include "host/headless/control_site.h"

#include "host/control_design.h"
#include "values/error.h"

namespace kestrinx::headless {

ControlSite::ControlSite(Form& form, std::string instanceName)
    : form_(form), surface_(instanceName), box0_(form), box1_(form) {
  // The design's geometry is set as it stands, after the label has sized itself to the caption.
  label_.setCaption(instanceName);
  namespace design = host::design;
  label_.move(design::CaptionLeft, design::CaptionTop, design::CaptionWidth, design::CaptionHeight);
  for (TextBox* b : {&box0_, &box1_}) {
    b->setText(instanceName);
    b->move(design::BoxLeft, design::BoxTop, design::BoxWidth, design::BoxHeight);
  }
}

host::TextBox& ControlSite::txtKestrin(int index) { return box(index); }

TextBox& ControlSite::box(int index) {
  if (index == 0) return box0_;
  if (index == 1) return box1_;
  values::raiseError(values::err::NoSuchControlArrayElement);
}

}  // namespace kestrinx::headless
