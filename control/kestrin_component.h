/// \file
/// The Kestrin control as hosts create it: a host::Component over one Kestrin, and the class
/// ("KestrinX.Kestrin") through which hosts, form files and the runtime create it.
#pragma once

#include <memory>

#include "control/kestrin.h"
#include "control/members.h"
#include "host/component.h"

namespace kestrinx {

/// One Kestrin control as a host::Component: its life cycle, its members by name and by
/// identifier, its event connections.
class KestrinComponent final : public host::Component {
 public:
  /// Creates the control on `site` (nothing else runs: the host calls Initialize next).
  explicit KestrinComponent(host::ControlSite& site) : control_(site), dispatch_(control_), automation_(control_) {}

  Kestrin& control() { return control_; }              ///< The control itself, for its typed members.
  const Kestrin& control() const { return control_; }  ///< The control itself, for its typed members.

  void Initialize() override { control_.Initialize(); }
  void InitProperties() override { control_.InitProperties(); }
  void ReadProperties(values::PropertyBag& bag) override { control_.ReadProperties(bag); }
  void WriteProperties(values::PropertyBag& bag) const override { control_.WriteProperties(bag); }
  values::Dispatch& dispatch() override { return dispatch_; }
  values::Automation* automation() override { return &automation_; }
  /// Connects an application event sink (Kestrin::connect).
  void connect(values::EventSink* sink) override { control_.connect(sink); }
  /// Disconnects a sink (Kestrin::disconnect).
  void disconnect(values::EventSink* sink) override { control_.disconnect(sink); }

 private:
  Kestrin control_;
  members::Dispatch dispatch_;
  members::Automation automation_;
};

/// The class hosts create Kestrin controls through.
inline constexpr const char* KestrinProgId = "KestrinX.Kestrin";
/// The class "KestrinX.Kestrin": creates a KestrinComponent on a site.
host::ComponentClass kestrinClass();

}  // namespace kestrinx
