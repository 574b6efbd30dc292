// The KestrinX type library, read back through the separate reader and checked against the
// member and enumeration tables: library attributes, the twelve type entries, every function
// of _Kestrin, the events, the enumerations, the imports, the name and GUID hashes, and that
// the bytes are the same on every run and in the file the build writes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control/enumerations.h"
#include "control/members.h"
#include "packaging/kestrinx_typelib.h"
#include "packaging/typelib_identity.h"
#include "packaging/typelib_reader.h"
#include "packaging/typelib_test_support.h"
#include "propertypage/general_identity.h"

namespace kestrinx::testing {
namespace {

using packaging::reader::TypeLibrary;
using packaging::reader::TypeRef;
using namespace tlb;

const TypeLibrary& lib() {
  static const TypeLibrary l = packaging::reader::readTypeLibrary(packaging::kestrinxTypeLibrary());
  return l;
}

// The index of the import that names `guid`, or -1.
int importOf(const values::Guid& guid) {
  for (std::size_t i = 0; i < lib().imports.size(); ++i)
    if (lib().imports[i].guid == guid) return static_cast<int>(i);
  return -1;
}

// The stored shape a value of the automation type must have (see tlb::shape).
std::string valueShape(values::AutoType type, const values::EnumInfo* enumeration) {
  const auto imported = [](const packaging::ImportedTypeIdentity& t) { return " import" + t.guid.toString(); };
  switch (type) {
    case values::AutoType::Boolean: return std::to_string(BOOL);
    case values::AutoType::Integer: return std::to_string(I2);
    case values::AutoType::Long: return std::to_string(I4);
    case values::AutoType::Single: return std::to_string(R4);
    case values::AutoType::String: return std::to_string(BSTR);
    case values::AutoType::Color: return std::to_string(USERDEFINED) + imported(packaging::kOleColor);
    case values::AutoType::Font:
      return std::to_string(PTR) + " " + std::to_string(USERDEFINED) + imported(packaging::kFont);
    case values::AutoType::Picture:
      return std::to_string(PTR) + " " + std::to_string(USERDEFINED) + imported(packaging::kPicture);
    case values::AutoType::DataObject:
      return std::to_string(PTR) + " " + std::to_string(USERDEFINED) + imported(packaging::kDataObject);
    case values::AutoType::Enum:
      for (std::size_t i = 0; i < enums::All.size(); ++i)
        if (enums::All[i] == enumeration) return std::to_string(USERDEFINED) + " type " + std::to_string(5 + i);
      break;
  }
  return "?";
}
std::string byRef(const std::string& shape) { return std::to_string(PTR) + " " + shape; }

TEST(TypeLibraryContents, LibraryAttributes) {
  EXPECT_EQ(lib().formatVersion, 0x00010002u);
  EXPECT_EQ(lib().name, "KestrinX");
  EXPECT_EQ(lib().docString, "KestrinX");
  EXPECT_EQ(lib().libid, values::Guid::parse("A7D52C6E-91AD-11D2-A265-00A0C93C9297"));
  EXPECT_EQ(lib().majorVersion, 1);
  EXPECT_EQ(lib().minorVersion, 0);
  EXPECT_EQ(lib().lcid, 0x409u);
  EXPECT_EQ(lib().lcid2, 0x409u);
  EXPECT_EQ(lib().sysKind, 1);  // SYS_WIN32
  EXPECT_EQ(lib().helpFile, "KestrinX.chm");
  EXPECT_EQ(lib().headerFlags & 0x10, 0x10u) << "a help file is marked in the header";
  EXPECT_EQ(lib().libraryFlags, 0u);
  EXPECT_EQ(lib().customDataEntries, 0u) << "no time stamp or other custom data";
}

TEST(TypeLibraryContents, TypeEntriesInOrderWithKindGuidAndFlags) {
  struct Row {
    std::string_view name;
    std::uint8_t kind;
    values::Guid guid;
    std::uint32_t flags;
  };
  constexpr std::uint32_t dual =
      0x10 | 0x40 | 0x80 | 0x100 | 0x1000;                // hidden dual nonextensible oleautomation dispatchable
  constexpr std::uint32_t events = 0x10 | 0x80 | 0x1000;  // hidden nonextensible dispatchable
  constexpr std::uint32_t control = 0x20;
  std::vector<Row> rows = {
      {members::kInterfaceName, DISPATCH, members::kInterfaceId, dual},
      {members::kClassName, COCLASS, members::kClassId, control},
      {propertypage::kGeneralInterfaceName, DISPATCH, propertypage::kGeneralInterfaceId, dual},
      {propertypage::kGeneralClassName, COCLASS, propertypage::kGeneralClassId, 0},
      {members::kEventInterfaceName, DISPATCH, members::kEventInterfaceId, events},
  };
  for (const values::EnumInfo* e : enums::All) rows.push_back({e->name, ENUM, e->guid, 0});

  ASSERT_EQ(lib().types.size(), 12u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    const auto& t = lib().types[i];
    EXPECT_EQ(t.name, rows[i].name);
    EXPECT_EQ(t.kind, rows[i].kind);
    EXPECT_EQ(t.guid, rows[i].guid);
    EXPECT_EQ(t.flags, rows[i].flags);
  }
  EXPECT_NE(lib().types[1].flags & control, 0u) << "Kestrin is a control";
  EXPECT_EQ(lib().types[3].flags & control, 0u) << "General is not";
  EXPECT_EQ(lib().types[1].flags & 0x2, 0u) << "no can-create flag";
  EXPECT_TRUE(lib().types[2].functions.empty() && lib().types[2].variables.empty()) << "_General has no members";
}

TEST(TypeLibraryContents, ClassesImplementTheirInterfacesAndInterfacesDeriveFromImportedIDispatch) {
  using I = packaging::reader::Implemented;
  const auto local = [](std::size_t i) { return TypeRef{TypeRef::Kind::Local, i}; };
  const std::vector<I> kestrin = {{local(0), 1}, {local(4), 1 | 2}};  // default; default, source
  const std::vector<I> general = {{local(2), 1}};
  ASSERT_EQ(lib().types[1].implemented.size(), kestrin.size());
  for (std::size_t k = 0; k < kestrin.size(); ++k) {
    EXPECT_EQ(lib().types[1].implemented[k].ref, kestrin[k].ref);
    EXPECT_EQ(lib().types[1].implemented[k].flags, kestrin[k].flags);
  }
  ASSERT_EQ(lib().types[3].implemented.size(), 1u);
  EXPECT_EQ(lib().types[3].implemented[0].ref, general[0].ref);
  EXPECT_EQ(lib().types[3].implemented[0].flags, general[0].flags);

  const int idispatch = importOf(packaging::kIDispatch.guid);
  ASSERT_GE(idispatch, 0);
  const TypeRef base{TypeRef::Kind::Imported, static_cast<std::size_t>(idispatch)};
  for (const std::size_t i : {0u, 2u, 4u}) {
    ASSERT_EQ(lib().types[i].implemented.size(), 1u) << lib().types[i].name;
    EXPECT_EQ(lib().types[i].implemented[0].ref, base) << lib().types[i].name;
  }
  EXPECT_EQ(lib().dispatch, base);
}

TEST(TypeLibraryContents, KestrinFunctionsFollowTheMemberTableInSlotOrder) {
  struct Expected {
    std::int32_t id;
    std::string_view name;
    std::uint8_t invoke;
    std::vector<std::pair<std::uint32_t, std::string>> params;  // flags, shape
  };
  std::vector<Expected> expected;
  for (const members::Member& m : members::kMembers) {
    const std::string value = m.has(members::Method) ? "" : valueShape(m.type, m.enumeration);
    if (m.has(members::Get)) expected.push_back({m.id, m.name, GET, {{OUT | RETVAL, byRef(value)}}});
    if (m.has(members::Put)) expected.push_back({m.id, m.name, PUT, {{IN, value}}});
    if (m.has(members::PutRef)) expected.push_back({m.id, m.name, PUTREF, {{IN, value}}});
    if (m.has(members::Method)) expected.push_back({m.id, m.name, FUNC, {}});
  }
  const auto& functions = lib().types[0].functions;
  ASSERT_EQ(expected.size(), 91u);
  ASSERT_EQ(functions.size(), expected.size());
  for (std::size_t i = 0; i < functions.size(); ++i) {
    const auto& f = functions[i];
    SCOPED_TRACE(std::string(expected[i].name) + " entry " + std::to_string(i));
    EXPECT_EQ(f.id, expected[i].id);
    EXPECT_EQ(f.name, expected[i].name);
    EXPECT_EQ(f.invokeKind, expected[i].invoke);
    EXPECT_EQ(f.funcKind, FUNC_PUREVIRTUAL) << "a vtable function, which keeps its slot";
    EXPECT_EQ(f.callConv, STDCALL);
    EXPECT_EQ(f.vtableOffset, static_cast<int>(28 + 4 * i));
    EXPECT_EQ(shape(lib(), f.result), std::to_string(HRESULT));
    ASSERT_EQ(f.params.size(), expected[i].params.size());
    for (std::size_t p = 0; p < f.params.size(); ++p) {
      EXPECT_EQ(f.params[p].flags, expected[i].params[p].first);
      EXPECT_EQ(shape(lib(), f.params[p].type), expected[i].params[p].second);
    }
  }
}

// A loader counts a dispatch interface's functions by its vtable size: IDispatch's seven, then
// the interface's own, four bytes each; the event interface's are not left out for lack of the
// dual flag.
TEST(TypeLibraryContents, DispatchInterfacesCountEveryFunctionInTheirVtableSize) {
  const std::pair<std::size_t, std::size_t> rows[] = {{0, 91}, {2, 0}, {4, 15}};  // entry, own functions
  for (const auto& [entry, own] : rows) {
    const auto& t = lib().types[entry];
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.functions.size(), own);
    EXPECT_EQ(t.baseFunctions, 7);
    EXPECT_EQ(t.vtableSize, static_cast<int>((7 + own) * 4));
  }
}

TEST(TypeLibraryContents, InvocationKindsOfObjectAndReadOnlyProperties) {
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> rows = {
      {"MouseIcon", {GET, PUTREF}}, {"LabelFont", {GET, PUTREF}}, {"Font", {GET, PUTREF}}, {"hWnd", {GET}},
      {"ScrollBars", {GET}},        {"Caption", {GET, PUT}},      {"LinkSend", {FUNC}},    {"LinkRequest", {FUNC}},
      {"OLEDrag", {FUNC}},
  };
  for (const auto& [name, kinds] : rows) {
    std::vector<std::uint8_t> found;
    for (const auto& f : lib().types[0].functions)
      if (f.name == name) found.push_back(f.invokeKind);
    EXPECT_EQ(found, kinds) << name;
  }
}

TEST(TypeLibraryContents, EventsTakeEveryArgumentByReference) {
  const auto& functions = lib().types[4].functions;
  ASSERT_EQ(functions.size(), members::kEvents.size());
  ASSERT_EQ(functions.size(), 15u);
  for (std::size_t i = 0; i < functions.size(); ++i) {
    const values::EventInfo& e = members::kEvents[i].info;
    const auto& f = functions[i];
    SCOPED_TRACE(std::string(e.name));
    EXPECT_EQ(f.id, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(f.id, e.id);
    EXPECT_EQ(f.name, e.name);
    EXPECT_EQ(f.invokeKind, FUNC);
    EXPECT_EQ(f.funcKind, FUNC_DISPATCH);
    EXPECT_EQ(f.vtableOffset, 0) << "no slot";
    EXPECT_EQ(shape(lib(), f.result), std::to_string(VOID));
    ASSERT_EQ(f.params.size(), e.params.size());
    for (std::size_t p = 0; p < f.params.size(); ++p) {
      EXPECT_EQ(f.params[p].name, e.params[p].name);
      EXPECT_EQ(f.params[p].flags, IN | OUT);
      EXPECT_EQ(shape(lib(), f.params[p].type), byRef(valueShape(e.params[p].type, nullptr)));
    }
  }
}

TEST(TypeLibraryContents, EnumerationConstantsWithTheirHelpStrings) {
  for (std::size_t i = 0; i < enums::All.size(); ++i) {
    const values::EnumInfo& info = *enums::All[i];
    const auto& t = lib().types[5 + i];
    SCOPED_TRACE(std::string(info.name));
    EXPECT_EQ(t.alignment, 4);
    EXPECT_EQ(t.instanceSize, 4);
    ASSERT_EQ(t.variables.size(), info.members.size());
    for (std::size_t c = 0; c < t.variables.size(); ++c) {
      const auto& v = t.variables[c];
      EXPECT_EQ(v.name, info.members[c].name);
      EXPECT_EQ(v.varKind, VAR_CONST);
      EXPECT_EQ(shape(lib(), v.type), std::to_string(I4));
      EXPECT_EQ(v.valueType, I4);
      EXPECT_EQ(v.value, info.members[c].value);
      EXPECT_EQ(v.helpString, info.members[c].name);
      EXPECT_EQ(v.id, static_cast<std::int32_t>(0x40000000 + c));
    }
  }
}

TEST(TypeLibraryContents, StandardTypesAreImportedNotDefined) {
  ASSERT_FALSE(lib().libraries.empty());
  const auto& stdole = lib().libraries[0];
  EXPECT_EQ(stdole.libid, values::Guid::parse("00020430-0000-0000-C000-000000000046"));
  EXPECT_EQ(stdole.majorVersion, 2);
  EXPECT_EQ(stdole.minorVersion, 0);
  EXPECT_EQ(stdole.fileName, "stdole2.tlb");

  struct Row {
    const char* name;
    values::Guid guid;
    std::uint8_t kind;
    bool fromStdole;
  };
  const Row rows[] = {
      {"IDispatch", values::Guid::parse("00020400-0000-0000-C000-000000000046"), INTERFACE, true},
      {"OLE_COLOR", values::Guid::parse("66504301-BE0F-101A-8BBB-00AA00300CAB"), ALIAS, true},
      {"Font", values::Guid::parse("BEF6E003-A874-101A-8BBA-00AA00300CAB"), DISPATCH, true},
      {"Picture", values::Guid::parse("7BF80981-BF32-101A-8BBB-00AA00300CAB"), DISPATCH, true},
      {"DataObject", values::Guid::parse("41A7D760-6018-11CF-9016-00AA0068841E"), DISPATCH, false},
  };
  EXPECT_EQ(lib().imports.size(), std::size(rows));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int i = importOf(r.guid);
    ASSERT_GE(i, 0) << "imported by its identifier";
    EXPECT_EQ(lib().imports[static_cast<std::size_t>(i)].kind, r.kind);
    EXPECT_EQ(lib().imports[static_cast<std::size_t>(i)].library == 0, r.fromStdole);
    for (const auto& t : lib().types) {
      EXPECT_NE(t.name, r.name) << "defined locally";
      EXPECT_NE(t.guid, r.guid) << "defined locally as " << t.name;
    }
  }
}

// The platform's name hash, written out again from its definition: start at 0x0DEADBEE,
// multiply by 37 and add each letter in upper case, keep the remainder by 65599 in the low
// word, and mark the Western locale group (0x0010) in the high word.
std::uint32_t expectedNameHash(const std::string& name) {
  std::uint32_t h = 0x0DEADBEE;
  for (const unsigned char c : name) h = h * 37u + static_cast<std::uint32_t>(std::toupper(c));
  return 0x00100000u | ((h % 65599u) & 0xFFFFu);
}

TEST(TypeLibraryContents, NameHashesAsThePlatformComputesThem) {
  // By hand: 0x0DEADBEE * 37 = 8639334758, which is 49400166 modulo 2^32; + 'X' (88) gives
  // 49400254 = 753 * 65599 + 4207, and 4207 = 0x106F. 'Y' is one more.
  const std::pair<std::string, std::uint32_t> known[] = {{"X", 0x0010106F}, {"x", 0x0010106F}, {"Y", 0x00101070}};
  for (const auto& [name, hash] : known) EXPECT_EQ(expectedNameHash(name), hash) << name;
  ASSERT_NE(lib().findName("X"), nullptr) << "the MouseDown argument";
  EXPECT_EQ(lib().findName("X")->hash, 0x0010106Fu);

  EXPECT_EQ(lib().nameBuckets.size(), 128u);
  for (const auto& n : lib().names) {
    SCOPED_TRACE(n.text);
    EXPECT_EQ(n.hash, expectedNameHash(n.text));
    const auto* found = lib().findName(n.text);
    ASSERT_NE(found, nullptr) << "reachable through the name hash table";
    EXPECT_EQ(found->offset, n.offset);
  }
  for (const members::Member& m : members::kMembers) {
    const auto* found = lib().findName(m.name);
    ASSERT_NE(found, nullptr) << m.name;
    EXPECT_EQ(found->owner, 0) << m.name << " belongs to _Kestrin";
  }
  for (std::size_t i = 0; i < lib().types.size(); ++i) {
    const auto* found = lib().findName(lib().types[i].name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->owner, static_cast<std::int32_t>(i * 0x64)) << lib().types[i].name;
  }
}

TEST(TypeLibraryContents, GuidsReachableThroughTheGuidHashTable) {
  EXPECT_EQ(lib().guidBuckets.size(), 32u);
  EXPECT_EQ(lib().findGuid(*lib().libid), -2);
  for (std::size_t i = 0; i < lib().types.size(); ++i)
    EXPECT_EQ(lib().findGuid(*lib().types[i].guid), static_cast<std::int32_t>(i * 0x64)) << lib().types[i].name;
  for (std::size_t i = 0; i < lib().imports.size(); ++i)
    EXPECT_EQ(lib().findGuid(*lib().imports[i].guid), static_cast<std::int32_t>(i * 12 + 1)) << "import " << i;
}

TEST(TypeLibraryContents, SameBytesOnEveryRunAndInTheBuiltFile) {
  const std::vector<std::uint8_t> first = packaging::kestrinxTypeLibrary();
  EXPECT_EQ(packaging::kestrinxTypeLibrary(), first);
  std::ifstream file(KESTRINX_TYPELIB_PATH, std::ios::binary);
  ASSERT_TRUE(file) << KESTRINX_TYPELIB_PATH;
  const std::vector<std::uint8_t> built((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(built, first);
}

}  // namespace
}  // namespace kestrinx::testing
