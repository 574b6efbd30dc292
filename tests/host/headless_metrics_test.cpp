// Text metrics of the headless host, and the label and surface that measure with them.
#include <gtest/gtest.h>

#include "host/headless/headless.h"

namespace kestrinx::headless {
namespace {

struct WidthRow {
  const char* name;
  const char* font;
  float size;
  bool bold;
  std::string text;
  float width;
};

// Widths worked out by hand: size * 20 twips per em, advances in sixteenths of an em.
const WidthRow kWidths[] = {
    {"default font, instance name", "MS Sans Serif", 8.25f, false, "Kestrin1", 618.75f},  // 60/16 of 165
    {"narrow characters", "MS Sans Serif", 8.25f, false, "Wil.", 247.5f},                 // 12+4+4+4
    {"wide characters", "MS Sans Serif", 8.25f, false, "%m@", 371.25f},                   // 3 * 12
    {"empty text", "MS Sans Serif", 8.25f, false, "", 0.0f},
    {"a byte above 127 is an ordinary character", "Arial", 10.0f, false, "\xE9", 100.0f},
    {"bold adds one sixteenth to each character", "Arial", 10.0f, true, "ab", 225.0f},  // 2 * 9 of 200
    {"fixed pitch ignores the character", "Courier New", 12.0f, false, "iW ", 450.0f},   // 3 * 10 of 240
    {"fixed pitch bold", "Courier New", 12.0f, true, "iW ", 495.0f},
    {"fixed pitch found in any case", "DejaVu Sans MONO", 10.0f, false, "li", 250.0f},
    {"fixed pitch by 'Fixed'", "fixedsys", 10.0f, false, "m", 125.0f},
};

TEST(TextMetrics, WidthFollowsTheDocumentedRule) {
  for (const auto& row : kWidths) {
    const auto font = values::makeFont(row.font, row.size, row.bold);
    EXPECT_FLOAT_EQ(textWidth(*font, row.text), row.width) << row.name;
  }
}

TEST(TextMetrics, LineHeightIsOnePointTwoEm) {
  EXPECT_FLOAT_EQ(lineHeight(*values::makeFont("MS Sans Serif", 8.25f)), 198.0f);
  EXPECT_FLOAT_EQ(lineHeight(*values::makeFont("Courier New", 12.0f, true)), 288.0f);
}

TEST(Label, SizesItselfToCaptionAndFont) {
  Label label;
  label.setCaption("Name");  // N a m e: 8 + 8 + 12 + 8 sixteenths of 165
  EXPECT_FLOAT_EQ(label.width(), 371.25f);
  EXPECT_FLOAT_EQ(label.height(), 198.0f);

  label.setFont(values::makeFont("Arial", 10.0f, true));
  EXPECT_FLOAT_EQ(label.width(), 500.0f);  // 9 + 9 + 13 + 9 of 200
  EXPECT_FLOAT_EQ(label.height(), 240.0f);
}

TEST(Label, SizeSetByHandLastsUntilTheNextCaptionOrFont) {
  Label label;
  label.setCaption("Name");
  label.setWidth(1000);
  label.move(10, 20, std::nullopt, 500);
  EXPECT_FLOAT_EQ(label.width(), 1000.0f);
  EXPECT_FLOAT_EQ(label.height(), 500.0f);
  EXPECT_FLOAT_EQ(label.left(), 10.0f);

  label.setCaption("Name");
  EXPECT_FLOAT_EQ(label.width(), 371.25f);
  EXPECT_FLOAT_EQ(label.height(), 198.0f);
  EXPECT_FLOAT_EQ(label.left(), 10.0f);  // position is not the label's to change
}

TEST(Label, RejectsNoFontAndKeepsItsOwn) {
  Label label;
  const auto before = label.font();
  try {
    label.setFont(nullptr);
    FAIL() << "no error";
  } catch (const values::AutomationError& e) {
    EXPECT_EQ(e.number(), values::err::ObjectRequired);
  }
  EXPECT_EQ(label.font(), before);
}

TEST(SurfaceMetrics, TextWidthUsesTheSurfaceFont) {
  Surface surface("Kestrin1");
  EXPECT_FLOAT_EQ(surface.textWidth(" "), 41.25f);
  EXPECT_FLOAT_EQ(surface.textWidth("  ") - surface.textWidth(" "), 41.25f);
  // The surface font starts as its own copy of the ambient font: changing one leaves the other.
  EXPECT_NE(surface.font(), surface.ambientFont());
  surface.font()->bold = true;
  EXPECT_FALSE(surface.ambientFont()->bold);
  EXPECT_FLOAT_EQ(surface.textWidth(" "), 51.5625f);  // 5/16 of 165
}

}  // namespace
}  // namespace kestrinx::headless
