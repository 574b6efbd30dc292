// The behaviour suites that hold on every host run through this: one Kestrin on a host (the
// headless one, and the Qt one when the tests are built with Qt), placed, typed into and left as
// a user does it, with the clock fixed and beeps and message boxes recorded. `HostTest` is the
// fixture, instantiated once per host:
//
//   TEST_P(MySuite, ...) { placeNew(); focusBox(); type("123"); leave(); ... }
//   INSTANTIATE_TEST_SUITE_P(Hosts, MySuite, ::testing::ValuesIn(hostsUnderTest()), HostName());
//
// What only the headless host can do (failure injection, its exact metrics) stays in suites on
// `KestrinTest` (kestrin_fixture.h).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "control/kestrin.h"
#include "forms/form_file.h"
#include "host/headless/keys.h"
#include "host/headless/services.h"
#include "support/kestrin_fixture.h"

namespace kestrinx::testing {

// One control, created and initialised, on a host; a box outside it to move focus to.
class HostUnderTest {
 public:
  virtual ~HostUnderTest() = default;

  virtual Kestrin& control() = 0;
  virtual host::TextBox& box(int index) = 0;
  virtual host::Surface& surface() = 0;
  virtual host::Label& label() = 0;
  // The names the control reported to its container as changed, since the last clearRecords.
  virtual std::vector<std::string> changedProperties() = 0;

  // Keyboard focus into element `index` of the box pair, or to the box outside the control.
  virtual void focusBox(int index) = 0;
  virtual void leave() = 0;
  // Keys as a user types them into the focused box.
  virtual void type(const std::string& text) = 0;
  virtual void press(headless::Key key) = 0;

  // The container paints the control, as a form does once properties have changed.
  virtual void paint() = 0;
  // What the host shows outside the control's own rectangle (a host with a screen compares the
  // box's and caption's pixels with the control's); empty when all of it is inside.
  virtual std::vector<std::string> shownOutside() { return {}; }
  // The logical DPI the host shows the control at (0 for a host without a screen).
  virtual int logicalDpi() { return 0; }

  // The width of `text` in `font` in twips, measured as this host measures (not through the
  // control).
  virtual values::Twips textWidth(const values::Font& font, const std::string& text) = 0;

  virtual void setNow(int year, int month, int day, int hour, int minute, int second) = 0;
  // Beeps and message boxes since the last clearRecords (message boxes answered OK).
  virtual int beeps() = 0;
  virtual std::vector<headless::MessageRecord> messages() = 0;
  virtual void clearRecords() = 0;

  // A further control on this host with the same instance name, read from saved properties
  // (Initialize, ReadProperties), then given the size it was saved with.
  Kestrin& open(std::vector<forms::FormEntry>& saved, values::Twips width, values::Twips height);

 protected:
  struct Another {
    Kestrin& control;
    host::Surface& surface;
  };
  // A further control, created on a new site of this host that lives as long as the host.
  virtual Another another() = 0;
};

struct HostKind {
  std::string name;
  std::function<std::unique_ptr<HostUnderTest>()> make;
};
// The headless host, then every other host this test program is built with.
std::vector<HostKind> hostsUnderTest();
std::unique_ptr<HostUnderTest> makeHeadlessHost();

inline void PrintTo(const HostKind& kind, std::ostream* os) { *os << kind.name; }

struct HostName {
  std::string operator()(const ::testing::TestParamInfo<HostKind>& info) const { return info.param.name; }
};

// A control on the host of the test's parameter, its events recorded.
class HostTest : public ::testing::TestWithParam<HostKind> {
 protected:
  HostTest();
  ~HostTest() override;

  // Places the control as a designer does (InitProperties), then forgets what this recorded.
  void placeNew();
  void focusBox(int index) { host_->focusBox(index); }
  void focusBox() { host_->focusBox(k.boxIndex()); }
  void leave() { host_->leave(); }
  void type(const std::string& s) { host_->type(s); }
  void press(headless::Key key) { host_->press(key); }
  // Focuses the active box, types `s`, leaves the box.
  void enterAndLeave(const std::string& s);
  // Forgets events, beeps, message boxes and property-change records.
  void clearRecords();

  HostUnderTest& host() { return *host_; }
  host::TextBox& box(int index) { return host_->box(index); }
  host::TextBox& active() { return host_->box(k.boxIndex()); }

  std::unique_ptr<HostUnderTest> host_;
  Kestrin& k;
  RecordingEvents events;
};

}  // namespace kestrinx::testing
