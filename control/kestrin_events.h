// The events a Kestrin raises to the application. Arguments are passed by reference to the
// very variables the box supplied, so a handler's change reaches the box.
#pragma once

#include <cstdint>

#include "host/objects.h"
#include "host/types.h"

namespace kestrinx {

class KestrinEvents {
 public:
  virtual ~KestrinEvents() = default;
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
