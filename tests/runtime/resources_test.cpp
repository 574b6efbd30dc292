// The library's resources: found by type and number, the identifier resources' 20-byte layout,
// the type library as the writer writes it, the toolbox bitmap's header and pixels, and the
// version block's structure and values.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "control/members.h"
#include "packaging/kestrinx_resources.h"
#include "packaging/kestrinx_typelib.h"
#include "packaging/toolbox_bitmap.h"
#include "packaging/version_info.h"
#include "propertypage/general_identity.h"

#include <gtest/gtest.h>

namespace kestrinx::packaging {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view type, std::uint16_t id) {
  const auto r = findResource(type, id);
  return r ? std::vector<std::uint8_t>(r->begin(), r->end()) : std::vector<std::uint8_t>{};
}

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

TEST(Resources, EachIsFoundByItsTypeAndNumberAndNothingElse) {
  EXPECT_EQ(resourceIds().size(), 6u);
  for (const ResourceId& r : resourceIds()) EXPECT_TRUE(findResource(r.type, r.id)) << r.type;
  EXPECT_FALSE(findResource("TYPELIB", 2));
  EXPECT_FALSE(findResource("typelib", 1));
  EXPECT_FALSE(findResource("BITMAP", 1));
  EXPECT_EQ(bytesOf("TYPELIB", 1), kestrinxTypeLibrary());
}

TEST(Resources, IdentifierResourcesAreTheLengthThenTheStandardLayout) {
  EXPECT_EQ(bytesOf("_IID_KESTRIN", 1),
            (std::vector<std::uint8_t>{0x10, 0x00, 0x00, 0x00, 0x62, 0x2C, 0xD5, 0xA7, 0xAD, 0x91, 0xD2, 0x11, 0xA2, 0x65,
                                       0x00, 0xA0, 0xC9, 0x3C, 0x92, 0x97}));
  const std::map<std::string, values::Guid> ids = {{"_SRCIID_KESTRIN", members::kEventInterfaceId},
                                                 {"_IID_GENERAL", propertypage::kGeneralInterfaceId}};
  for (const auto& [type, guid] : ids) {
    const std::vector<std::uint8_t> b = bytesOf(type, 1);
    ASSERT_EQ(b.size(), 20u) << type;
    EXPECT_EQ(le(b, 0, 4), 16u);
    EXPECT_EQ(le(b, 4, 4), guid.data1);
    EXPECT_EQ(le(b, 8, 2), guid.data2);
    EXPECT_EQ(le(b, 10, 2), guid.data3);
    EXPECT_TRUE(std::equal(guid.data4.begin(), guid.data4.end(), b.begin() + 12)) << type;
  }
}

TEST(Resources, TheToolboxBitmapIsA16By15EightBitPictureOf20Colours) {
  const std::vector<std::uint8_t> b = bytesOf("BITMAP", 30000);
  ASSERT_EQ(b.size(), 40u + 80u + 240u);
  EXPECT_EQ(le(b, 0, 4), 40u);    // BITMAPINFOHEADER
  EXPECT_EQ(le(b, 4, 4), 16u);    // width
  EXPECT_EQ(le(b, 8, 4), 15u);    // height, bottom row first
  EXPECT_EQ(le(b, 12, 2), 1u);    // planes
  EXPECT_EQ(le(b, 14, 2), 8u);    // bits per pixel
  EXPECT_EQ(le(b, 16, 4), 0u);    // no compression
  EXPECT_EQ(le(b, 20, 4), 240u);  // pixel bytes
  EXPECT_EQ(le(b, 32, 4), 20u);   // colours used
  for (std::size_t i = 120; i < b.size(); ++i) ASSERT_LT(b[i], 20) << "pixel " << i - 120;
  // The picture is more than a blank: an entry box (white) and a caption (black) both show.
  const std::vector<std::uint8_t> pixels(b.begin() + 120, b.end());
  EXPECT_GT(std::count(pixels.begin(), pixels.end(), 19), 40);
  EXPECT_GT(std::count(pixels.begin(), pixels.end(), 0), 10);
  const std::vector<std::uint8_t> file = toolboxBitmapFile();
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(le(file, 2, 4), file.size());
  EXPECT_EQ(le(file, 10, 4), 14u + 40u + 80u);
  EXPECT_TRUE(std::equal(b.begin(), b.end(), file.begin() + 14));
}

