// A control's events at the C boundary: sinks connected through its connection point, each
// event reaching every sink with its arguments by reference, a sink's change reaching the box.
#include <deque>
#include <string>
#include <vector>

#include "runtime/runtime_fixture.h"

namespace kestrinx::testing {
namespace {

class EventsTest : public RuntimeTest {
 protected:
  void SetUp() override {
    control_ = newControl();
    Ref<KxConnectionPointContainer> container;
    ASSERT_EQ(control_->lpVtbl->QueryInterface(control_.get(), &kContainerId, container.out()), KX_S_OK);
    ASSERT_EQ(container->lpVtbl->FindConnectionPoint(container.get(), &kKestrinEvents,
                                                     reinterpret_cast<KxConnectionPoint**>(point_.out())),
              KX_S_OK);
  }
  std::uint32_t advise(Sink& sink) {
    std::uint32_t cookie = 0;
    EXPECT_EQ(point_->lpVtbl->Advise(point_.get(), sink.unknown(), &cookie), KX_S_OK);
    return cookie;
  }
  // Types into the control's active box as a user does.
  void type(const std::string& keys) {
    headless::ControlSite& site = hostOf(control_.get()).headlessSite();
    hostOf(control_.get()).form().focus(&site.box(control(control_.get()).boxIndex()));
    hostOf(control_.get()).form().type(keys);
  }
  std::string text() { return control(control_.get()).get_Text(); }
  // A sink that outlives the control: the control releases its sinks when it goes.
  Sink& newSink() { return sinks_.emplace_back(); }

