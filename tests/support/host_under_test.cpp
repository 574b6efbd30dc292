#include "support/host_under_test.h"

#include <list>

#include "forms/form_property_bag.h"
#include "host/headless/headless.h"

namespace kestrinx::testing {

namespace {

class HeadlessHost final : public HostUnderTest {
 public:
  HeadlessHost() { k_.Initialize(); }
  ~HeadlessHost() override { form_.focus(nullptr); }

  Kestrin& control() override { return k_; }
  host::TextBox& box(int index) override { return site_.box(index); }
  host::Surface& surface() override { return site_.headlessSurface(); }
  host::Label& label() override { return site_.label(); }
  std::vector<std::string> changedProperties() override {
    return site_.headlessSurface().changedProperties();
  }
  void focusBox(int index) override { form_.focus(&site_.box(index)); }
  void leave() override { form_.focus(&elsewhere_); }
  void type(const std::string& text) override { form_.type(text); }
  void paint() override { site_.headlessSurface().paint(); }
  void press(headless::Key key) override { form_.press(key); }
  values::Twips textWidth(const values::Font& font, const std::string& text) override {
    return headless::textWidth(font, text);
  }
  void setNow(int year, int month, int day, int hour, int minute, int second) override {
    form_.services().setNow(year, month, day, hour, minute, second);
  }
  int beeps() override { return form_.services().beeps(); }
  std::vector<headless::MessageRecord> messages() override { return form_.services().messages(); }
  void clearRecords() override {
    form_.services().clearRecords();
    site_.headlessSurface().clearChangedProperties();
  }
  Another another() override {
    Opened& o = opened_.emplace_back(form_);
    return {o.k, o.site.headlessSurface()};
  }

 private:
  struct Opened {
    explicit Opened(headless::Form& form) : site(form, "Kestrin1") {}
    headless::ControlSite site;
    Kestrin k{site};
  };
  headless::Form form_;
  headless::ControlSite site_{form_};
  headless::TextBox elsewhere_{form_};
  Kestrin k_{site_};
  std::list<Opened> opened_;
};

}  // namespace

Kestrin& HostUnderTest::open(std::vector<forms::FormEntry>& saved, values::Twips width, values::Twips height) {
  const Another o = another();
  o.control.Initialize();
  forms::FormPropertyBag bag(saved);
  o.control.ReadProperties(bag);
  o.surface.setWidth(width);
  o.surface.setHeight(height);
  return o.control;
}

std::unique_ptr<HostUnderTest> makeHeadlessHost() { return std::make_unique<HeadlessHost>(); }

HostTest::HostTest() : host_(GetParam().make()), k(host_->control()) { k.connect(&events); }

HostTest::~HostTest() { k.disconnect(&events); }

void HostTest::placeNew() {
  k.InitProperties();
  clearRecords();
}

void HostTest::clearRecords() {
  host_->clearRecords();
  events.log.clear();
  events.changes = 0;
}

void HostTest::enterAndLeave(const std::string& s) {
  focusBox();
  type(s);
  leave();
}

}  // namespace kestrinx::testing
