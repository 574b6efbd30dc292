// The events a Kestrin raises to the application, one virtual each, for C++ applications.
// Arguments are passed by reference to the very variables the box supplied, so a handler's
// change reaches the box. Each event reaches the sink as a generic event (identifier and
// arguments, see host::EventSink) and is handed to its virtual here; the identifiers and
// argument lists are in control/members.h.
#pragma once

#include <cstdint>

#include "host/automation.h"
#include "host/objects.h"
#include "host/types.h"

namespace kestrinx {

class KestrinEvents : public host::EventSink {
 public:
  // Calls the virtual of the event (defined with the event table).
  void onEvent(const host::EventInfo& event, host::EventArgs& args) final;

  virtual void Change() {}
  virtual void Click() {}
  virtual void DblClick() {}
  virtual void KeyDown(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
  virtual void KeyPress(std::int16_t& /*KeyAscii*/) {}
  virtual void KeyUp(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
  virtual void MouseDown(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void MouseMove(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void MouseUp(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void OLECompleteDrag(std::int32_t& /*Effect*/) {}
  virtual void OLEDragDrop(host::DataObjectRef& /*Data*/, std::int32_t& /*Effect*/, std::int16_t& /*Button*/,
                           std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void OLEDragOver(host::DataObjectRef& /*Data*/, std::int32_t& /*Effect*/, std::int16_t& /*Button*/,
                           std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/, std::int16_t& /*State*/) {}
  // Published for completeness; the control never raises these three.
  virtual void OLEGiveFeedback(std::int32_t& /*Effect*/, host::Boolean& /*DefaultCursors*/) {}
  virtual void OLEStartDrag(host::DataObjectRef& /*Data*/, std::int32_t& /*AllowedEffects*/) {}
  virtual void OLESetData(host::DataObjectRef& /*Data*/, std::int16_t& /*DataFormat*/) {}
};

}  // namespace kestrinx