  std::deque<Sink> sinks_;  // before the control, so destroyed after it
  Ref<KxDispatch> control_;
  Ref<KxConnectionPoint> point_;
};

// Sets the KeyPress argument (the only one) to `code`.
std::function<void(std::int32_t, KxDispParams&)> keyAsciiBecomes(std::int16_t code) {
  return [code](std::int32_t id, KxDispParams& p) {
    if (id != 8) return;
    ASSERT_EQ(p.cArgs, 1u);
    ASSERT_EQ(p.rgvarg[0].vt, KX_VT_BYREF | KX_VT_I2);
    *p.rgvarg[0].piVal = code;
  };
}

TEST_F(EventsTest, ASinkThatZeroesKeyAsciiDiscardsTheKey) {
  Sink& sink = newSink();
  sink.act = keyAsciiBecomes(0);
  advise(sink);
  put(control_.get(), "Text", Var::str(""));
  type("ab");
  EXPECT_EQ(text(), "");
}

TEST_F(EventsTest, ASinkThatChangesKeyAsciiInsertsItsKeyAndTheNextSinkSeesIt) {
  Sink& first = newSink();
  Sink& second = newSink();
  first.act = keyAsciiBecomes('x');
  std::vector<std::int16_t> seen;
  second.act = [&](std::int32_t id, KxDispParams& p) {
    if (id == 8) seen.push_back(*p.rgvarg[0].piVal);
  };
  advise(first);
  advise(second);
  put(control_.get(), "Text", Var::str(""));
  first.events.clear();
  second.events.clear();
  type("a");
  EXPECT_EQ(text(), "x");
  EXPECT_EQ(seen, std::vector<std::int16_t>{'x'});
  // KeyDown, KeyPress, Change, KeyUp in that order, to both.
  EXPECT_EQ(first.events, (std::vector<std::int32_t>{7, 8, 1, 9}));
  EXPECT_EQ(second.events, first.events);
}

TEST_F(EventsTest, ArgumentsGoLastFirstEachByReferenceToItsType) {
  Sink& sink = newSink();
  std::vector<KxVarType> types;
  sink.act = [&](std::int32_t id, KxDispParams& p) {
    if (id != 10) return;  // MouseDown: Button, Shift, X, Y
    for (std::uint32_t i = 0; i < p.cArgs; ++i) types.push_back(p.rgvarg[i].vt);
    *p.rgvarg[3].piVal = 2;  // Button, changed for the sinks after this one
  };
  Sink& after = newSink();
  std::int16_t button = 0;
  after.act = [&](std::int32_t id, KxDispParams& p) {
    if (id == 10) button = *p.rgvarg[3].piVal;
  };
  advise(sink);
  advise(after);
  hostOf(control_.get()).headlessSite().box(0).mouseDown(1, 0, 10.5f, 20.5f);
  EXPECT_EQ(types, (std::vector<KxVarType>{KX_VT_BYREF | KX_VT_R4, KX_VT_BYREF | KX_VT_R4, KX_VT_BYREF | KX_VT_I2,
                                           KX_VT_BYREF | KX_VT_I2}));
  EXPECT_EQ(button, 2);
}

TEST_F(EventsTest, SinksComeAndGoByCookie) {
  // `all` stays connected throughout: what it hears is what a connected sink hears.
  Sink all, a, b, c;
  advise(all);
  const std::uint32_t ca = advise(a), cb = advise(b), cc = advise(c);
  EXPECT_NE(ca, 0u);
  EXPECT_TRUE(ca != cb && cb != cc && ca != cc);
  EXPECT_EQ(b.refs, 2);  // the connection holds one reference
  EXPECT_EQ(point_->lpVtbl->Unadvise(point_.get(), cb), KX_S_OK);
  EXPECT_EQ(b.refs, 1);
  EXPECT_EQ(point_->lpVtbl->Unadvise(point_.get(), cb), KX_CONNECT_E_NOCONNECTION);
  put(control_.get(), "Text", Var::str("changed"));
  ASSERT_FALSE(all.events.empty());
  EXPECT_EQ(a.events, all.events);
  EXPECT_TRUE(b.events.empty());
  EXPECT_EQ(c.events, all.events);
  // A sink that disconnects another during an event: the other hears no more of it.
  for (Sink* s : {&all, &a, &c}) s->events.clear();
  a.act = [&](std::int32_t, KxDispParams&) { point_->lpVtbl->Unadvise(point_.get(), cc); };
  put(control_.get(), "Text", Var::str("again"));
  EXPECT_EQ(a.events, all.events);
  EXPECT_TRUE(c.events.empty());
  // A cookie is never given twice, and a sink connected twice hears each event twice.
  const std::uint32_t again = advise(a);
  EXPECT_GT(again, cc);
  a.act = nullptr;
  for (Sink* s : {&all, &a}) s->events.clear();
  put(control_.get(), "Text", Var::str("twice"));
  EXPECT_EQ(a.events.size(), 2 * all.events.size());
  // The control lets its sinks go when it goes.
  point_.reset();
  control_.reset();
  EXPECT_EQ(a.refs, 1);
  EXPECT_EQ(all.refs, 1);
}

TEST_F(EventsTest, TheConnectionPointNamesItsInterfaceAndRefusesWhatIsNotASink) {
  KxGuid iid{};
  EXPECT_EQ(point_->lpVtbl->GetConnectionInterface(point_.get(), &iid), KX_S_OK);
  EXPECT_TRUE(kx_guid_equal(&iid, &kKestrinEvents));
  std::uint32_t cookie = 7;
  Ref<KxPropertyPage> page = newPage();  // answers neither the event interface nor dispatch
  EXPECT_EQ(point_->lpVtbl->Advise(point_.get(), reinterpret_cast<KxUnknown*>(page.get()), &cookie),
            KX_CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  Ref<KxConnectionPointContainer> container;
  ASSERT_EQ(control_->lpVtbl->QueryInterface(control_.get(), &kContainerId, container.out()), KX_S_OK);
  Ref<KxConnectionPoint> none;
  EXPECT_EQ(container->lpVtbl->FindConnectionPoint(container.get(), &kDispatchId,
                                                   reinterpret_cast<KxConnectionPoint**>(none.out())),
            KX_CONNECT_E_NOCONNECTION);
}

}  // namespace
}  // namespace kestrinx::testing
