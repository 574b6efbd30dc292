// Placement of caption and box on the headless host's exact metrics.
//
// Metrics used throughout: the caption "Kestrin1" in the label's 8.25 pt font is 60 sixteenths
// of a 165-twip em = 618.75 wide and 198 high. After placeNew() (gap 80, caption at the top
// left) the box stands at 698.75 and fills the rest of a 2350.75 x 360 surface: 1652 x 8.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/kestrin_fixture.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using Names = std::vector<std::string>;


struct Rect {
  float left, top, width, height;
  friend bool operator==(const Rect&, const Rect&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
  }
};

Rect rectOf(const host::Positioned& w) { return {w.left(), w.top(), w.width(), w.height()}; }

constexpr float kLW = 618.75f;   // "Kestrin1"
constexpr float kLH = 198.0f;
constexpr float kLW12 = 701.25f;  // "Kestrin12"
constexpr float kBoxLeft = 698.75f;
constexpr float kBoxW = 1652.0f;
// A placed control's box is as high as InitProperties's Font put asks: the 8.25-point size cut
// to a whole number, taken as twips (the headless host keeps any height it is given).
constexpr float kBoxH = 8.0f;
constexpr float kSurfaceH = 360.0f;
constexpr float kSurfaceW = 2350.75f;

class LayoutTest : public KestrinTest {
 protected:
  void SetUp() override { placeNew(); }
  Rect caption() { return rectOf(site.label()); }
  Rect activeRect() { return rectOf(active()); }
  Rect outer() { return {0, 0, surface().width(), surface().height()}; }
  Names notified() { return surface().changedProperties(); }
};

TEST_F(LayoutTest, NewControlFitsTheCaptionAndStretchesTheBox) {
  EXPECT_EQ(caption(), (Rect{0, 0, kLW, kLH}));
  EXPECT_EQ(activeRect(), (Rect{kBoxLeft, 0, kBoxW, kBoxH}));
  EXPECT_EQ(outer(), (Rect{0, 0, kSurfaceW, kSurfaceH}));
  EXPECT_EQ(k.get_Interval(), 80);
  EXPECT_EQ(k.captionChanged(), values::False);
  EXPECT_EQ(k.inLayout(), values::False);
}

// ---- the nine positions and values outside them ------------------------------------------

struct PositionRow {
  const char* name;
  friend void PrintTo(const PositionRow& r, std::ostream* os) { *os << r.name; }
  std::int32_t alignment;
  float captionLeft, captionTop, boxTop;
};

class CaptionPositions : public LayoutTest, public ::testing::WithParamInterface<PositionRow> {};

// The surface grows to 600 high, then to 4000 wide. The second run places the caption using
// the box's width from before it (1652), then stretches the box from its new left edge. The
// box stands at the top, in the middle or at the bottom of the control as the caption does.
TEST_P(CaptionPositions, PlaceCaptionThenBoxBesideIt) {
  const PositionRow& row = GetParam();
  k.put_Alignment(row.alignment);
  surface().resize(kSurfaceW, 600);
  surface().resize(4000, 600);

  EXPECT_EQ(k.get_Alignment(), row.alignment);
  EXPECT_EQ(caption(), (Rect{row.captionLeft, row.captionTop, kLW, kLH}));
  const float boxLeft = row.captionLeft + kLW + 80;
  EXPECT_EQ(activeRect(), (Rect{boxLeft, row.boxTop, 4000 - (kLW + 80), kBoxH}));
  EXPECT_EQ(outer(), (Rect{0, 0, 4000, 600}));
}

constexpr float kCentre = (4000 - kSurfaceW) / 2;  // 824.625
constexpr float kRight = 4000 - kSurfaceW;        // 1649.25
constexpr float kMiddle = (600 - kLH) / 2;        // 201
constexpr float kBottom = 600 - kLH;              // 402
constexpr float kBoxMiddle = (600 - kBoxH) / 2;   // 296
constexpr float kBoxBottom = 600 - kBoxH;         // 592

