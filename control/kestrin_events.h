/// \file
/// The events a Kestrin raises to the application, one virtual each, for C++ applications.
/// Arguments are passed by reference to the very variables the box supplied, so a handler's
/// change reaches the box. Each event reaches the sink as a generic event (identifier and
/// arguments, see values::EventSink) and is handed to its virtual here; the identifiers and
/// argument lists are in control/members.h.
#pragma once

#include <cstdint>

#include "values/automation.h"
#include "values/objects.h"
#include "values/types.h"

namespace kestrinx {

/// A C++ application's handler of a Kestrin's events: override the events you handle and pass
/// the object to Kestrin::connect. Every argument is a reference to the variable the box holds,
/// so a handler's change reaches the box (KeyPress: 0 discards the key, another code types that
/// instead). A handler that throws values::AutomationError ends the event; the error reaches the
/// action that raised it.
class KestrinEvents : public values::EventSink {
 public:
  /// Calls the virtual of the event (defined with the event table).
  void onEvent(const values::EventInfo& event, values::EventArgs& args) final;

  /// The box's text changed (by the user or the program).
  virtual void Change() {}
  /// The user clicked the box.
  virtual void Click() {}
  /// The user double-clicked the box.
  virtual void DblClick() {}
  /// A key went down in the box: its key code and the shift state (1 Shift, 2 Ctrl, 4 Alt).
  virtual void KeyDown(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
  /// A character is typed into the box: its code, which the handler may change or set to 0.
  virtual void KeyPress(std::int16_t& /*KeyAscii*/) {}
  /// A key went up in the box.
  virtual void KeyUp(std::int16_t& /*KeyCode*/, std::int16_t& /*Shift*/) {}
  /// A mouse button went down over the box: button, shift state, position in twips.
  virtual void MouseDown(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  /// The mouse moved over the box.
  virtual void MouseMove(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  /// A mouse button went up over the box.
  virtual void MouseUp(std::int16_t& /*Button*/, std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  /// A drag started from the box ended, with the effect the drop target chose.
  virtual void OLECompleteDrag(std::int32_t& /*Effect*/) {}
  /// Data was dropped on the box: the data, the effect (changeable), button, shift, position.
  virtual void OLEDragDrop(values::DataObjectRef& /*Data*/, std::int32_t& /*Effect*/, std::int16_t& /*Button*/,
                           std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
  /// Data is dragged over the box; `State` says entering, over or leaving.
  virtual void OLEDragOver(values::DataObjectRef& /*Data*/, std::int32_t& /*Effect*/, std::int16_t& /*Button*/,
                           std::int16_t& /*Shift*/, float& /*X*/, float& /*Y*/, std::int16_t& /*State*/) {}
  /// Published for completeness; the control never raises this one, OLEStartDrag or OLESetData.
  virtual void OLEGiveFeedback(std::int32_t& /*Effect*/, values::Boolean& /*DefaultCursors*/) {}
  /// Never raised (published only).
  virtual void OLEStartDrag(values::DataObjectRef& /*Data*/, std::int32_t& /*AllowedEffects*/) {}
  /// Never raised (published only).
  virtual void OLESetData(values::DataObjectRef& /*Data*/, std::int16_t& /*DataFormat*/) {}
};

}  // namespace kestrinx
