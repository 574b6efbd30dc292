/// \file
/// What a host holds of a control it has created: the life-cycle handlers it drives, access to
/// the control's published members by name or identifier, and its event connections. Hosts
/// create controls through a ComponentClass, so the headless and Qt hosts, form files and the
/// component runtime can place and load any control class without knowing it.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "host/control_site.h"
#include "values/automation.h"
#include "values/dispatch.h"
#include "values/property_bag.h"

namespace kestrinx::host {

/// A control as its host holds it (KestrinComponent for the Kestrin control).
class Component {
 public:
  virtual ~Component() = default;
  /// After creation, before anything else.
  virtual void Initialize() = 0;
  /// A designer places a new control; never fails.
  virtual void InitProperties() = 0;
  /// A saved control is created again; stops at the first failing key.
  virtual void ReadProperties(values::PropertyBag& bag) = 0;
  /// The host saves the form; changes nothing.
  virtual void WriteProperties(values::PropertyBag& bag) const = 0;
  /// The control's properties by name (any case), as the property page and scripts reach them.
  virtual values::Dispatch& dispatch() = 0;
  /// The control's published members by identifier, for the component runtime and scripting
  /// clients; nullptr for a class that publishes no such interface.
  virtual values::Automation* automation() { return nullptr; }
  /// Connects an application event sink (events reach every sink in connection order).
  virtual void connect(values::EventSink* sink) = 0;
  /// Disconnects a sink.
  virtual void disconnect(values::EventSink* sink) = 0;
};

/// A class of controls a host can create: its programmatic name ("KestrinX.Kestrin"), a
/// factory that builds one control on a site the host provides (and outlives the control), and
/// the keys its ReadProperties reads, in that order, each once, so that a host's property bag
/// can answer the reads in order without searching (empty when the class does not say).
struct ComponentClass {
  std::string progId;                                              ///< the programmatic name
  std::function<std::unique_ptr<Component>(ControlSite&)> create;  ///< builds one control on a site
  std::span<const std::string_view> readOrder = {};                ///< static keys, in reading order
};

}  // namespace kestrinx::host
