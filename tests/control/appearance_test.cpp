// Appearance, colours, fonts and AutoSize: the switch between the elements and where colours
// go on every host; layout and fonts on the headless host's metrics.
//
// After placeNew() the caption "Kestrin1" is 618.75 x 198 at the top left, the gap is 80 and
// the three-dimensional box (element 0) is 1652 x 360 at 698.75 on a 2350.75 x 360 surface.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/host_under_test.h"
#include "support/kestrin_fixture.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using Names = std::vector<std::string>;


constexpr float kLW = 618.75f;
constexpr float kLH = 198.0f;  // the caption's line height
constexpr float kBoxLeft = 698.75f;
constexpr float kBoxW = 1652.0f;
// A placed control's box is as high as InitProperties's Font put asks (8.25 points cut to 8);
// the surface keeps its design height.
constexpr float kBoxH = 8.0f;
constexpr float kSurfaceH = 360.0f;
constexpr float kSurfaceW = 2350.75f;

class AppearanceTest : public KestrinTest {
 protected:
  void SetUp() override { placeNew(); }
  Names notified() { return surface().changedProperties(); }
};

// ---- on every host: the appearance switch and where colours go ---------------------------

class AppearanceOnEveryHost : public HostTest {
 protected:
  void SetUp() override { placeNew(); }
};

TEST_P(AppearanceOnEveryHost, OnlyFlatSelectsTheFlatElement) {
  // The layout at the end places and sizes the newly active element where the placed one stands.
  const float left = box(KSTD).left(), width = box(KSTD).width();
  const struct {
    const char* name;
    std::int32_t value;
    int active;
  } rows[] = {{"Flat", Flat, KSF}, {"ThreeD", ThreeD, KSTD}, {"FiveActsAsThreeD", 5, KSTD},
              {"MinusOneActsAsThreeD", -1, KSTD}, {"FlatAgain", Flat, KSF}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    clearRecords();
    k.put_Appearance(row.value);
    EXPECT_EQ(k.get_Appearance(), row.value);
    EXPECT_EQ(k.boxIndex(), row.active);
    EXPECT_TRUE(box(row.active).visible());
    EXPECT_FALSE(box(1 - row.active).visible());
    EXPECT_EQ(box(row.active).left(), left);
    EXPECT_EQ(box(row.active).width(), width);
    EXPECT_EQ(host().changedProperties(), Names{"Appearance"});
  }
}

TEST_P(AppearanceOnEveryHost, FlatMovesEveryReadToElementOne) {
  k.put_Appearance(Flat);
  const float width = box(1).width();
  box(1).setText("flat");
  box(0).setText("raised");
  box(1).setForeColor(0x00112233u);
  auto flatFont = values::makeFont("Arial", 10);
  box(1).setFont(flatFont);
  box(0).setWidth(100);

  EXPECT_EQ(k.get_Text(), "flat");
  EXPECT_EQ(k.get_ForeColor(), 0x00112233u);
  EXPECT_EQ(k.get_Font(), flatFont);
  EXPECT_EQ(k.get_BoxWidth(), static_cast<std::int32_t>(width));
}

TEST_P(AppearanceOnEveryHost, ForeColorAndBackColorGoToBothBoxesOnly) {
  const OleColor labelColour = host().label().foreColor();
  k.put_ForeColor(0x00123456u);
  k.put_BackColor(0x00ABCDEFu);

  for (int i : {0, 1}) {
    EXPECT_EQ(box(i).foreColor(), 0x00123456u) << "element " << i;
    EXPECT_EQ(box(i).backColor(), 0x00ABCDEFu) << "element " << i;
  }
  EXPECT_EQ(k.get_ForeColor(), 0x00123456u);
  EXPECT_EQ(k.get_BackColor(), 0x00ABCDEFu);
  EXPECT_EQ(host().label().foreColor(), labelColour);
  EXPECT_EQ(host().changedProperties(), (Names{"ForeColor", "BackColor"}));
}