INSTANTIATE_TEST_SUITE_P(
    Layout, CaptionPositions,
    ::testing::Values(PositionRow{"LeftTop", LeftTop, 0, 0, 0},
                      PositionRow{"LeftMiddle", LeftMiddle, 0, kMiddle, kBoxMiddle},
                      PositionRow{"LeftBottom", LeftBottom, 0, kBottom, kBoxBottom},
                      PositionRow{"CenterTop", CenterTop, kCentre, 0, 0},
                      PositionRow{"CenterMiddle", CenterMiddle, kCentre, kMiddle, kBoxMiddle},
                      PositionRow{"CenterBottom", CenterBottom, kCentre, kBottom, kBoxBottom},
                      PositionRow{"RightTop", RightTop, kRight, 0, 0},
                      PositionRow{"RightMiddle", RightMiddle, kRight, kMiddle, kBoxMiddle},
                      PositionRow{"RightBottom", RightBottom, kRight, kBottom, kBoxBottom},
                      PositionRow{"NineLeavesCaptionAtOrigin", 9, 0, 0, 0},
                      PositionRow{"MinusOneLeavesCaptionAtOrigin", -1, 0, 0, 0}),
    RowName());

class OutOfRangeAlignment : public LayoutTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(OutOfRangeAlignment, KeepsTheCaptionWhereItWasAndStillPlacesTheBox) {
  k.put_Alignment(CenterBottom);
  surface().resize(kSurfaceW, 600);
  surface().resize(4000, 600);
  const Rect before = caption();
  ASSERT_EQ(before, (Rect{kCentre, kBottom, kLW, kLH}));

  k.put_Alignment(GetParam());
  surface().resize(5000, 600);

  EXPECT_EQ(k.get_Alignment(), GetParam());
  EXPECT_EQ(caption(), before);
  EXPECT_EQ(activeRect(), (Rect{kCentre + kLW + 80, kBottom, 5000 - (kLW + 80), kBoxH}));
}

INSTANTIATE_TEST_SUITE_P(Layout, OutOfRangeAlignment, ::testing::Values(9, -1, 0x7fffffff));

// The container's size is kept, also one too small for the content: the caption stands out.
TEST_F(LayoutTest, CaptionTallerThanSurfaceGetsNegativeTop) {
  k.put_Alignment(LeftMiddle);
  surface().resize(kSurfaceW, 100);
  EXPECT_EQ(outer().height, 100.0f);
  EXPECT_EQ(caption().top, -49.0f);  // (100 - 198) / 2
  EXPECT_EQ(activeRect().top, 46.0f);  // (100 - 8) / 2
}

TEST_F(LayoutTest, SurfaceNarrowerThanCaptionAndGapGivesBoxWidthZero) {
  surface().resize(500, kSurfaceH);
  EXPECT_EQ(activeRect(), (Rect{kBoxLeft, 0, 0, kBoxH}));
}

// ---- caption shown and hidden --------------------------------------------------------------

TEST_F(LayoutTest, HidingTheCaptionGivesTheBoxTheWholeWidth) {
  k.put_CaptionView(values::False);

  EXPECT_FALSE(site.label().visible());
  EXPECT_EQ(k.get_Caption(), "");
  EXPECT_EQ(caption().left, 0.0f);
  EXPECT_EQ(caption().width, 0.0f);
  EXPECT_EQ(k.get_Interval(), 0);
  EXPECT_EQ(activeRect(), (Rect{0, 0, kSurfaceW, kBoxH}));
  EXPECT_EQ(notified(), Names{"CaptionView"});
}

TEST_F(LayoutTest, IntervalIsIgnoredWhileTheCaptionIsHidden) {
  k.put_CaptionView(values::False);
  surface().clearChangedProperties();

  k.put_Interval(300);
  EXPECT_EQ(k.get_Interval(), 0);
  EXPECT_EQ(activeRect().left, 0.0f);
  EXPECT_EQ(notified(), Names{});

  // Showing the caption again restores neither its text nor the gap; Interval works again.
  k.put_CaptionView(values::True);
  EXPECT_TRUE(site.label().visible());
  EXPECT_EQ(k.get_Caption(), "");
  EXPECT_EQ(k.get_Interval(), 0);
  k.put_Interval(300);
  EXPECT_EQ(k.get_Interval(), 300);
  EXPECT_EQ(activeRect(), (Rect{300, 0, kSurfaceW - 300, kBoxH}));
}

