// The Kestrin control as hosts create it: a host::Component over one Kestrin, and the class
// ("KestrinX.Kestrin") through which hosts, form files and the runtime create it.
#pragma once

#include <memory>

#include "control/kestrin.h"
#include "control/members.h"
#include "host/component.h"

namespace kestrinx {

class KestrinComponent final : public host::Component {
 public:
  explicit KestrinComponent(host::ControlSite& site) : control_(site), dispatch_(control_), automation_(control_) {}

  Kestrin& control() { return control_; }
  const Kestrin& control() const { return control_; }

  void Initialize() override { control_.Initialize(); }
  void InitProperties() override { control_.InitProperties(); }
  void ReadProperties(host::PropertyBag& bag) override { control_.ReadProperties(bag); }
  void WriteProperties(host::PropertyBag& bag) const override { control_.WriteProperties(bag); }
  host::Dispatch& dispatch() override { return dispatch_; }
  host::Automation* automation() override { return &automation_; }
  void connect(host::EventSink* sink) override { control_.connect(sink); }
  void disconnect(host::EventSink* sink) override { control_.disconnect(sink); }

 private:
  Kestrin control_;
  members::Dispatch dispatch_;
  members::Automation automation_;
};

// The class hosts create Kestrin controls through.
inline constexpr const char* KestrinProgId = "KestrinX.Kestrin";
host::ComponentClass kestrinClass();

}  // namespace kestrinx
