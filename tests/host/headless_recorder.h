// Event recorder shared by the headless host tests: logs every text box event in order and
// lets a test act inside a handler.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/widgets.h"

namespace kestrinx::headless::testing {

struct Recorder : host::TextBoxEvents {
  std::vector<std::string> log;
  std::function<void(std::int16_t, host::ChangeSource)> change;
  std::function<void(std::int16_t&, std::int16_t&)> keyDown;
  std::function<void(std::int16_t&)> keyPress;
  std::function<void(std::int16_t)> gotFocus, lostFocus;

  void onChange(std::int16_t i, host::ChangeSource s) override {
    log.push_back(std::string(s == host::ChangeSource::UserEdit ? "Change:user" : "Change:program") + "#" +
                  std::to_string(i));
    if (change) change(i, s);
  }
  void onGotFocus(std::int16_t i) override {
    log.push_back("GotFocus#" + std::to_string(i));
    if (gotFocus) gotFocus(i);
  }
  void onLostFocus(std::int16_t i) override {
    log.push_back("LostFocus#" + std::to_string(i));
    if (lostFocus) lostFocus(i);
  }
  void onKeyDown(std::int16_t, std::int16_t& code, std::int16_t& shift) override {
    log.push_back("KeyDown " + std::to_string(code) + "/" + std::to_string(shift));
    if (keyDown) keyDown(code, shift);
  }
  void onKeyPress(std::int16_t, std::int16_t& ascii) override {
    log.push_back("KeyPress " + std::to_string(ascii));
    if (keyPress) keyPress(ascii);
  }
  void onKeyUp(std::int16_t, std::int16_t& code, std::int16_t& shift) override {
    log.push_back("KeyUp " + std::to_string(code) + "/" + std::to_string(shift));
  }
  void onClick(std::int16_t) override { log.push_back("Click"); }

  int count(const std::string& prefix) const {
    int n = 0;
    for (const auto& e : log) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
};

}  // namespace kestrinx::headless::testing