TEST_F(LayoutTest, CaptionSetWhileHiddenFitsTheOuterWidthWithoutGap) {
  k.put_CaptionView(values::False);
  k.put_Caption("Kestrin12");

  EXPECT_FALSE(site.label().visible());
  EXPECT_EQ(k.get_Caption(), "Kestrin12");
  EXPECT_EQ(caption().width, kLW12);
  EXPECT_EQ(activeRect(), (Rect{0, 0, kSurfaceW, kBoxH}));
  EXPECT_EQ(outer().width, kLW12 + kSurfaceW);
  EXPECT_EQ(notified(), (Names{"CaptionView", "Caption"}));

  // The invisible caption's width does not narrow the box.
  surface().resize(4000, kSurfaceH);
  EXPECT_EQ(activeRect(), (Rect{0, 0, 4000, kBoxH}));
}

// ---- BoxWidthLock ------------------------------------------------------------------------

TEST_F(LayoutTest, BoxWidthLockOnlyStores) {
  box(0).move(5, 5);
  k.put_BoxWidthLock(values::True);
  EXPECT_EQ(k.get_BoxWidthLock(), values::True);
  EXPECT_EQ(activeRect(), (Rect{5, 5, kBoxW, kBoxH}));
  EXPECT_EQ(notified(), Names{"BoxWidthLock"});
}

struct LockRow {
  const char* name;
  friend void PrintTo(const LockRow& r, std::ostream* os) { *os << r.name; }
  float surfaceWidth;
  std::int32_t interval;
};

class LockedResize : public LayoutTest, public ::testing::WithParamInterface<LockRow> {};

// The gap becomes SW - (BL + BW) + I = SW - 2270.75, rounded half to even, never below 0.
TEST_P(LockedResize, BoxKeepsItsWidthAndTheGapIsRecomputed) {
  k.put_BoxWidthLock(values::True);
  surface().resize(GetParam().surfaceWidth, kSurfaceH);

  EXPECT_EQ(k.get_Interval(), GetParam().interval);
  EXPECT_EQ(activeRect(), (Rect{kLW + static_cast<float>(GetParam().interval), 0, kBoxW, kBoxH}));
  EXPECT_EQ(caption(), (Rect{0, 0, kLW, kLH}));
}

INSTANTIATE_TEST_SUITE_P(Layout, LockedResize,
                         ::testing::Values(LockRow{"Wider", 3000, 729},          // 729.25
                                           LockRow{"HalfRoundsUpToEven", 3000.25f, 730},    // 729.5
                                           LockRow{"HalfRoundsDownToEven", 3001.25f, 730},  // 730.5
                                           LockRow{"NarrowerClampsGapToZero", 1000, 0}),    // -1270.75
                         RowName());

// ---- the re-entry guard ------------------------------------------------------------------

// Fitting the outer width raises Resize inside the run. A nested run would place the caption
// again against the new width (at 0); the guarded one leaves the first run's result.
TEST_F(LayoutTest, ResizeRaisedDuringARunChangesNothing) {
  k.put_Alignment(RightTop);
  const int resizes = surface().resizeEvents();

  k.put_Caption("Kestrin12");

  EXPECT_EQ(surface().resizeEvents(), resizes + 1);
  EXPECT_EQ(outer().width, kLW12 + 80 + kBoxW);                      // 2433.25
  EXPECT_EQ(caption().left, kSurfaceW - (kLW12 + kBoxW + 80));       // -82.5
  EXPECT_EQ(activeRect(), (Rect{kBoxLeft, 0, kBoxW, kBoxH}));        // -82.5 + 701.25 + 80
  EXPECT_EQ(k.inLayout(), values::False);
  EXPECT_EQ(k.captionChanged(), values::False);
}

// ---- AutoSize ------------------------------------------------------------------------------

struct AutoSizeRow {
  const char* name;
  friend void PrintTo(const AutoSizeRow& r, std::ostream* os) { *os << r.name; }
  bool captionShown;
  std::int32_t interval;
  float width, height;
};

class AutoSizeFit : public LayoutTest, public ::testing::WithParamInterface<AutoSizeRow> {};

