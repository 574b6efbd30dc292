// The headless control surface: synchronous Resize, property-change records, handles.
#include <gtest/gtest.h>

#include <functional>

#include "headless_recorder.h"
#include "host/headless/headless.h"
#include "support/test_helpers.h"

namespace kestrinx::headless {
namespace {

using kestrinx::testing::errorOf;

struct SurfaceRecorder : host::SurfaceEvents {
  std::vector<std::string> log;
  std::function<void()> resize;
  Surface* surface = nullptr;
  void onResize() override {
    log.push_back("Resize " + std::to_string(static_cast<int>(surface->width())) + "x" +
                  std::to_string(static_cast<int>(surface->height())));
    if (resize) resize();
  }
  void onPaint() override { log.push_back("Paint"); }
};

class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() {
    events.surface = &surface;
    surface.setEventSink(&events);
  }
  Surface surface{"Kestrin7"};
  SurfaceRecorder events;
};

TEST_F(SurfaceTest, StartsAsADesignedControlAtRunTime) {
  EXPECT_EQ(surface.extenderName(), "Kestrin7");
  EXPECT_FLOAT_EQ(surface.width(), 2560.0f);
  EXPECT_FLOAT_EQ(surface.height(), 360.0f);
  EXPECT_EQ(surface.ambientUserMode(), values::True);
  EXPECT_EQ(surface.ambientFont()->name, "MS Sans Serif");
  EXPECT_FLOAT_EQ(surface.ambientFont()->size, 8.25f);
  EXPECT_EQ(surface.scaleMode(), 1);
}

TEST_F(SurfaceTest, ResizeIsRaisedAtOnceAndOnlyForARealChange) {
  surface.setWidth(2560);
  surface.setWidth(3000);
  surface.setHeight(400);
  surface.resize(3000, 400);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Resize 3000x360", "Resize 3000x400"}));
  EXPECT_EQ(surface.resizeEvents(), 2);
}

// The control lays itself out once for the container's new size: a fit it makes then is not
// undone by the container setting the other side afterwards.
TEST_F(SurfaceTest, ContainerResizeSetsBothSidesThenRaisesOneResize) {
  surface.resize(1000, 500);
  surface.resize(1000, 500);
  surface.resize(1000, 600);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Resize 1000x500", "Resize 1000x600"}));
}

TEST_F(SurfaceTest, ResizeHandlerThatResizesAgainGetsANestedResize) {
  // The handler keeps the control at least 1000 wide, as a layout fitting its content would.
  events.resize = [&] {
    if (surface.width() < 1000) surface.setWidth(1000);
  };
  surface.setWidth(500);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Resize 500x360", "Resize 1000x360"}));
  EXPECT_FLOAT_EQ(surface.width(), 1000.0f);
  EXPECT_EQ(surface.resizeEvents(), 2);
}

TEST_F(SurfaceTest, RunawayResizeFailsWithOutOfStackSpace) {
  events.resize = [&] { surface.setWidth(surface.width() + 1); };
  EXPECT_EQ(errorOf([&] { surface.setWidth(0); }), 28);
  events.resize = nullptr;
  events.log.clear();
  surface.setHeight(10);
  EXPECT_EQ(events.log.size(), 1u);
}

TEST_F(SurfaceTest, NegativeSizeIsRefusedAndKeepsTheOldSize) {
  EXPECT_EQ(errorOf([&] { surface.setWidth(-1); }), values::err::InvalidPropertyValue);
  EXPECT_FLOAT_EQ(surface.width(), 2560.0f);
  EXPECT_TRUE(events.log.empty());
}

TEST_F(SurfaceTest, PropertyChangedRecordsNamesInOrder) {
  surface.propertyChanged("Caption");
  surface.propertyChanged("Text");
  surface.propertyChanged("Caption");
  EXPECT_EQ(surface.changedProperties(), (std::vector<std::string>{"Caption", "Text", "Caption"}));
  surface.clearChangedProperties();
  EXPECT_TRUE(surface.changedProperties().empty());
}

TEST_F(SurfaceTest, WindowHandlesAreNonZeroAndDistinct) {
  Surface other("Kestrin8");
  EXPECT_NE(surface.hWnd(), 0);
  EXPECT_NE(other.hWnd(), 0);
  EXPECT_NE(surface.hWnd(), other.hWnd());
}

TEST_F(SurfaceTest, FontMustBeAnObject) {
  const auto bold = values::makeFont("Arial", 10.0f, true);
  surface.setFont(bold);
  EXPECT_EQ(surface.font(), bold);
  EXPECT_EQ(errorOf([&] { surface.setFont(nullptr); }), values::err::ObjectRequired);
  EXPECT_EQ(surface.font(), bold);
}

TEST_F(SurfaceTest, InjectedFailuresStopTheControlsCallsNotTheContainers) {
  surface.setFailure("textWidth", 5);
  surface.setFailure("setWidth");
  surface.setFailure("propertyChanged", 91);
  EXPECT_EQ(errorOf([&] { surface.textWidth("a"); }), 5);
  EXPECT_EQ(errorOf([&] { surface.setWidth(10); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(errorOf([&] { surface.propertyChanged("Text"); }), 91);
  EXPECT_TRUE(surface.changedProperties().empty());
  surface.resize(10, 20);
  EXPECT_FLOAT_EQ(surface.width(), 10.0f);
  surface.clearFailures();
  EXPECT_FLOAT_EQ(surface.textWidth("a"), 82.5f);
}

}  // namespace
}  // namespace kestrinx::headless
