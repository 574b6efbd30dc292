// The whole box and the whole caption show inside the control, on every host: at each of the
// nine caption positions, in both appearances, for box and caption fonts from 8 to 24 points
// (and on Qt at the DPI the test runs at: ctest runs this suite at 96 and at 144 DPI).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/host_under_test.h"

namespace kestrinx::testing {
namespace {

using values::Twips;

class ContentInside : public HostTest {
 protected:
  // Where `what` (left, top, width, height in twips) stands outside the control, if it does.
  void expectInside(const char* what, Twips l, Twips t, Twips w, Twips h, const std::string& context) {
    // A quarter of a twip for single-precision sums.
    constexpr Twips kSlack = 0.25f;
    const Twips width = host().surface().width(), height = host().surface().height();
    EXPECT_TRUE(l >= -kSlack && t >= -kSlack && l + w <= width + kSlack && t + h <= height + kSlack)
        << what << " (" << l << ", " << t << ", " << w << " x " << h << ") outside " << width << " x " << height
        << " at " << context;
  }
};

TEST_P(ContentInside, BoxAndCaptionStayInsideAtEveryPositionAppearanceAndFont) {
  if (const char* dpi = std::getenv("KESTRINX_EXPECT_DPI"); dpi != nullptr && host().logicalDpi() != 0) {
    ASSERT_EQ(host().logicalDpi(), std::atoi(dpi)) << "the screen's DPI is not the one this run is for";
  }
  placeNew();
  const float sizes[] = {8, 12, 18, 24};
  for (std::int32_t alignment = LeftTop; alignment <= RightBottom; ++alignment) {
    for (std::int32_t appearance : {Flat, ThreeD}) {
      for (float boxSize : sizes) {
        for (float captionSize : {boxSize, 32 - boxSize}) {  // as large, and one small beside one large
          k.put_Alignment(alignment);
          k.put_Appearance(appearance);
          k.putref_Font(values::makeFont(std::string(values::DefaultFontName), boxSize));
          k.putref_LabelFont(values::makeFont(std::string(values::DefaultFontName), captionSize));
          host().paint();
          const std::string context = "alignment " + std::to_string(alignment) + ", appearance " +
                                      std::to_string(appearance) + ", box " + std::to_string(boxSize) +
                                      " pt, caption " + std::to_string(captionSize) + " pt";
          const host::TextBox& box = active();
          expectInside("box", box.left(), box.top(), box.width(), box.height(), context);
          const host::Label& caption = host().label();
          expectInside("caption", caption.left(), caption.top(), caption.width(), caption.height(), context);
          for (const std::string& outside : host().shownOutside()) ADD_FAILURE() << outside << " at " << context;
        }
      }
    }
  }
}

// The layout run that fits the control to its content (AutoSize) leaves both inside the fitted
// size itself, without waiting for a paint to place them again.
TEST_P(ContentInside, AnAutoSizeFitPlacesBoxAndCaptionInsideTheFittedSize) {
  placeNew();
  for (std::int32_t alignment = LeftTop; alignment <= RightBottom; ++alignment) {
    k.put_AutoSize(values::False);
    host().surface().setHeight(3000);  // far taller than the content
    k.put_Alignment(alignment);
    k.put_AutoSize(values::True);  // fits now
    const std::string context = "alignment " + std::to_string(alignment);
    ASSERT_LT(host().surface().height(), 3000.0f) << context;
    const host::TextBox& box = active();
    expectInside("box", box.left(), box.top(), box.width(), box.height(), context);
    const host::Label& caption = host().label();
    expectInside("caption", caption.left(), caption.top(), caption.width(), caption.height(), context);
  }
}

// A control only as tall as its content's needs stays so when its container keeps it smaller:
// the container's size (a saved form's) is kept; a change of what it shows grows it again.
TEST_P(ContentInside, TheContainersSizeIsKeptAndAChangeOfContentGrowsTheControl) {
  placeNew();
  k.putref_LabelFont(values::makeFont(std::string(values::DefaultFontName), 24));
  const Twips grown = host().surface().height();
  EXPECT_GE(grown, host().label().height());
  host().surface().setHeight(100);  // as a form opening a control saved 100 twips high
  host().paint();
  EXPECT_EQ(host().surface().height(), 100.0f);
  k.put_Caption("Amount");
  EXPECT_EQ(host().surface().height(), std::max(host().label().height(), active().height()));
  host().surface().setHeight(5000);  // taller than needed: kept, and never shrunk
  k.putref_LabelFont(values::makeFont(std::string(values::DefaultFontName), 8));
  EXPECT_EQ(host().surface().height(), 5000.0f);
}

INSTANTIATE_TEST_SUITE_P(Hosts, ContentInside, ::testing::ValuesIn(hostsUnderTest()), HostName());

}  // namespace
}  // namespace kestrinx::testing