// A locked box 1652 (shown) or 2350.75 (hidden) wide on a 3000 x 600 surface, then AutoSize:
// as high as the caption (taller than the box) while it shows, else as the box.
TEST_P(AutoSizeFit, OuterSizeBecomesCaptionGapAndBoxOrBoxAlone) {
  if (!GetParam().captionShown) k.put_CaptionView(values::False);
  k.put_BoxWidthLock(values::True);
  surface().resize(kSurfaceW, 600);
  surface().resize(3000, 600);
  ASSERT_EQ(k.get_Interval(), GetParam().interval);
  surface().clearChangedProperties();

  k.put_AutoSize(values::True);

  EXPECT_EQ(outer(), (Rect{0, 0, GetParam().width, GetParam().height}));
  EXPECT_EQ(k.sizeFlag(), values::False);
  EXPECT_EQ(notified(), Names{"AutoSize"});
}

INSTANTIATE_TEST_SUITE_P(Layout, AutoSizeFit,
                         ::testing::Values(AutoSizeRow{"CaptionShown", true, 729, kLW + kBoxW + 729, kLH},
                                           AutoSizeRow{"CaptionHidden", false, 649, kSurfaceW, kBoxH}),
                         RowName());

// ---- BoxWidth ----------------------------------------------------------------------------

TEST_F(LayoutTest, NegativeBoxWidthBecomesZeroForBothElements) {
  k.put_BoxWidth(-100);
  EXPECT_EQ(box(0).width(), 0.0f);
  EXPECT_EQ(box(1).width(), 0.0f);
  EXPECT_EQ(k.get_BoxWidth(), 0);
  EXPECT_EQ(outer().width, kLW + 80);
  EXPECT_EQ(notified(), Names{"BoxWidth"});
}

TEST_F(LayoutTest, BoxWidthReadsBackUntilTheContainerResizes) {
  k.put_BoxWidth(1000);
  EXPECT_EQ(k.get_BoxWidth(), 1000);
  EXPECT_EQ(box(1).width(), 1000.0f);
  EXPECT_EQ(outer().width, kLW + 80 + 1000);

  surface().resize(3000, kSurfaceH);
  EXPECT_EQ(k.get_BoxWidth(), 2301);  // 2301.25
}

TEST_F(LayoutTest, BoxWidthGetRoundsHalfToEven) {
  surface().resize(2999.25f, kSurfaceH);  // box 2300.5
  EXPECT_EQ(k.get_BoxWidth(), 2300);
  surface().resize(3000.25f, kSurfaceH);  // box 2301.5
  EXPECT_EQ(k.get_BoxWidth(), 2302);
}

// ---- notification order and plain propagation in the setters -----------------------------

// With the notification refused, a setter that notifies before its layout stops before the
// layout; one that notifies after it has already laid out.
TEST_F(LayoutTest, CaptionNotifiesBeforeTheLayoutRuns) {
  surface().setFailure("propertyChanged");
  EXPECT_THROW(k.put_Caption("Kestrin12"), values::AutomationError);
  EXPECT_EQ(k.get_Caption(), "Kestrin12");
  EXPECT_EQ(k.captionChanged(), values::False);
  EXPECT_EQ(outer().width, kSurfaceW);
  EXPECT_EQ(activeRect().left, kBoxLeft);
}

TEST_F(LayoutTest, CaptionViewNotifiesBeforeTheLayoutRuns) {
  surface().setFailure("propertyChanged");
  EXPECT_THROW(k.put_CaptionView(values::False), values::AutomationError);
  EXPECT_EQ(k.get_Interval(), 0);
  EXPECT_EQ(activeRect().left, kBoxLeft);
}

TEST_F(LayoutTest, IntervalAndAlignmentLayOutBeforeTheyNotify) {
  surface().setFailure("propertyChanged");
  EXPECT_THROW(k.put_Interval(200), values::AutomationError);
  EXPECT_EQ(activeRect().left, kLW + 200);
  EXPECT_THROW(k.put_Alignment(LeftBottom), values::AutomationError);
  EXPECT_EQ(caption().top, kSurfaceH - kLH);
  EXPECT_EQ(notified(), Names{});
}