// One structure of the version block: key, type, value and children, each checked to lie inside
// its parent.
struct Block {
  std::string key;
  std::uint16_t type = 0;
  std::vector<std::uint8_t> value;
  std::vector<Block> children;
};

Block readBlock(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t end) {
  Block block;
  const std::size_t length = le(b, at, 2), valueLength = le(b, at + 2, 2);
  block.type = static_cast<std::uint16_t>(le(b, at + 4, 2));
  EXPECT_LE(at + length, end);
  std::size_t p = at + 6;
  while (le(b, p, 2) != 0) {
    block.key += static_cast<char>(le(b, p, 2));
    p += 2;
  }
  p = (p + 2 + 3) & ~std::size_t{3};
  const std::size_t valueBytes = block.type == 1 ? valueLength * 2 : valueLength;
  block.value.assign(b.begin() + static_cast<std::ptrdiff_t>(p), b.begin() + static_cast<std::ptrdiff_t>(p + valueBytes));
  p = (p + valueBytes + 3) & ~std::size_t{3};
  while (p < at + length) {
    block.children.push_back(readBlock(b, p, at + length));
    p = (p + le(b, p, 2) + 3) & ~std::size_t{3};
  }
  return block;
}

TEST(Resources, TheVersionBlockHoldsTheVersionsNamesAndTranslation) {
  const std::vector<std::uint8_t> b = bytesOf("VERSION", 1);
  ASSERT_GE(b.size(), 92u);
  EXPECT_EQ(le(b, 0, 2), b.size());
  const Block root = readBlock(b, 0, b.size());
  EXPECT_EQ(root.key, "VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), 52u);
  EXPECT_EQ(le(root.value, 0, 4), 0xFEEF04BDu);
  EXPECT_EQ(le(root.value, 8, 4), 0x00010000u);  // file version 1.0
  EXPECT_EQ(le(root.value, 12, 4), 0u);          //              .0.0
  EXPECT_EQ(le(root.value, 16, 4), 0x00010000u);  // product version 1.0.0.0
  ASSERT_EQ(root.children.size(), 2u);
  const Block& strings = root.children[0];
  EXPECT_EQ(strings.key, "StringFileInfo");
  ASSERT_EQ(strings.children.size(), 1u);
  EXPECT_EQ(strings.children[0].key, "040904B0");
  std::map<std::string, std::string> values;
  for (const Block& s : strings.children[0].children) {
    std::string text;
    for (std::size_t i = 0; i + 1 < s.value.size(); i += 2) text += static_cast<char>(le(s.value, i, 2));
    values[s.key] = text.substr(0, text.find('\0'));
  }
  EXPECT_EQ(values, (std::map<std::string, std::string>{{"FileVersion", "1.00"},
                                                        {"ProductVersion", "1.00"},
                                                        {"ProductName", "KestrinX"},
                                                        {"InternalName", "KestrinX"},
                                                        {"OriginalFilename", "KestrinX.ocx"},
                                                        {"OLESelfRegister", ""}}));
  const Block& vars = root.children[1];
  EXPECT_EQ(vars.key, "VarFileInfo");
  ASSERT_EQ(vars.children.size(), 1u);
  EXPECT_EQ(vars.children[0].key, "Translation");
  EXPECT_EQ(vars.children[0].value, (std::vector<std::uint8_t>{0x09, 0x04, 0xB0, 0x04}));
}

}  // namespace
}  // namespace kestrinx::packaging
