// A control created by a class factory: the component on a host of its own, seen by clients as
// a dispatch object (the class's default interface) with a connection point for its events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/component.h"
#include "runtime/object.h"
#include "runtime/project.h"
#include "values/automation.h"

namespace kestrinx::runtime {

class ConnectionPoint;

class ControlObject final : public Object, private values::EventSink {
 public:
  // Creates a control of `cls` on a new host, as a newly placed control (Initialize, then
  // InitProperties), with one reference. Throws what creation raises.
  static ControlObject* create(const ControlClass& cls);
  // The control behind an interface pointer this runtime handed out, or nullptr.
  static ControlObject* from(const void* p);

  host::Component& component() { return *component_; }
  ControlHost& host() { return *host_; }
  KxDispatch* dispatch() { return &dispatch_.iface; }

  // The C entries of the dispatch interface.
  KxHResult getIDsOfNames(const KxGuid* riid, const char* const* names, std::uint32_t count, std::int32_t* dispids);
  KxHResult invoke(std::int32_t dispid, const KxGuid* riid, std::uint16_t flags, const KxDispParams* params,
                   KxVariant* result, KxExcepInfo* excep, std::uint32_t* argErr);
  // The C entry of the connection point container.
  KxHResult findConnectionPoint(const KxGuid* riid, KxConnectionPoint** cp);

 private:
  friend class ConnectionPoint;
  explicit ControlObject(const ControlClass& cls);
  ~ControlObject() override;
  void* interfaceFor(const KxGuid& iid) noexcept override;
  // Each event reaches every connected sink in turn with its arguments by reference.
  void onEvent(const values::EventInfo& event, values::EventArgs& args) override;
  void deliver(KxDispatch* sink, const values::EventInfo& event, values::EventArgs& args);
  bool connected(std::uint32_t cookie) const;

  struct Connection {
    std::uint32_t cookie;
    KxDispatch* sink;  // one reference held
  };

  Face<KxDispatch> dispatch_;
  Face<KxConnectionPointContainer> container_;
  KxGuid interfaceId_;
  KxGuid eventInterfaceId_;
  std::string progId_;
  std::unique_ptr<ControlHost> host_;
  std::unique_ptr<host::Component> component_;  // after host_: destroyed before the site it stands on
  values::Automation* automation_ = nullptr;
  std::vector<Connection> connections_;
  std::uint32_t nextCookie_ = 1;
  ConnectionPoint* point_ = nullptr;  // the live connection point, which holds a reference to this
};

}  // namespace kestrinx::runtime