TEST_P(AppearanceOnEveryHost, LabelForeColorTouchesOnlyTheCaption) {
  k.put_LabelForeColor(0x000000FFu);
  EXPECT_EQ(k.get_LabelForeColor(), 0x000000FFu);
  EXPECT_EQ(host().label().foreColor(), 0x000000FFu);
  EXPECT_EQ(box(0).foreColor(), values::SystemWindowText);
  EXPECT_EQ(box(1).foreColor(), values::SystemWindowText);
  EXPECT_EQ(host().changedProperties(), Names{"LabelForeColor"});
}

INSTANTIATE_TEST_SUITE_P(Hosts, AppearanceOnEveryHost, ::testing::ValuesIn(hostsUnderTest()), HostName());

// ---- on the headless host ------------------------------------------------------------------

TEST_F(AppearanceTest, TheNewElementIsShownBeforeTheOtherIsHidden) {
  box(0).setFailure("setVisible");
  EXPECT_THROW(k.put_Appearance(Flat), values::AutomationError);
  EXPECT_EQ(k.boxIndex(), KSF);
  EXPECT_TRUE(box(1).visible());
  EXPECT_TRUE(box(0).visible());
  EXPECT_EQ(notified(), Names{});
}

TEST_F(AppearanceTest, SameValueStillNotifiesAndLaysOut) {
  box(0).move(5, 5);
  k.put_Appearance(ThreeD);
  EXPECT_EQ(box(0).left(), kBoxLeft);
  EXPECT_EQ(box(0).top(), 0.0f);
  EXPECT_EQ(notified(), Names{"Appearance"});
}

// ---- colours -------------------------------------------------------------------------------

TEST_F(AppearanceTest, BoxColoursStopAtARefusingElementOne) {
  box(1).setFailure("setForeColor");
  box(1).setFailure("setBackColor");
  EXPECT_THROW(k.put_ForeColor(0x00123456u), values::AutomationError);
  EXPECT_THROW(k.put_BackColor(0x00ABCDEFu), values::AutomationError);

  EXPECT_EQ(box(0).foreColor(), values::SystemWindowText);
  EXPECT_EQ(box(0).backColor(), values::SystemWindowBackground);
  EXPECT_EQ(k.get_BackColor(), 0x00ABCDEFu);  // the field is stored before the boxes are written
  EXPECT_EQ(notified(), Names{});
}

// ---- fonts ---------------------------------------------------------------------------------

TEST_F(AppearanceTest, LabelFontTouchesOnlyTheCaptionAndRefitsTheWidth) {
  const values::FontRef box0Font = box(0).font(), box1Font = box(1).font();
  auto f = values::makeFont("Arial", 12);  // "Kestrin1": 60/16 of a 240-twip em = 900, 288 high
  k.putref_LabelFont(f);

  EXPECT_EQ(k.get_LabelFont(), f);
  EXPECT_EQ(site.label().width(), 900.0f);
  EXPECT_EQ(box(0).font(), box0Font);
  EXPECT_EQ(box(1).font(), box1Font);
  EXPECT_EQ(box(0).left(), 980.0f);
  EXPECT_EQ(surface().width(), 900 + 80 + kBoxW);
  EXPECT_EQ(surface().height(), kSurfaceH);
  EXPECT_EQ(k.captionChanged(), values::False);
  EXPECT_EQ(notified(), Names{"LabelFont"});
}

TEST_F(AppearanceTest, FontWithAutoSizeOffWaitsThenAutoSizeFitsAtOnce) {
  const values::FontRef labelFont = site.label().font();
  auto f = values::makeFont("Arial", 12.9f);
  k.putref_Font(f);

  EXPECT_EQ(box(0).font(), f);
  EXPECT_EQ(box(1).font(), f);
  EXPECT_EQ(k.get_Font(), f);
  EXPECT_EQ(site.label().font(), labelFont);
  EXPECT_EQ(box(0).height(), 12.0f);  // point size cut to a whole number, taken as twips
  EXPECT_EQ(box(1).height(), 12.0f);
  EXPECT_EQ(surface().width(), kSurfaceW);
  EXPECT_EQ(surface().height(), kSurfaceH);
  EXPECT_EQ(k.sizeFlag(), values::True);
  EXPECT_EQ(notified(), Names{"Font"});

  k.put_AutoSize(values::True);
  EXPECT_EQ(surface().width(), kLW + kBoxW + 80);
  EXPECT_EQ(surface().height(), kLH);  // the caption, taller than the box
  EXPECT_EQ(k.sizeFlag(), values::False);
}

