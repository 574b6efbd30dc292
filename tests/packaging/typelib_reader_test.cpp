// The reader on damaged type libraries: each kind of damage is reported as MalformedTypeLibrary
// saying what is wrong, and no damage (truncation, overwritten bytes) ever gets past the checks
// into a crash or another kind of failure.
#include "packaging/typelib_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "packaging/kestrinx_typelib.h"

namespace kestrinx::testing {
namespace {

using packaging::reader::MalformedTypeLibrary;
using packaging::reader::readTypeLibrary;
using Bytes = std::vector<std::uint8_t>;

const Bytes& good() {
  static const Bytes b = packaging::kestrinxTypeLibrary();
  return b;
}
const packaging::reader::TypeLibrary& goodLib() {
  static const auto l = readTypeLibrary(good());
  return l;
}

std::int32_t get32(const Bytes& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                   (static_cast<std::uint32_t>(b[at + 3]) << 24));
}
void set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void set16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
std::size_t segment(std::size_t s) { return static_cast<std::size_t>(goodLib().segments[s].offset); }

// Where things are, found from the undamaged library.
constexpr std::size_t kTypeCountField = 0x20;
constexpr std::size_t kDocStringField = 0x24;
constexpr std::size_t kDirectory = 0x54 + 12 * 4;  // after the twelve type entry offsets
constexpr std::size_t kNameSegment = 7, kGuidSegment = 5, kTypeEntrySegment = 0, kImportInfoSegment = 1,
                      kTypeDescSegment = 9;

std::size_t firstPointerDescriptor() {
  const std::size_t base = segment(kTypeDescSegment);
  for (std::size_t at = 0; at < static_cast<std::size_t>(goodLib().segments[kTypeDescSegment].length); at += 8)
    if ((get32(good(), base + at) & 0xFFF) == 26 && get32(good(), base + at + 4) >= 0) return base + at;
  return 0;
}
std::size_t kestrinBlock() { return static_cast<std::size_t>(get32(good(), segment(kTypeEntrySegment) + 4)); }

struct Damage {
  const char* name;
  std::function<void(Bytes&)> apply;
  const char* message;  // part of the error
};

TEST(TypeLibraryReader, ReportsEachKindOfDamage) {
  const Damage rows[] = {
      {"empty", [](Bytes& b) { b.clear(); }, "fewer than a header"},
      {"signature", [](Bytes& b) { b[0] = 'X'; }, "no \"MSFT\" signature"},
      {"type count", [](Bytes& b) { set32(b, kTypeCountField, 0x7FFFFFFF); }, "type entry count"},
      {"segment outside", [](Bytes& b) { set32(b, kDirectory + 16 * kNameSegment, 0x7FFFFF00); }, "the name table"},
      {"segment length", [](Bytes& b) { set32(b, kDirectory + 16 * kGuidSegment + 4, 0xFFFFFFF0); }, "the GUID table"},
      {"name chain loop", [](Bytes& b) { set32(b, segment(kNameSegment) + 4, 0); }, "name hash chain loops"},
      {"name chain target", [](Bytes& b) { set32(b, segment(kNameSegment) + 4, 2); }, "no name entry"},
      {"GUID chain loop", [](Bytes& b) { set32(b, segment(kGuidSegment) + 20, 0); }, "GUID hash chain loops"},
      {"doc string", [](Bytes& b) { set32(b, kDocStringField, 0x7FFFFFF0); }, "outside the string table"},
      {"type name", [](Bytes& b) { set32(b, segment(kTypeEntrySegment) + 0x34, 3); },
       "type name: 0x3 is no name entry"},
      {"type kind", [](Bytes& b) { b[segment(kTypeEntrySegment)] = 0x0F; }, "unknown kind"},
      {"base reference", [](Bytes& b) { set32(b, segment(kTypeEntrySegment) + 0x54, 50 * 0x64); },
       "leads to no type entry or import"},
      {"import file", [](Bytes& b) { set32(b, segment(kImportInfoSegment) + 4, 0x7FF0); }, "which is no entry"},
      {"descriptor loop",
       [](Bytes& b) {
         set32(b, firstPointerDescriptor() + 4,
               static_cast<std::uint32_t>(firstPointerDescriptor() - segment(kTypeDescSegment)));
       },
       "nest deeper"},
      {"member block",
       [](Bytes& b) { set32(b, segment(kTypeEntrySegment) + 4, static_cast<std::uint32_t>(b.size() + 100)); },
       "member block"},
      {"member records", [](Bytes& b) { set32(b, kestrinBlock(), 0x7FFFFFF0); }, "run past the end of the file"},
      {"parameter count", [](Bytes& b) { set16(b, kestrinBlock() + 4 + 20, 0xFFFF); }, "do not fit its record"},
      // The event interface as it was once written: a vtable of IDispatch's seven functions
      // alone, which a loader reads as holding none of its own.
      {"vtable size", [](Bytes& b) { set16(b, segment(kTypeEntrySegment) + 4 * 0x64 + 0x4E, 7 * 4); },
       "type entry 4 (__Kestrin): the vtable size 28 counts 7 functions, not the base's 7 and the entry's own 15"},
      {"truncated tables", [](Bytes& b) { b.resize(0x800); }, "lies outside the file"},
      {"truncated members", [](Bytes& b) { b.resize(b.size() - 4); }, "past the end of the file"},
  };
  ASSERT_NE(firstPointerDescriptor(), 0u);
  for (const Damage& d : rows) {
    Bytes b = good();
    d.apply(b);
    try {
      (void)readTypeLibrary(b);
      ADD_FAILURE() << d.name << ": no error";
    } catch (const MalformedTypeLibrary& e) {
      EXPECT_NE(std::string(e.what()).find(d.message), std::string::npos) << d.name << ": " << e.what();
    }
  }
}

TEST(TypeLibraryReader, NoDamageGetsPastTheChecks) {
  std::uint64_t seed = 0x9E3779B97F4A7C15ull;
  const auto next = [&seed](std::uint64_t bound) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return (seed >> 33) % bound;
  };
  int rejected = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes b = good();
    if (round % 10 == 0) {
      b.resize(next(b.size()));
    } else {
      const std::uint64_t edits = 1 + next(8);
      for (std::uint64_t e = 0; e < edits; ++e) {
        // Mostly the header, directory and tables, where the offsets are.
        const std::size_t at =
            static_cast<std::size_t>(round % 3 == 0 ? next(b.size()) : next(std::min<std::size_t>(b.size(), 0x1800)));
        b[at] = static_cast<std::uint8_t>(next(4) == 0 ? 0xFF : next(256));
      }
    }
    try {
      (void)readTypeLibrary(b);
    } catch (const MalformedTypeLibrary&) {
      ++rejected;
    }
  }
  EXPECT_GT(rejected, 0);
}

}  // namespace
}  // namespace kestrinx::testing
