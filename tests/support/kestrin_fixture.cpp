#include "support/kestrin_fixture.h"

#include <algorithm>

namespace kestrinx::testing {

void RecordingEvents::Change() {
  ++changes;
  log.push_back("Change");
  if (onChange) onChange();
}

void RecordingEvents::KeyDown(std::int16_t& code, std::int16_t& shift) {
  log.push_back("KeyDown:" + std::to_string(code));
  if (onKeyDown) onKeyDown(code, shift);
}

void RecordingEvents::KeyPress(std::int16_t& ascii) {
  log.push_back("KeyPress:" + std::to_string(ascii));
  if (onKeyPress) onKeyPress(ascii);
}

void RecordingEvents::KeyUp(std::int16_t& code, std::int16_t& shift) {
  log.push_back("KeyUp:" + std::to_string(code));
  if (onKeyUp) onKeyUp(code, shift);
}

void RecordingEvents::MouseDown(std::int16_t& b, std::int16_t& s, float& x, float& y) {
  log.push_back("MouseDown");
  if (onMouse) onMouse(b, s, x, y);
}

void RecordingEvents::MouseMove(std::int16_t& b, std::int16_t& s, float& x, float& y) {
  log.push_back("MouseMove");
  if (onMouse) onMouse(b, s, x, y);
}

void RecordingEvents::MouseUp(std::int16_t& b, std::int16_t& s, float& x, float& y) {
  log.push_back("MouseUp");
  if (onMouse) onMouse(b, s, x, y);
}

void RecordingEvents::OLECompleteDrag(std::int32_t& effect) {
  log.push_back("OLECompleteDrag");
  if (onEffect) onEffect(effect);
}

void RecordingEvents::OLEDragDrop(values::DataObjectRef&, std::int32_t& effect, std::int16_t&, std::int16_t&, float&,
                                  float&) {
  log.push_back("OLEDragDrop");
  if (onEffect) onEffect(effect);
}

void RecordingEvents::OLEDragOver(values::DataObjectRef&, std::int32_t& effect, std::int16_t&, std::int16_t&, float&,
                                  float&, std::int16_t&) {
  log.push_back("OLEDragOver");
  if (onEffect) onEffect(effect);
}

std::vector<std::string> RecordingEvents::only(const std::string& prefix) const {
  std::vector<std::string> out;
  std::copy_if(log.begin(), log.end(), std::back_inserter(out),
               [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
  return out;
}

KestrinTest::KestrinTest() {
  k.Initialize();
  k.connect(&events);
}

KestrinTest::~KestrinTest() { form.focus(nullptr); }

void KestrinTest::placeNew() {
  k.InitProperties();
  surface().clearChangedProperties();
  events.log.clear();
  events.changes = 0;
  services().clearRecords();
}

void KestrinTest::focusBox(int index) { form.focus(&site.box(index)); }

void KestrinTest::leave() { form.focus(&elsewhere); }

void KestrinTest::enterAndLeave(const std::string& s) {
  focusBox(k.boxIndex());
  form.type(s);
  leave();
}

}  // namespace kestrinx::testing
