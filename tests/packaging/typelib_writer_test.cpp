// The writer on descriptions other than KestrinX's: what it refuses to write, constants that do
// not fit a record, and a library without types, each read back through the reader.
#include "packaging/typelib_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "packaging/typelib_reader.h"
#include "packaging/typelib_test_support.h"

namespace kestrinx::testing {
namespace {

namespace model = packaging::tlb;

model::Library smallLibrary() {
  model::Library lib;
  lib.name = "Small";
  lib.libid = values::Guid::parse("11111111-2222-3333-4444-555555555555");
  lib.majorVersion = 2;
  lib.minorVersion = 7;
  lib.lcid = 0x409;
  model::TypeEntry e;
  e.kind = packaging::codes::TKIND_ENUM;
  e.name = "Choice";
  e.guid = values::Guid::parse("11111111-2222-3333-4444-555555555556");
  e.constants = {{"First", 0, "First"}, {"Second", 1, ""}};
  lib.types.push_back(e);
  return lib;
}

TEST(TypeLibraryWriter, RefusesWhatTheFormatCannotHold) {
  struct Row {
    const char* name;
    std::function<void(model::Library&)> change;
  };
  const Row rows[] = {
      {"names differing only in case", [](model::Library& l) { l.types[0].constants[1].name = "FIRST"; }},
      {"empty name", [](model::Library& l) { l.types[0].name = ""; }},
      {"name with a space", [](model::Library& l) { l.types[0].name = "Two words"; }},
      {"name outside ASCII", [](model::Library& l) { l.types[0].name = "Caf\xC3\xA9"; }},
      {"name of 256 bytes", [](model::Library& l) { l.types[0].name = std::string(256, 'a'); }},
      {"functions in an enumeration",
       [](model::Library& l) {
         l.types[0].functions.push_back({1, "F", {}, {}, {}});
       }},
      {"reference to no type",
       [](model::Library& l) {
         model::TypeEntry c;
         c.kind = packaging::codes::TKIND_COCLASS;
         c.name = "Cls";
         c.implemented = {{7, 1}};
         l.types.push_back(c);
       }},
      {"more functions than a vtable counts",
       [](model::Library& l) {
         model::TypeEntry d;
         d.kind = packaging::codes::TKIND_DISPATCH;
         d.name = "Wide";
         d.functions.assign(0x2000, {1, "F", packaging::codes::INVOKE_FUNC, {}, {}});
         l.types.push_back(d);
       }},
      {"16-bit Windows", [](model::Library& l) { l.sysKind = packaging::codes::SYS_WIN16; }},
      {"German locale", [](model::Library& l) { l.lcid = 0x407; }},
  };
  EXPECT_NO_THROW(packaging::writeTypeLibrary(smallLibrary()));
  for (const Row& r : rows) {
    model::Library lib = smallLibrary();
    r.change(lib);
    EXPECT_THROW(packaging::writeTypeLibrary(lib), std::invalid_argument) << r.name;
  }
}

TEST(TypeLibraryWriter, ConstantsThatDoNotFitTheirRecordAreStoredApart) {
  const std::int32_t values[] = {
      0, 0x3FFFFFF, 0x4000000, -1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  model::Library lib = smallLibrary();
  lib.types[0].constants.clear();
  for (std::size_t i = 0; i < std::size(values); ++i)
    lib.types[0].constants.push_back({"C" + std::to_string(i), values[i], "C" + std::to_string(i)});
  const auto read = packaging::reader::readTypeLibrary(packaging::writeTypeLibrary(lib));
  ASSERT_EQ(read.types[0].variables.size(), std::size(values));
  for (std::size_t i = 0; i < std::size(values); ++i) {
    const auto& v = read.types[0].variables[i];
    EXPECT_EQ(v.value, values[i]) << v.name;
    EXPECT_EQ(v.valueType, tlb::I4) << v.name;
    EXPECT_EQ(v.offset < 0, values[i] >= 0 && values[i] <= 0x3FFFFFF) << v.name << ": stored in its record";
  }
}

TEST(TypeLibraryWriter, MinimalLibrariesReadBack) {
  model::Library empty = smallLibrary();
  empty.types.clear();
  empty.docString.clear();
  const auto read = packaging::reader::readTypeLibrary(packaging::writeTypeLibrary(empty));
  EXPECT_EQ(read.name, "Small");
  EXPECT_EQ(read.majorVersion, 2);
  EXPECT_EQ(read.minorVersion, 7);
  EXPECT_TRUE(read.types.empty());
  EXPECT_FALSE(read.docString);
  EXPECT_FALSE(read.helpFile);
  EXPECT_EQ(read.headerFlags & 0x10, 0u) << "no help file mark";
  EXPECT_EQ(read.segments[0].offset, -1) << "an empty segment has no offset";
  EXPECT_EQ(read.segments[0].length, 0);

  const auto small = packaging::reader::readTypeLibrary(packaging::writeTypeLibrary(smallLibrary()));
  ASSERT_EQ(small.types.size(), 1u);
  EXPECT_EQ(small.types[0].variables[0].helpString, "First");
  EXPECT_FALSE(small.types[0].variables[1].helpString) << "an empty help string is not stored";
}

}  // namespace
}  // namespace kestrinx::testing