TEST_F(AppearanceTest, FontWithAutoSizeOnFitsToTheActiveElementsHeight) {
  k.put_Appearance(Flat);
  k.put_AutoSize(values::True);
  box(0).setFailure("setHeight");  // the hidden element keeps its height
  k.putref_Font(values::makeFont("Courier New", 300.5f));  // a box taller than the caption

  EXPECT_EQ(box(1).height(), 300.0f);
  EXPECT_EQ(box(0).height(), kBoxH);
  EXPECT_EQ(surface().height(), 300.0f);
  EXPECT_EQ(surface().width(), kLW + kBoxW + 80);
}

struct FontFailureRow {
  const char* name;
  friend void PrintTo(const FontFailureRow& r, std::ostream* os) { *os << r.name; }
  bool noFont;
  std::string boxFailure;      // member both elements refuse, or empty
  std::string surfaceFailure;  // member the surface refuses, or empty
  float height;
  Names notified;
};

class FontPutNeverFails : public AppearanceTest, public ::testing::WithParamInterface<FontFailureRow> {};

TEST_P(FontPutNeverFails, SkipsRefusedStepsAndStillRequestsTheFitAndLaysOut) {
  const FontFailureRow& row = GetParam();
  const values::FontRef original = box(0).font();
  if (!row.boxFailure.empty()) {
    box(0).setFailure(row.boxFailure);
    box(1).setFailure(row.boxFailure);
  }
  if (!row.surfaceFailure.empty()) surface().setFailure(row.surfaceFailure);
  box(0).move(5, 5);  // the layout at the end puts it back

  EXPECT_NO_THROW(k.putref_Font(row.noFont ? nullptr : values::makeFont("Arial", 14)));

  if (row.noFont || row.boxFailure == "setFont") {
    EXPECT_EQ(box(0).font(), original);
  }
  EXPECT_EQ(box(0).height(), row.height);
  EXPECT_EQ(box(1).height(), row.height);
  EXPECT_EQ(k.sizeFlag(), values::True);
  EXPECT_EQ(box(0).left(), kBoxLeft);
  EXPECT_EQ(k.inLayout(), values::False);
  EXPECT_EQ(notified(), row.notified);
}

INSTANTIATE_TEST_SUITE_P(
    Appearance, FontPutNeverFails,
    ::testing::Values(FontFailureRow{"NoFontKeepsTheOldOneAndItsHeight", true, "", "", 8, {"Font"}},
                      FontFailureRow{"ElementsRefuseTheFont", false, "setFont", "", 8, {"Font"}},
                      FontFailureRow{"ElementsRefuseTheHeight", false, "setHeight", "", kBoxH, {"Font"}},
                      FontFailureRow{"NotificationRefused", false, "", "propertyChanged", 14, {}}),
    RowName());

// ---- AutoSize and the surface's own properties ------------------------------------------

TEST_F(AppearanceTest, AutoSizeOffStillLaysOutAndLeavesTheRequestPending) {
  surface().resize(3000, 600);
  k.put_AutoSize(values::False);
  EXPECT_EQ(k.get_AutoSize(), values::False);
  EXPECT_EQ(surface().width(), 3000.0f);
  EXPECT_EQ(surface().height(), 600.0f);
  EXPECT_EQ(k.sizeFlag(), values::True);
  EXPECT_EQ(box(0).width(), 3000 - (kLW + 80));  // the layout still ran
  EXPECT_EQ(notified(), Names{"AutoSize"});

  k.put_AutoSize(values::True);
  EXPECT_EQ(surface().height(), kLH);
}

TEST_F(AppearanceTest, AutoRedrawAndHWndComeFromTheSurface) {
  k.put_AutoRedraw(values::True);
  EXPECT_EQ(surface().autoRedraw(), values::True);
  EXPECT_EQ(k.get_AutoRedraw(), values::True);
  EXPECT_EQ(k.get_hWnd(), surface().hWnd());
  EXPECT_EQ(notified(), Names{"AutoRedraw"});
}

}  // namespace
}  // namespace kestrinx::testing
