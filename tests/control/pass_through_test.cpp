// Text-box members passed through to the txtKestrin elements: which element a get reads, which
// elements a put writes and in what order, the name reported to the host, the element's own
// refusals and failures, the three methods and the re-raised element events.
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "support/kestrin_fixture.h"

namespace kestrinx::testing {
namespace {

using Names = std::vector<std::string>;
using Types = std::initializer_list<std::int32_t>;

// ScrollBars is read-only: the control publishes no put for it.
template <typename K>
concept HasScrollBarsPut = requires(K& c) { c.put_ScrollBars(std::int16_t{}); };
static_assert(!HasScrollBarsPut<Kestrin>);

std::string show(const std::string& s) { return '"' + s + '"'; }
std::string show(std::int16_t v) { return std::to_string(v); }
std::string show(std::int32_t v) { return std::to_string(v); }
std::string show(const values::PictureRef& p) { return p ? p->source : std::string("none"); }

values::PictureRef picture(const std::string& source) {
  auto p = std::make_shared<values::Picture>();
  p->type = 3;
  p->source = source;
  return p;
}

enum class Writes { BothElements, ActiveOnly, Nothing };

// One passed-through property: how to give an element a value, how to read it back from the
// element and from the control, and what a put does.
struct PassThrough {
  const char* name;
  Writes writes;
  const char* failingMember;                                // the element setter a put calls
  std::function<void(headless::TextBox&, int)> give;        // value 0 or 1 (distinct), 2 the start value
  std::function<std::string(headless::TextBox&)> element;  // the element's own member
  std::function<std::string(headless::TextBox&)> written;  // what a put leaves in the element
  std::function<std::string(const Kestrin&)> get;
  std::function<void(Kestrin&)> put;
  std::string putValue;  // `written` of an element after the put
};

template <typename T, typename Arg>
PassThrough member(const char* name, Writes writes, const char* failingMember,
                   T (headless::TextBox::*elementGet)() const, void (headless::TextBox::*elementSet)(Arg),
                   T (Kestrin::*get)() const, void (Kestrin::*put)(Arg), std::type_identity_t<T> a,
                   std::type_identity_t<T> b, std::type_identity_t<T> start, std::type_identity_t<T> value) {
  auto read = [elementGet](headless::TextBox& box) { return show((box.*elementGet)()); };
  return PassThrough{
      name,
      writes,
      failingMember,
      [=](headless::TextBox& box, int which) { (box.*elementSet)(which == 0 ? a : which == 1 ? b : start); },
      read,
      read,
      [get](const Kestrin& k) { return show((k.*get)()); },
      [put, value](Kestrin& k) { (k.*put)(value); },
      show(value),
  };
}

// Selection members need text to select in; each value sets the text first.
PassThrough selectionMember(const char* name, const char* failingMember,
                            std::function<void(headless::TextBox&, std::int32_t)> select,
                            std::function<std::string(headless::TextBox&)> element,
                            std::function<std::string(const Kestrin&)> get, std::function<void(Kestrin&)> put,
                            std::function<std::string(headless::TextBox&)> written, std::string putValue) {
  return PassThrough{
      name,
      Writes::ActiveOnly,
      failingMember,
      [select](headless::TextBox& box, int which) {
        static const char* kTexts[] = {"0123456789", "abcdefghij", "klmnopqrst"};
        box.setText(kTexts[which]);
        select(box, which + 1);
      },
      element,
      written,
      get,
      put,
      std::move(putValue),
  };
}

const std::vector<PassThrough>& passThroughRows() {
  using B = Boolean;
  using TB = headless::TextBox;
  using K = Kestrin;
  static const std::vector<PassThrough> rows = {
      member<B, B>("Locked", Writes::BothElements, "setLocked", &TB::locked, &TB::setLocked, &K::get_Locked,
                   &K::put_Locked, values::True, values::False, values::False, values::True),
      member<std::int32_t, std::int32_t>("MaxLength", Writes::BothElements, "setMaxLength", &TB::maxLength,
                                         &TB::setMaxLength, &K::get_MaxLength, &K::put_MaxLength, 10, 20, 0, 7),
      member<values::PictureRef, values::PictureRef>(
          "MouseIcon", Writes::BothElements, "setMouseIcon", &TB::mouseIcon, &TB::setMouseIcon, &K::get_MouseIcon,
          &K::putref_MouseIcon, picture("icon-a"), picture("icon-b"), nullptr, picture("icon-put")),
      member<std::int16_t, std::int16_t>("MousePointer", Writes::BothElements, "setMousePointer",
                                         &TB::mousePointer, &TB::setMousePointer, &K::get_MousePointer,
                                         &K::put_MousePointer, 1, 2, 0, 11),
      member<B, B>("Enabled", Writes::BothElements, "setEnabled", &TB::enabled, &TB::setEnabled, &K::get_Enabled,
                   &K::put_Enabled, values::True, values::False, values::True, values::False),
      PassThrough{"ScrollBars", Writes::Nothing, "",
                  [](TB& box, int which) { box.setScrollBars(static_cast<std::int16_t>(which + 1)); },
                  [](TB& box) { return show(box.scrollBars()); }, [](TB& box) { return show(box.scrollBars()); },
                  [](const K& k) { return show(k.get_ScrollBars()); }, [](K&) {}, ""},
      selectionMember(
          "SelLength", "setSelLength", [](TB& box, std::int32_t n) {
            box.setSelStart(1);
            box.setSelLength(n);
          },
          [](TB& box) { return show(box.selLength()); }, [](const K& k) { return show(k.get_SelLength()); },
          [](K& k) { k.put_SelLength(5); }, [](TB& box) { return show(box.selLength()); }, "5"),
      selectionMember(
          "SelStart", "setSelStart", [](TB& box, std::int32_t n) { box.setSelStart(n); },
          [](TB& box) { return show(box.selStart()); }, [](const K& k) { return show(k.get_SelStart()); },
          [](K& k) { k.put_SelStart(6); }, [](TB& box) { return show(box.selStart()); }, "6"),
      selectionMember(
          "SelText", "setSelText", [](TB& box, std::int32_t n) {
            box.setSelStart(n);
            box.setSelLength(2);
          },
          [](TB& box) { return show(box.selText()); }, [](const K& k) { return show(k.get_SelText()); },
          [](K& k) { k.put_SelText("XY"); }, [](TB& box) { return show(box.text()); },
          show(std::string("klmXYpqrst"))),
      member<std::string, const std::string&>("Text", Writes::BothElements, "setText", &TB::text, &TB::setText,
                                              &K::get_Text, &K::put_Text, "from a", "from b", "start", "put"),
      member<std::int16_t, std::int16_t>("LinkMode", Writes::BothElements, "setLinkMode", &TB::linkMode,
                                         &TB::setLinkMode, &K::get_LinkMode, &K::put_LinkMode, 1, 2, 0, 3),
      member<std::string, const std::string&>("LinkItem", Writes::BothElements, "setLinkItem", &TB::linkItem,
                                              &TB::setLinkItem, &K::get_LinkItem, &K::put_LinkItem, "R1C1", "R2C2",
                                              "", "R3C3"),
      member<std::string, const std::string&>("LinkTopic", Writes::BothElements, "setLinkTopic", &TB::linkTopic,
                                              &TB::setLinkTopic, &K::get_LinkTopic, &K::put_LinkTopic, "app|a",
                                              "app|b", "", "app|put"),
      member<std::int16_t, std::int16_t>("LinkTimeout", Writes::BothElements, "setLinkTimeout", &TB::linkTimeout,
                                         &TB::setLinkTimeout, &K::get_LinkTimeout, &K::put_LinkTimeout, 10, 20,
                                         50, 99),
      member<std::int16_t, std::int16_t>("OLEDragMode", Writes::ActiveOnly, "setOleDragMode", &TB::oleDragMode,
                                         &TB::setOleDragMode, &K::get_OLEDragMode, &K::put_OLEDragMode, 1, 0, 0,
                                         1),
      member<std::int16_t, std::int16_t>("OLEDropMode", Writes::ActiveOnly, "setOleDropMode", &TB::oleDropMode,
                                         &TB::setOleDropMode, &K::get_OLEDropMode, &K::put_OLEDropMode, 1, 2, 0,
                                         2),
  };
  return rows;
}

class PassThroughTest : public KestrinTest {
 protected:
  PassThroughTest() { placeNew(); }
  const Names& changed() { return surface().changedProperties(); }
  // Chooses the active element, then forgets what that caused.
  void useAppearance(std::int32_t appearance) {
    k.put_Appearance(appearance);
    surface().clearChangedProperties();
    events.log.clear();
    events.changes = 0;
  }
};

struct AppearanceCase {
  std::int32_t appearance;
  int active;
  const char* label;
};
const AppearanceCase kAppearances[] = {{ThreeD, 0, "three-dimensional"}, {Flat, 1, "flat"}};

TEST_F(PassThroughTest, GetsReadTheActiveElement) {
  for (const PassThrough& row : passThroughRows()) {
    for (const AppearanceCase& a : kAppearances) {
      SCOPED_TRACE(std::string(row.name) + ", " + a.label);
      useAppearance(a.appearance);
      row.give(box(0), 0);
      row.give(box(1), 1);
      ASSERT_NE(row.element(box(0)), row.element(box(1))) << "the row's values must tell the elements apart";
      EXPECT_EQ(row.get(k), row.element(box(a.active)));
    }
  }
}

TEST_F(PassThroughTest, PutsWriteTheListedElementsAndReportTheirOwnName) {
  for (const PassThrough& row : passThroughRows()) {
    if (row.writes == Writes::Nothing) continue;
    for (const AppearanceCase& a : kAppearances) {
      SCOPED_TRACE(std::string(row.name) + ", " + a.label);
      useAppearance(a.appearance);
      row.give(box(0), 2);
      row.give(box(1), 2);
      const std::string start = row.written(box(0));
      surface().clearChangedProperties();

      row.put(k);

      const bool hiddenWritten = row.writes == Writes::BothElements;
      EXPECT_EQ(row.written(box(a.active)), row.putValue);
      EXPECT_EQ(row.written(box(1 - a.active)), hiddenWritten ? row.putValue : start);
      EXPECT_EQ(changed(), Names{row.name});
    }
  }
}

TEST_F(PassThroughTest, AFailingFirstWriteLeavesEveryElementAndReportsNothing) {
  for (const PassThrough& row : passThroughRows()) {
    if (row.writes == Writes::Nothing) continue;
    for (const AppearanceCase& a : kAppearances) {
      SCOPED_TRACE(std::string(row.name) + ", " + a.label);
      useAppearance(a.appearance);
      row.give(box(0), 2);
      row.give(box(1), 2);
      const std::string start = row.written(box(0));
      surface().clearChangedProperties();
      // Both-element puts write element 1 first; the others write only the active element.
      const int first = row.writes == Writes::BothElements ? 1 : a.active;
      box(first).setFailure(row.failingMember, values::err::InvalidProcedureCall);
      try {
        row.put(k);
        ADD_FAILURE() << "the element's failure did not reach the caller";
      } catch (const values::AutomationError& e) {
        EXPECT_EQ(e.number(), values::err::InvalidProcedureCall);
      }
      box(first).clearFailures();
      EXPECT_EQ(row.written(box(0)), start);
      EXPECT_EQ(row.written(box(1)), start);
      EXPECT_TRUE(changed().empty());
    }
  }
}

TEST_F(PassThroughTest, ValuesTheElementRefusesReachTheCallerUnchanged) {
  struct Row {
    const char* behaviour;
    std::function<void(Kestrin&)> put;
    std::function<std::string(headless::TextBox&)> element;
  };
  const Row rows[] = {
      {"negative MaxLength", [](Kestrin& c) { c.put_MaxLength(-1); },
       [](headless::TextBox& b) { return show(b.maxLength()); }},
      {"unknown MousePointer", [](Kestrin& c) { c.put_MousePointer(50); },
       [](headless::TextBox& b) { return show(b.mousePointer()); }},
      {"unknown LinkMode", [](Kestrin& c) { c.put_LinkMode(7); },
       [](headless::TextBox& b) { return show(b.linkMode()); }},
      {"unknown OLEDragMode", [](Kestrin& c) { c.put_OLEDragMode(2); },
       [](headless::TextBox& b) { return show(b.oleDragMode()); }},
      {"negative SelStart", [](Kestrin& c) { c.put_SelStart(-1); },
       [](headless::TextBox& b) { return show(b.selStart()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.behaviour);
    const std::string before0 = row.element(box(0)), before1 = row.element(box(1));
    try {
      row.put(k);
      ADD_FAILURE() << "the value was not refused";
    } catch (const values::AutomationError& e) {
      EXPECT_EQ(e.number(), values::err::InvalidPropertyValue);
    }
    EXPECT_EQ(row.element(box(0)), before0);
    EXPECT_EQ(row.element(box(1)), before1);
    EXPECT_TRUE(changed().empty());
  }
}

TEST_F(PassThroughTest, MouseIconIsTheSameObjectInBothElementsAndOnRead) {
  const values::PictureRef icon = picture("cursor");
  k.putref_MouseIcon(icon);
  EXPECT_EQ(box(0).mouseIcon().get(), icon.get());
  EXPECT_EQ(box(1).mouseIcon().get(), icon.get());
  EXPECT_EQ(k.get_MouseIcon().get(), icon.get());
}

TEST_F(PassThroughTest, LockedSurvivesAnAppearanceSwitch) {
  useAppearance(ThreeD);
  k.put_Locked(values::True);
  k.put_Appearance(Flat);
  EXPECT_EQ(k.boxIndex(), 1);
  EXPECT_EQ(k.get_Locked(), values::True);
  k.put_Appearance(ThreeD);
  k.put_Locked(values::False);
  k.put_Appearance(Flat);
  EXPECT_EQ(k.get_Locked(), values::False);
}

TEST_F(PassThroughTest, MaxLengthIsIgnoredWhileTheBoxHoldsADate) {
  k.put_MaxLength(5);
  k.put_KestrinType(DATE_TYPE);
  surface().clearChangedProperties();
  k.put_MaxLength(8);
  EXPECT_EQ(box(0).maxLength(), 5);
  EXPECT_EQ(box(1).maxLength(), 5);
  EXPECT_EQ(k.get_MaxLength(), 5);
  EXPECT_TRUE(changed().empty());

  for (std::int32_t type : Types{TIME_TYPE, NUMERIC_TYPE, NORMAL_TYPE, 7}) {
    SCOPED_TRACE(type);
    k.put_KestrinType(type);
    surface().clearChangedProperties();
    k.put_MaxLength(8 + type);
    EXPECT_EQ(box(0).maxLength(), 8 + type);
    EXPECT_EQ(box(1).maxLength(), 8 + type);
    EXPECT_EQ(changed(), Names{"MaxLength"});
  }
}

// ---- Text --------------------------------------------------------------------------------------

TEST_F(PassThroughTest, TextPutIsAChangeOfEachElementAndIsReportedAfterBoth) {
  k.put_ColorEditUse(values::True);
  useAppearance(Flat);
  std::vector<std::size_t> reportedAtChange;
  events.onChange = [&] { reportedAtChange.push_back(changed().size()); };
  k.put_Text("hello");
  EXPECT_EQ(events.changes, 2);
  EXPECT_EQ(reportedAtChange, (std::vector<std::size_t>{0, 0}));
  EXPECT_EQ(changed(), Names{"Text"});
  EXPECT_EQ(box(0).backColor(), k.get_ColorEdit());
  EXPECT_EQ(box(1).backColor(), k.get_ColorEdit());

  // An unchanged text is no text change.
  k.put_Text("hello");
  EXPECT_EQ(events.changes, 2);
}

TEST_F(PassThroughTest, TextPutOfANumericBoxComesBackGroupedAndAligned) {
  k.put_KestrinType(NUMERIC_TYPE);
  const Boolean validState = k.get_ValidState();
  useAppearance(ThreeD);
  k.put_Text("1234567");

  // Trailing digits grouped; as many leading spaces as fit the box (whole space widths).
  const values::Font& font = *active().font();
  const double space = std::nearbyint(headless::textWidth(font, "  ") - headless::textWidth(font, " "));
  const double grouped = std::nearbyint(headless::textWidth(font, "1,234,567"));
  const auto pad = static_cast<std::size_t>(std::trunc((active().width() - grouped) / space));
  EXPECT_EQ(k.get_Text(), std::string(pad, ' ') + "1,234,567");
  EXPECT_EQ(box(1).text(), "1234567") << "the hidden element keeps the text as put";
  EXPECT_EQ(events.changes, 2) << "one Change per element whose text changed";
  EXPECT_EQ(changed(), Names{"Text"});
  EXPECT_EQ(k.get_ValidState(), validState);

  k.put_NumAlignment(LEFT_ALIGN);
  k.put_Text("7654321");
  EXPECT_EQ(k.get_Text(), "7,654,321");
}

TEST_F(PassThroughTest, FailingElementOneTextWriteLeavesElementZeroUnwritten) {
  k.put_Text("before");
  surface().clearChangedProperties();
  events.changes = 0;
  box(1).setFailure("setText");
  EXPECT_THROW(k.put_Text("after"), values::AutomationError);
  EXPECT_EQ(box(0).text(), "before");
  EXPECT_EQ(box(1).text(), "before");
  EXPECT_EQ(events.changes, 0);
  EXPECT_TRUE(changed().empty());
}

TEST_F(PassThroughTest, ChangeHandlerThatAlwaysSetsANewTextEndsAtTheNestingLimit) {
  // An application mistake: every Change sets another text. Each Text put writes both
  // elements and the control ignores its Change event's failure, so the chain must end once
  // the host's nesting limit is reached rather than retry it from every level.
  events.onChange = [&] { k.put_Text(k.get_Text() + "1"); };
  k.put_Text("a");
  EXPECT_LT(events.changes, 1000);

  events.onChange = nullptr;
  events.changes = 0;
  k.put_Text("b");  // the control works as before
  EXPECT_EQ(k.get_Text(), "b");
  EXPECT_EQ(box(1).text(), "b");
  EXPECT_EQ(events.changes, 2);
}

// ---- methods -----------------------------------------------------------------------------------

TEST_F(PassThroughTest, MethodsGoToTheActiveElementOnlyAndReportNothing) {
  struct Row {
    const char* name;
    const char* elementMember;
    void (Kestrin::*call)();
    int (headless::TextBox::*count)() const;
  };
  const Row rows[] = {
      {"LinkSend", "linkSend", &Kestrin::LinkSend, &headless::TextBox::linkSends},
      {"LinkRequest", "linkRequest", &Kestrin::LinkRequest, &headless::TextBox::linkRequests},
      {"OLEDrag", "oleDrag", &Kestrin::OLEDrag, &headless::TextBox::oleDrags},
  };
  for (const Row& row : rows) {
    for (const AppearanceCase& a : kAppearances) {
      SCOPED_TRACE(std::string(row.name) + ", " + a.label);
      useAppearance(a.appearance);
      const int before0 = (box(0).*row.count)(), before1 = (box(1).*row.count)();
      (k.*row.call)();
      EXPECT_EQ((box(a.active).*row.count)(), (a.active == 0 ? before0 : before1) + 1);
      EXPECT_EQ((box(1 - a.active).*row.count)(), a.active == 0 ? before1 : before0);
      EXPECT_TRUE(changed().empty());

      box(a.active).setFailure(row.elementMember, values::err::InvalidProcedureCall);
      try {
        (k.*row.call)();
        ADD_FAILURE() << "the element's failure did not reach the caller";
      } catch (const values::AutomationError& e) {
        EXPECT_EQ(e.number(), values::err::InvalidProcedureCall);
      }
      box(a.active).clearFailures();
    }
  }
}

// ---- events ------------------------------------------------------------------------------------

TEST_F(PassThroughTest, ClicksOfEitherElementAreRaised) {
  box(0).click();
  box(1).dblClick();
  box(1).click();
  EXPECT_EQ(events.log, (Names{"Click", "DblClick", "Click"}));
}

TEST_F(PassThroughTest, MouseEventsCarryTheElementsOwnArguments) {
  struct Row {
    const char* name;
    void (headless::TextBox::*send)(std::int16_t, std::int16_t, float, float);
  };
  const Row rows[] = {
      {"MouseDown", &headless::TextBox::mouseDown},
      {"MouseMove", &headless::TextBox::mouseMove},
      {"MouseUp", &headless::TextBox::mouseUp},
  };
  for (const Row& row : rows) {
    for (int index : {0, 1}) {
      SCOPED_TRACE(std::string(row.name) + " on element " + std::to_string(index));
      events.log.clear();
      std::int16_t button = 0, shift = 0;
      float x = 0, y = 0;
      events.onMouse = [&](std::int16_t& b, std::int16_t& s, float& ex, float& ey) {
        button = b;
        shift = s;
        x = ex;
        y = ey;
      };
      // The element sits at (960, 0) on the control; the coordinates stay the element's own.
      (box(index).*row.send)(2, 3, 30.5f, 12.25f);
      EXPECT_EQ(events.log, Names{row.name});
      EXPECT_EQ(button, 2);
      EXPECT_EQ(shift, 3);
      EXPECT_EQ(x, 30.5f);
      EXPECT_EQ(y, 12.25f);
    }
  }
}

TEST_F(PassThroughTest, AnEffectChangedByTheApplicationReachesTheElement) {
  const auto data = std::make_shared<values::DataObject>();
  data->setData(values::DataObject::TextFormat, "dropped");
  for (int index : {0, 1}) {
    SCOPED_TRACE(index);
    events.onEffect = nullptr;
    EXPECT_EQ(box(index).dragOver(data, 3, 1, 0, 5, 6, 2), 3) << "an untouched effect comes back as given";
    events.onEffect = [](std::int32_t& effect) { effect = 1; };
    EXPECT_EQ(box(index).dragOver(data, 3, 1, 0, 5, 6, 2), 1);
    events.onEffect = [](std::int32_t& effect) { effect = 0; };
    EXPECT_EQ(box(index).dragDrop(data, 3, 1, 0, 5, 6), 0);
    events.onEffect = [](std::int32_t& effect) { effect = 2; };
    EXPECT_EQ(box(index).completeDrag(1), 2);
  }
  EXPECT_EQ(events.only("OLE"), (Names{"OLEDragOver", "OLEDragOver", "OLEDragDrop", "OLECompleteDrag", "OLEDragOver",
                                        "OLEDragOver", "OLEDragDrop", "OLECompleteDrag"}));
}

TEST_F(PassThroughTest, StartDragFeedbackAndSetDataAreNeverRaised) {
  const auto data = std::make_shared<values::DataObject>();
  for (std::int16_t mode : {std::int16_t{0}, std::int16_t{1}}) {
    k.put_OLEDragMode(mode);
    k.OLEDrag();
    for (int index : {0, 1}) {
      box(index).dragOver(data, 1, 1, 0, 0, 0, 0);
      box(index).dragDrop(data, 1, 1, 0, 0, 0);
      box(index).completeDrag(1);
    }
  }
  // Also when a host does deliver those element events, straight to the control's element-event
  // interface (a private base: reached with a cast that ignores access, for this test only).
  auto& elementEvents = (host::TextBoxEvents&)k;
  values::DataObjectRef ref = data;
  std::int32_t effect = 1;
  Boolean defaultCursors = values::True;
  std::int16_t format = 1;
  for (std::int16_t index : {std::int16_t{0}, std::int16_t{1}}) {
    elementEvents.onOLEStartDrag(index, ref, effect);
    elementEvents.onOLEGiveFeedback(index, effect, defaultCursors);
    elementEvents.onOLESetData(index, ref, format);
  }
  EXPECT_TRUE(events.only("OLEStartDrag").empty());
  EXPECT_TRUE(events.only("OLEGiveFeedback").empty());
  EXPECT_TRUE(events.only("OLESetData").empty());
}

}  // namespace
}  // namespace kestrinx::testing
