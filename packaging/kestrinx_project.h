// libKestrinX's project descriptor: what the library's four entry points hand the component
// runtime. The control class Kestrin and the property page class General, their identifiers and
// programmatic names, the type library with its three interfaces, and the toolbox image.
// Objects a class factory creates live on the headless host: a control on a headless form of
// its own, a page's widgets on a headless page site.
#pragma once

#include <string>

#include "host/headless/control_site.h"
#include "host/headless/form.h"
#include "runtime/project.h"

namespace kestrinx::packaging {

// Where a control created by a class factory stands: a headless form of its own.
class HeadlessControlHost final : public runtime::ControlHost {
 public:
  explicit HeadlessControlHost(const std::string& instanceName) : site_(form_, instanceName) {}
  host::ControlSite& site() override { return site_; }
  headless::Form& form() { return form_; }
  headless::ControlSite& headlessSite() { return site_; }

 private:
  headless::Form form_;
  headless::ControlSite site_;
};

// The project, with `modulePath` as the library file the registry names.
runtime::Project kestrinxProject(const std::string& modulePath);

}  // namespace kestrinx::packaging