TEST_F(LayoutTest, BoxWidthStopsAtARefusedElement) {
  box(1).setFailure("setWidth");
  EXPECT_THROW(k.put_BoxWidth(1000), values::AutomationError);
  EXPECT_EQ(box(0).width(), kBoxW);  // element 1 is written first
  EXPECT_EQ(outer().width, kSurfaceW);
  EXPECT_EQ(notified(), Names{});
}

TEST_F(LayoutTest, CaptionViewStopsAtARefusedCaption) {
  site.label().setFailure("setCaption");
  EXPECT_THROW(k.put_CaptionView(values::False), values::AutomationError);
  EXPECT_EQ(k.get_CaptionView(), values::False);
  EXPECT_FALSE(site.label().visible());
  EXPECT_EQ(k.get_Interval(), 80);
  EXPECT_EQ(notified(), Names{});
}

// ---- resume-next inside the layout --------------------------------------------------------

TEST_F(LayoutTest, RefusedCaptionMoveIsSkippedAndTheRunGoesOn) {
  k.put_Alignment(RightTop);
  site.label().setFailure("move");
  surface().resize(3000, kSurfaceH);
  EXPECT_EQ(caption().left, 0.0f);  // would have gone to 649.25
  EXPECT_EQ(activeRect(), (Rect{kBoxLeft, 0, 3000 - (kLW + 80), kBoxH}));
  EXPECT_EQ(k.inLayout(), values::False);
}

TEST_F(LayoutTest, RefusedBoxMoveIsSkippedAndTheWidthStillFits) {
  box(0).setFailure("move");
  EXPECT_NO_THROW(k.put_Caption("Kestrin12"));
  EXPECT_EQ(activeRect().left, kBoxLeft);
  EXPECT_EQ(outer().width, kLW12 + 80 + kBoxW);
  EXPECT_EQ(k.captionChanged(), values::False);
  EXPECT_EQ(k.inLayout(), values::False);
  EXPECT_EQ(notified(), Names{"Caption"});
}

TEST_F(LayoutTest, RefusedOuterWidthIsSkippedAndTheHeightStillFits) {
  surface().resize(kSurfaceW, 600);
  surface().setFailure("setWidth");
  EXPECT_NO_THROW(k.put_AutoSize(values::True));
  EXPECT_EQ(outer(), (Rect{0, 0, kSurfaceW, kLH}));  // as high as the caption, taller than the box
  EXPECT_EQ(k.sizeFlag(), values::False);
  EXPECT_EQ(k.inLayout(), values::False);
}

TEST_F(LayoutTest, RefusedOuterHeightIsSkippedAndTheRunEnds) {
  surface().resize(3000, 600);
  surface().setFailure("setHeight");
  EXPECT_NO_THROW(k.put_AutoSize(values::True));
  EXPECT_EQ(outer(), (Rect{0, 0, 3000, 600}));  // the width fit (unchanged) ran first
  EXPECT_EQ(k.sizeFlag(), values::False);
  EXPECT_EQ(k.inLayout(), values::False);
  EXPECT_EQ(notified(), Names{"AutoSize"});
}

TEST_F(LayoutTest, GapThatOverflowsLeavesTheIntervalUnchanged) {
  k.put_BoxWidthLock(values::True);
  box(0).setWidth(3e9f);  // SW - (BL + BW) + I is far below the 32-bit range
  k.UserControl_Paint();
  EXPECT_EQ(k.get_Interval(), 80);  // not clamped to 0: the failed computation left I alone
  EXPECT_EQ(activeRect().left, kBoxLeft);
  EXPECT_EQ(k.inLayout(), values::False);
}

TEST_F(LayoutTest, CoordinateBeyondSinglePrecisionIsSkipped) {
  k.put_BoxWidthLock(values::True);
  surface().resize(kSurfaceW, 600);
  site.label().setWidth(3e38f);
  box(0).setWidth(3e38f);
  EXPECT_NO_THROW(k.put_AutoSize(values::True));  // caption + gap + box exceeds a single
  EXPECT_EQ(outer(), (Rect{0, 0, kSurfaceW, kLH}));
  EXPECT_EQ(k.inLayout(), values::False);
}

}  // namespace
}  // namespace kestrinx::testing
