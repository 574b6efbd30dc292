// Test fixture: a Kestrin on the headless host, with the application's events recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control/kestrin.h"
#include "host/headless/headless.h"

namespace kestrinx::testing {

// Records every event the control raises, in order, and lets a test act inside a handler.
struct RecordingEvents : KestrinEvents {
  std::vector<std::string> log;
  int changes = 0;
  std::function<void(std::int16_t&)> onKeyPress;
  std::function<void(std::int16_t&, std::int16_t&)> onKeyDown, onKeyUp;
  std::function<void()> onChange;
  std::function<void(std::int16_t&, std::int16_t&, float&, float&)> onMouse;
  std::function<void(std::int32_t&)> onEffect;

  void Change() override;
  void Click() override { log.push_back("Click"); }
  void DblClick() override { log.push_back("DblClick"); }
  void KeyDown(std::int16_t& code, std::int16_t& shift) override;
  void KeyPress(std::int16_t& ascii) override;
  void KeyUp(std::int16_t& code, std::int16_t& shift) override;
  void MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) override;
  void MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) override;
  void MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) override;
  void OLECompleteDrag(std::int32_t& effect) override;
  void OLEDragDrop(values::DataObjectRef&, std::int32_t& effect, std::int16_t&, std::int16_t&, float&, float&) override;
  void OLEDragOver(values::DataObjectRef&, std::int32_t& effect, std::int16_t&, std::int16_t&, float&, float&,
                   std::int16_t&) override;
  void OLEGiveFeedback(std::int32_t&, values::Boolean&) override { log.push_back("OLEGiveFeedback"); }
  void OLEStartDrag(values::DataObjectRef&, std::int32_t&) override { log.push_back("OLEStartDrag"); }
  void OLESetData(values::DataObjectRef&, std::int16_t&) override { log.push_back("OLESetData"); }

  // Entries of the log that start with `prefix`.
  std::vector<std::string> only(const std::string& prefix) const;
};

// A freshly created and initialised control (every field zero; Initialize has run).
class KestrinTest : public ::testing::Test {
 protected:
  KestrinTest();
  ~KestrinTest() override;

  // Places the control as a designer does (InitProperties), then forgets the notifications
  // and events this caused.
  void placeNew();
  // Focuses element `index` of the control's box pair.
  void focusBox(int index = 0);
  // Moves focus away from the control (LostFocus on the box that had it).
  void leave();
  // Focuses the active box, types `s`, leaves the box.
  void enterAndLeave(const std::string& s);

  headless::TextBox& box(int index) { return site.box(index); }
  headless::TextBox& active() { return site.box(k.boxIndex()); }
  headless::Surface& surface() { return site.headlessSurface(); }
  headless::Services& services() { return form.services(); }

  headless::Form form;
  headless::ControlSite site{form};
  headless::TextBox elsewhere{form};  // a box outside the control, to move focus to
  Kestrin k{site};
  RecordingEvents events;
};

}  // namespace kestrinx::testing
