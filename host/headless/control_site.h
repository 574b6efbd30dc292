/// \file
/// A control's site on the headless host: its surface, two text box elements and caption label.
///
/// Initial geometry as the control's design lays it out (host/control_design.h: label at (0,0)
/// 828x240, both boxes at (960,0) 1600x360, surface 2560x360), text and caption equal to the
/// instance name, the default font (values::DefaultFontName, values::DefaultFontSize); element 1 is
/// the flat one.
#pragma once

#include <string>

#include "host/control_site.h"
#include "host/headless/form.h"
#include "host/headless/label.h"
#include "host/headless/surface.h"
#include "host/headless/text_box.h"

namespace kestrinx::headless {

/// A control's site on a headless Form.
class ControlSite final : public host::ControlSite {
 public:
  /// A site on `form` for the control named `instanceName` (its Extender name).
  ControlSite(Form& form, std::string instanceName = "Kestrin1");
  host::Surface& surface() override { return surface_; }
  host::TextBox& txtKestrin(int index) override;
  host::Label& lblCaption() override { return label_; }
  host::Services& services() override { return form_.services(); }

  /// The form the site stands on.
  Form& form() { return form_; }
  /// The surface, with the headless host's own members (Extender and Ambient values, sizes).
  Surface& headlessSurface() { return surface_; }
  TextBox& box(int index);  ///< element 0 or 1
  /// The caption label.
  Label& label() { return label_; }

 private:
  Form& form_;
  Surface surface_;
  TextBox box0_, box1_;
  Label label_;
};

}  // namespace kestrinx::headless
