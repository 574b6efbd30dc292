#include "packaging/typelib_reader.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "packaging/automation_codes.h"
#include "packaging/typelib_format.h"
#include "packaging/typelib_hashes.h"

namespace kestrinx::packaging::reader {

namespace {

using namespace codes;

namespace fmt = format;
using fmt::kCustomDataGuidSize;
using fmt::kFunctionFixed;
using fmt::kGuidEntrySize;
using fmt::kHeaderSize;
using fmt::kImportFileHeader;
using fmt::kImportInfoSize;
using fmt::kNameHeader;
using fmt::kParamSize;
using fmt::kReferenceSize;
using fmt::kSegmentCount;
using fmt::kSegmentEntrySize;
using fmt::kSegmentNames;
using fmt::kTypeDescSize;
using fmt::kTypeEntrySize;
using fmt::kVariableFixed;

// How deep type descriptors may nest before the reader gives up.
constexpr int kMaxTypeDepth = 16;

std::string hex(std::int64_t v) {
  char buf[24];
  if (v < 0)
    std::snprintf(buf, sizeof buf, "-0x%llX", static_cast<unsigned long long>(-v));
  else
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
  return buf;
}

[[noreturn]] void fail(const std::string& what) { throw MalformedTypeLibrary("malformed type library: " + what); }

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// Bounds-checked little-endian reads from a span; `what` names the thing read for errors.
class Bytes {
 public:
  Bytes() = default;
  Bytes(std::span<const std::uint8_t> data, std::string name) : data_(data), name_(std::move(name)) {}

  std::size_t size() const { return data_.size(); }
  bool fits(std::int64_t at, std::int64_t length) const {
    return at >= 0 && length >= 0 && at <= static_cast<std::int64_t>(data_.size()) &&
           length <= static_cast<std::int64_t>(data_.size()) - at;
  }
  void need(std::int64_t at, std::int64_t length, const char* what) const {
    if (!fits(at, length))
      fail(std::string(what) + " at " + hex(at) + " (" + std::to_string(length) + " bytes) lies outside the " + name_ +
           " (" + std::to_string(data_.size()) + " bytes)");
  }
  std::uint8_t u8(std::int64_t at, const char* what) const {
    need(at, 1, what);
    return data_[static_cast<std::size_t>(at)];
  }
  std::uint16_t u16(std::int64_t at, const char* what) const {
    need(at, 2, what);
    const auto p = static_cast<std::size_t>(at);
    return static_cast<std::uint16_t>(data_[p] | (data_[p + 1] << 8));
  }
  std::uint32_t u32(std::int64_t at, const char* what) const {
    need(at, 4, what);
    const auto p = static_cast<std::size_t>(at);
    return static_cast<std::uint32_t>(data_[p]) | (static_cast<std::uint32_t>(data_[p + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[p + 2]) << 16) | (static_cast<std::uint32_t>(data_[p + 3]) << 24);
  }
  std::int32_t i32(std::int64_t at, const char* what) const { return static_cast<std::int32_t>(u32(at, what)); }
  std::int16_t i16(std::int64_t at, const char* what) const { return static_cast<std::int16_t>(u16(at, what)); }
  std::string text(std::int64_t at, std::int64_t length, const char* what) const {
    need(at, length, what);
    const auto p = static_cast<std::size_t>(at);
    return std::string(reinterpret_cast<const char*>(data_.data() + p), static_cast<std::size_t>(length));
  }
  values::Guid guid(std::int64_t at, const char* what) const {
    need(at, 16, what);
    values::Guid g;
    g.data1 = u32(at, what);
    g.data2 = u16(at + 4, what);
    g.data3 = u16(at + 6, what);
    for (std::size_t i = 0; i < 8; ++i) g.data4[i] = u8(at + 8 + static_cast<std::int64_t>(i), what);
    return g;
  }
  Bytes slice(std::int64_t at, std::int64_t length, std::string name) const {
    need(at, length, "segment");
    return Bytes(data_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(length)), std::move(name));
  }

 private:
  std::span<const std::uint8_t> data_;
  std::string name_;
};

class Parser {
 public:
  explicit Parser(std::span<const std::uint8_t> bytes) : file_(bytes, "file") {}

  TypeLibrary parse() {
    lib_.fileSize = file_.size();
    if (file_.size() < kHeaderSize)
      fail("the file has " + std::to_string(file_.size()) + " bytes, fewer than a header");
    if (file_.u32(fmt::header::kMagic, "signature") != fmt::kMagic) fail("no \"MSFT\" signature at the start");
    lib_.formatVersion = file_.u32(fmt::header::kFormatVersion, "format version");
    const std::int32_t libGuid = file_.i32(fmt::header::kLibraryGuid, "library GUID offset");
    lib_.lcid = file_.u32(fmt::header::kLcid, "lcid");
    lib_.lcid2 = file_.u32(fmt::header::kLcid2, "lcid");
    lib_.headerFlags = file_.u32(fmt::header::kFlags, "header flags");
    lib_.sysKind = static_cast<std::uint8_t>(lib_.headerFlags & fmt::kHeaderSysKindMask);
    const std::uint32_t version = file_.u32(fmt::header::kVersion, "version");
    lib_.majorVersion = static_cast<std::uint16_t>(version);
    lib_.minorVersion = static_cast<std::uint16_t>(version >> 16);
    lib_.libraryFlags = file_.u32(fmt::header::kLibraryFlags, "library flags");
    const std::int32_t typeCount = file_.i32(fmt::header::kTypeCount, "type entry count");
    const std::int32_t docString = file_.i32(fmt::header::kDocString, "doc string offset");
    lib_.helpContext = file_.i32(fmt::header::kHelpContext, "help context");
    const std::int32_t libName = file_.i32(fmt::header::kLibraryName, "library name offset");
    const std::int32_t helpFile = file_.i32(fmt::header::kHelpFile, "help file offset");
    const std::int32_t dispatch = file_.i32(fmt::header::kDispatch, "IDispatch reference");

    std::int64_t pos = kHeaderSize + ((lib_.headerFlags & fmt::kHelpDllMark) != 0 ? 4 : 0);
    if (typeCount < 0 || static_cast<std::uint64_t>(typeCount) > file_.size() / kTypeEntrySize)
      fail("type entry count " + std::to_string(typeCount) + " does not fit the file");
    std::vector<std::int32_t> typeOffsets(static_cast<std::size_t>(typeCount));
    for (std::size_t i = 0; i < typeOffsets.size(); ++i, pos += 4) typeOffsets[i] = file_.i32(pos, "type entry offset");
    readSegments(pos);

    readNames();
    readGuids();
    readImports();
    lib_.name = nameAt(libName, "library name");
    lib_.libid = optionalGuidAt(libGuid, "library GUID");
    lib_.docString = stringAt(docString, "library doc string");
    lib_.helpFile = stringAt(helpFile, "help file name");
    countCustomData();

    const Bytes& entries = segment(fmt::kTypeEntries);
    if (entries.size() < typeOffsets.size() * kTypeEntrySize)
      fail("the type entry table holds fewer than " + std::to_string(typeCount) + " entries");
    lib_.types.resize(typeOffsets.size());
    for (std::size_t i = 0; i < typeOffsets.size(); ++i) {
      if (typeOffsets[i] != static_cast<std::int64_t>(i * kTypeEntrySize))
        fail("type entry offset " + std::to_string(i) + " is " + hex(typeOffsets[i]) + ", not " +
             hex(static_cast<std::int64_t>(i * kTypeEntrySize)));
    }
    for (std::size_t i = 0; i < typeOffsets.size(); ++i) readType(i);
    if (dispatch != -1) lib_.dispatch = resolve(dispatch, "IDispatch reference");
    return std::move(lib_);
  }

 private:
  const Bytes& segment(std::size_t s) const { return segments_[s]; }

  void readSegments(std::int64_t pos) {
    for (std::size_t s = 0; s < kSegmentCount; ++s, pos += kSegmentEntrySize) {
      segments_[s] = Bytes({}, kSegmentNames[s]);
      Segment& seg = lib_.segments[s];
      seg.offset = file_.i32(pos, "segment directory");
      seg.length = file_.i32(pos + 4, "segment directory");
      if (seg.offset == -1) {
        seg.length = 0;
        continue;
      }
      if (!file_.fits(seg.offset, seg.length))
        fail(std::string("the ") + kSegmentNames[s] + " (offset " + hex(seg.offset) + ", " +
             std::to_string(seg.length) + " bytes) lies outside the file (" + std::to_string(file_.size()) + " bytes)");
      segments_[s] = file_.slice(seg.offset, seg.length, kSegmentNames[s]);
    }
  }

  // ---- names, strings, GUIDs ---------------------------------------------------------------

  void readNames() {
    const Bytes& names = segment(fmt::kNames);
    std::int64_t pos = 0;
    while (pos < static_cast<std::int64_t>(names.size())) {
      Name n;
      n.offset = static_cast<std::int32_t>(pos);
      n.owner = names.i32(pos, "name entry");
      n.next = names.i32(pos + fmt::kNameEntryNext, "name entry");
      const std::uint8_t length = names.u8(pos + 8, "name entry");
      n.hash = (std::uint32_t{names.u8(pos + 9, "name entry")} << 16) | names.u16(pos + 10, "name entry");
      n.text = names.text(pos + static_cast<std::int64_t>(kNameHeader), length, "name text");
      nameIndex_.emplace(n.offset, lib_.names.size());
      lib_.names.push_back(std::move(n));
      pos += static_cast<std::int64_t>(kNameHeader + ((length + 3u) & ~3u));
    }
    if (pos != static_cast<std::int64_t>(names.size())) fail("the last name entry runs past the name table");
    for (const Name& n : lib_.names)
      if (n.next != -1 && !nameIndex_.contains(n.next))
        fail("name " + hex(n.offset) + " chains to " + hex(n.next) + ", which is no name entry");
    lib_.nameBuckets = buckets(fmt::kNameHash, "name hash table");
    for (const std::int32_t head : lib_.nameBuckets) {
      std::size_t steps = 0;
      for (std::int32_t at = head; at != -1; at = lib_.names[nameIndex_.at(at)].next) {
        if (!nameIndex_.contains(at)) fail("the name hash table points at " + hex(at) + ", which is no name entry");
        if (++steps > lib_.names.size()) fail("a name hash chain loops");
      }
    }
  }

  std::vector<std::int32_t> buckets(std::size_t s, const char* what) const {
    const Bytes& table = segment(s);
    if (table.size() % 4 != 0) fail(std::string("the ") + what + " is not a whole number of entries");
    std::vector<std::int32_t> out(table.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = table.i32(static_cast<std::int64_t>(i * 4), what);
    return out;
  }

  void readGuids() {
    const Bytes& guids = segment(fmt::kGuids);
    if (guids.size() % kGuidEntrySize != 0) fail("the GUID table is not a whole number of entries");
    for (std::size_t i = 0; i < guids.size() / kGuidEntrySize; ++i) {
      const auto at = static_cast<std::int64_t>(i * kGuidEntrySize);
      lib_.guids.push_back({static_cast<std::int32_t>(at), guids.guid(at, "GUID entry"),
                            guids.i32(at + 16, "GUID entry"), guids.i32(at + fmt::kGuidEntryNext, "GUID entry")});
    }
    for (const TypeLibrary::GuidEntry& g : lib_.guids)
      if (g.next != -1 && !validGuidOffset(g.next))
        fail("GUID entry " + hex(g.offset) + " chains to " + hex(g.next) + ", which is no GUID entry");
    lib_.guidBuckets = buckets(fmt::kGuidHash, "GUID hash table");
    for (const std::int32_t head : lib_.guidBuckets) {
      std::size_t steps = 0;
      for (std::int32_t at = head; at != -1; at = lib_.guids[static_cast<std::size_t>(at) / kGuidEntrySize].next) {
        if (!validGuidOffset(at)) fail("the GUID hash table points at " + hex(at) + ", which is no GUID entry");
        if (++steps > lib_.guids.size()) fail("a GUID hash chain loops");
      }
    }
  }

  bool validGuidOffset(std::int64_t at) const {
    return at >= 0 && at % static_cast<std::int64_t>(kGuidEntrySize) == 0 &&
           static_cast<std::size_t>(at) / kGuidEntrySize < lib_.guids.size();
  }

  values::Guid guidAt(std::int32_t at, const char* what) const {
    if (!validGuidOffset(at)) fail(std::string(what) + ": " + hex(at) + " is no GUID entry");
    return lib_.guids[static_cast<std::size_t>(at) / kGuidEntrySize].guid;
  }
  std::optional<values::Guid> optionalGuidAt(std::int32_t at, const char* what) const {
    if (at == -1) return std::nullopt;
    return guidAt(at, what);
  }

  const std::string& nameAt(std::int32_t at, const char* what) const {
    const auto it = nameIndex_.find(at);
    if (it == nameIndex_.end()) fail(std::string(what) + ": " + hex(at) + " is no name entry");
    return lib_.names[it->second].text;
  }

  std::optional<std::string> stringAt(std::int32_t at, const char* what) const {
    if (at == -1) return std::nullopt;
    const Bytes& strings = segment(fmt::kStrings);
    if (!strings.fits(at, 2)) fail(std::string(what) + ": " + hex(at) + " lies outside the string table");
    const std::uint16_t length = strings.u16(at, what);
    return strings.text(std::int64_t{at} + 2, length, what);
  }

  void countCustomData() {
    const Bytes& cd = segment(fmt::kCustomDataGuids);
    if (cd.size() % kCustomDataGuidSize != 0) fail("the custom data GUID table is not a whole number of entries");
    lib_.customDataEntries = cd.size() / kCustomDataGuidSize;
  }

  // ---- imports ----------------------------------------------------------------------------

  void readImports() {
    const Bytes& files = segment(fmt::kImportFiles);
    std::map<std::int32_t, std::size_t> fileIndex;
    std::int64_t pos = 0;
    while (pos < static_cast<std::int64_t>(files.size())) {
      ImportedLibrary l;
      l.libid = optionalGuidAt(files.i32(pos, "import file"), "imported library GUID");
      l.lcid = files.u32(pos + 4, "import file");
      l.majorVersion = files.u16(pos + 8, "import file");
      l.minorVersion = files.u16(pos + 10, "import file");
      const std::uint16_t sizeField = files.u16(pos + 12, "import file");
      const std::int64_t length = sizeField >> fmt::kImportFileNameShift;
      l.fileName = files.text(pos + static_cast<std::int64_t>(kImportFileHeader), length, "import file name");
      fileIndex.emplace(static_cast<std::int32_t>(pos), lib_.libraries.size());
      lib_.libraries.push_back(std::move(l));
      pos += (static_cast<std::int64_t>(kImportFileHeader) + length + 3) & ~std::int64_t{3};
    }
    if (pos != static_cast<std::int64_t>(files.size())) fail("the last import file entry runs past its table");

    const Bytes& infos = segment(fmt::kImportInfos);
    if (infos.size() % kImportInfoSize != 0) fail("the import info table is not a whole number of entries");
    for (std::size_t i = 0; i < infos.size() / kImportInfoSize; ++i) {
      const auto at = static_cast<std::int64_t>(i * kImportInfoSize);
      const std::uint32_t flags = infos.u32(at, "import info");
      const std::int32_t file = infos.i32(at + 4, "import info");
      const std::int32_t target = infos.i32(at + 8, "import info");
      const auto it = fileIndex.find(file);
      if (it == fileIndex.end())
        fail("import " + std::to_string(i) + " names import file " + hex(file) + ", which is no entry");
      ImportedType t;
      t.library = it->second;
      t.kind = static_cast<std::uint8_t>(flags >> fmt::kImportKindShift);
      if ((flags & fmt::kImportByGuid) != 0)
        t.guid = guidAt(target, "imported type GUID");
      else if (target < 0)
        fail("import " + std::to_string(i) + " has a negative type index");
      else
        t.typeIndex = target;
      lib_.imports.push_back(t);
    }
  }

  // ---- type references and descriptors ------------------------------------------------------

  TypeRef resolve(std::int32_t href, const char* what) const {
    if ((href & 3) == 0 && href >= 0) {
      if (href % static_cast<std::int32_t>(kTypeEntrySize) == 0 &&
          static_cast<std::size_t>(href) / kTypeEntrySize < lib_.types.size())
        return {TypeRef::Kind::Local, static_cast<std::size_t>(href) / kTypeEntrySize};
    } else if ((href & 3) == 1 && href > 0) {
      const std::int32_t at = href & ~3;
      if (at % static_cast<std::int32_t>(kImportInfoSize) == 0 &&
          static_cast<std::size_t>(at) / kImportInfoSize < lib_.imports.size())
        return {TypeRef::Kind::Imported, static_cast<std::size_t>(at) / kImportInfoSize};
    }
    fail(std::string(what) + ": type reference " + hex(href) + " leads to no type entry or import");
  }

  TypeDesc decode(std::int32_t word, const char* what) const {
    TypeDesc t;
    decodeInto(word, t, 0, what);
    return t;
  }

  void decodeInto(std::int32_t word, TypeDesc& t, int depth, const char* what) const {
    if (depth > kMaxTypeDepth)
      fail(std::string(what) + ": type descriptors nest deeper than " + std::to_string(kMaxTypeDepth));
    if (word < 0) {
      const auto vt = static_cast<std::uint16_t>(word & VT_TYPEMASK);
      if (vt == VT_PTR || vt == VT_SAFEARRAY || vt == VT_CARRAY || vt == VT_USERDEFINED)
        fail(std::string(what) + ": basic type word " + hex(static_cast<std::uint32_t>(word)) +
             " names a composite type");
      t.chain.push_back(vt);
      return;
    }
    const Bytes& descs = segment(fmt::kTypeDescriptors);
    if (word % static_cast<std::int32_t>(kTypeDescSize) != 0 || !descs.fits(word, kTypeDescSize))
      fail(std::string(what) + ": type descriptor " + hex(word) + " lies outside the type descriptor table");
    const auto vt = static_cast<std::uint16_t>(descs.u32(word, what) & VT_TYPEMASK);
    const std::int32_t target = descs.i32(std::int64_t{word} + 4, what);
    t.chain.push_back(vt);
    switch (vt) {
      case VT_PTR:
      case VT_SAFEARRAY: decodeInto(target, t, depth + 1, what); break;
      case VT_USERDEFINED: t.ref = resolve(target, what); break;
      case VT_CARRAY:
        if (!segment(fmt::kArrayDescriptors).fits(target, fmt::kArrayDescMinSize))
          fail(std::string(what) + ": array descriptor " + hex(target) + " lies outside its table");
        t.arrayDescriptor = target;
        break;
      default: break;
    }
  }

  // ---- type entries -----------------------------------------------------------------------

  void readType(std::size_t index) {
    const Bytes& e = segment(fmt::kTypeEntries);
    const auto at = static_cast<std::int64_t>(index * kTypeEntrySize);
    TypeInfo& t = lib_.types[index];
    const std::uint32_t kind = e.u32(at + fmt::entry::kKind, "type kind");
    t.kind = static_cast<std::uint8_t>(kind & fmt::kTypeKindMask);
    t.alignment = static_cast<std::uint16_t>((kind >> fmt::kAlignmentShift) & fmt::kAlignmentMask);
    if (t.kind > TKIND_UNION)
      fail("type entry " + std::to_string(index) + " has unknown kind " + std::to_string(t.kind));
    const std::int32_t block = e.i32(at + fmt::entry::kMemberBlock, "member block offset");
    const std::uint16_t functionCount = e.u16(at + fmt::entry::kFunctionCount, "function count");
    const std::uint16_t variableCount = e.u16(at + fmt::entry::kVariableCount, "variable count");
    t.guid = optionalGuidAt(e.i32(at + fmt::entry::kGuid, "type GUID offset"), "type GUID");
    t.flags = e.u32(at + fmt::entry::kFlags, "type flags");
    t.name = nameAt(e.i32(at + fmt::entry::kName, "type name offset"), "type name");
    const std::uint32_t version = e.u32(at + fmt::entry::kVersion, "type version");
    t.majorVersion = static_cast<std::uint16_t>(version);
    t.minorVersion = static_cast<std::uint16_t>(version >> 16);
    t.docString = stringAt(e.i32(at + fmt::entry::kDocString, "type doc string offset"), "type doc string");
    t.helpContext = e.i32(at + fmt::entry::kHelpContext, "type help context");
    const std::int16_t implementedCount = e.i16(at + fmt::entry::kImplementedCount, "implemented interface count");
    t.vtableSize = e.i16(at + fmt::entry::kVtableSize, "vtable size");
    t.instanceSize = e.i32(at + fmt::entry::kInstanceSize, "instance size");
    const std::int32_t datatype1 = e.i32(at + fmt::entry::kDatatype1, "type reference");
    const std::uint32_t datatype2 = e.u32(at + fmt::entry::kDatatype2, "base function count");

    const std::string where = "type entry " + std::to_string(index) + " (" + t.name + ")";
    switch (t.kind) {
      case TKIND_COCLASS: readImplemented(t, implementedCount, datatype1, where); break;
      case TKIND_DISPATCH:
      case TKIND_INTERFACE:
        if (datatype1 != -1) {
          t.implemented.push_back({resolve(datatype1, "base interface"), 0});
          t.baseFunctions = static_cast<std::uint16_t>(datatype2 >> fmt::kBaseFunctionsShift);
        }
        checkVtableSize(t, functionCount, where);
        break;
      case TKIND_ALIAS: t.aliasOf = decode(datatype1, "alias"); break;
      default: break;
    }
    if (functionCount + variableCount > 0) readMembers(t, block, functionCount, variableCount, where);
  }

  // A loader counts an interface's functions by its vtable size: one that does not count the
  // base's functions and the entry's own would hide functions from it, or invent some.
  void checkVtableSize(const TypeInfo& t, std::size_t functions, const std::string& where) const {
    const std::int64_t pointer = lib_.sysKind == SYS_WIN64 ? fmt::kPointerSize64 : fmt::kPointerSize32;
    const std::int64_t expected = (std::int64_t{t.baseFunctions} + static_cast<std::int64_t>(functions)) * pointer;
    if (t.vtableSize != expected)
      fail(where + ": the vtable size " + std::to_string(t.vtableSize) + " counts " +
           std::to_string(t.vtableSize / pointer) + " functions, not the base's " + std::to_string(t.baseFunctions) +
           " and the entry's own " + std::to_string(functions));
  }

  void readImplemented(TypeInfo& t, std::int16_t count, std::int32_t first, const std::string& where) {
    const Bytes& refs = segment(fmt::kReferences);
    if (count < 0 || static_cast<std::size_t>(count) > refs.size() / kReferenceSize)
      fail(where + ": " + std::to_string(count) + " implemented interfaces do not fit the reference table");
    std::int32_t at = first;
    for (std::int16_t k = 0; k < count; ++k) {
      if (at % 4 != 0 || !refs.fits(at, kReferenceSize))
        fail(where + ": implemented interface record " + hex(at) + " lies outside the reference table");
      const std::int32_t href = refs.i32(at, "implemented interface");
      const std::uint32_t flags = refs.u32(std::int64_t{at} + 4, "implemented interface");
      t.implemented.push_back({resolve(href, "implemented interface"), flags});
      at = refs.i32(std::int64_t{at} + fmt::kReferenceNext, "implemented interface");
      if (at == -1 && k + 1 < count) fail(where + ": the implemented interface chain ends early");
    }
  }

  void readMembers(TypeInfo& t, std::int32_t block, std::size_t functions, std::size_t variables,
                   const std::string& where) {
    const std::size_t count = functions + variables;
    if (!file_.fits(block, 4)) fail(where + ": member block " + hex(block) + " lies outside the file");
    const std::int32_t recordsSize = file_.i32(block, "member block size");
    const std::int64_t recordsStart = std::int64_t{block} + 4;
    if (!file_.fits(recordsStart, recordsSize))
      fail(where + ": member records (" + std::to_string(recordsSize) + " bytes) run past the end of the file");
    const std::int64_t arrays = recordsStart + recordsSize;
    if (!file_.fits(arrays, static_cast<std::int64_t>(count * fmt::kMemberArrays * 4)))
      fail(where + ": member identifier, name and offset arrays run past the end of the file");
    const Bytes records = file_.slice(recordsStart, recordsSize, "member records of " + t.name);

    for (std::size_t i = 0; i < count; ++i) {
      const std::int32_t id = file_.i32(arrays + static_cast<std::int64_t>(4 * i), "member identifier");
      const std::int32_t nameOffset = file_.i32(arrays + static_cast<std::int64_t>(4 * (count + i)), "member name");
      const std::int32_t at =
          file_.i32(arrays + static_cast<std::int64_t>(4 * (2 * count + i)), "member record offset");
      if (!records.fits(at, 4)) fail(where + ": member record " + hex(at) + " lies outside the member records");
      const std::uint16_t size = records.u16(at, "member record size");
      if (!records.fits(at, size)) fail(where + ": member record " + hex(at) + " runs past the member records");
      const Bytes record = records.slice(at, size, "member record " + hex(at) + " of " + t.name);
      if (i < functions)
        t.functions.push_back(readFunction(record, id, nameAt(nameOffset, "function name"), where));
      else
        t.variables.push_back(readVariable(record, id, nameAt(nameOffset, "variable name"), where));
    }
  }

  Function readFunction(const Bytes& r, std::int32_t id, const std::string& name, const std::string& where) const {
    if (r.size() < kFunctionFixed)
      fail(where + ": function " + name + " has a record of " + std::to_string(r.size()) + " bytes");
    Function f;
    f.id = id;
    f.name = name;
    f.result = decode(r.i32(fmt::function::kResult, "function result"), "function result");
    f.flags = r.u32(fmt::function::kFlags, "function flags");
    f.vtableOffset = r.i16(fmt::function::kVtableOffset, "vtable offset");
    const std::uint32_t kinds = r.u32(fmt::function::kKinds, "function kinds");
    f.funcKind = static_cast<std::uint8_t>(kinds & fmt::kFuncKindMask);
    f.invokeKind = static_cast<std::uint8_t>((kinds >> fmt::kInvokeKindShift) & fmt::kInvokeKindMask);
    f.callConv = static_cast<std::uint8_t>((kinds >> fmt::kCallConvShift) & fmt::kCallConvMask);
    const std::size_t paramCount = r.u16(fmt::function::kParamCount, "parameter count");
    f.optionalParams = r.u16(fmt::function::kOptionalCount, "optional parameter count");
    if (kFunctionFixed + paramCount * kParamSize > r.size())
      fail(where + ": function " + name + " has " + std::to_string(paramCount) +
           " parameters that do not fit its record");
    const std::size_t optionalFields = (r.size() - kFunctionFixed - paramCount * kParamSize) / 4;
    if (optionalFields > 0) f.helpContext = r.i32(fmt::function::kHelpContext, "help context");
    if (optionalFields > 1) f.helpString = stringAt(r.i32(fmt::function::kHelpString, "help string"), "function help string");
    const std::int64_t params = static_cast<std::int64_t>(r.size() - paramCount * kParamSize);
    for (std::size_t p = 0; p < paramCount; ++p) {
      const std::int64_t at = params + static_cast<std::int64_t>(p * kParamSize);
      Param param;
      param.type = decode(r.i32(at, "parameter type"), "parameter type");
      const std::int32_t paramName = r.i32(at + 4, "parameter name");
      if (paramName != -1) param.name = nameAt(paramName, "parameter name");
      param.flags = r.u32(at + 8, "parameter flags");
      f.params.push_back(std::move(param));
    }
    return f;
  }

  Variable readVariable(const Bytes& r, std::int32_t id, const std::string& name, const std::string& where) const {
    if (r.size() < kVariableFixed)
      fail(where + ": variable " + name + " has a record of " + std::to_string(r.size()) + " bytes");
    Variable v;
    v.id = id;
    v.name = name;
    v.type = decode(r.i32(fmt::variable::kType, "variable type"), "variable type");
    v.flags = r.u32(fmt::variable::kFlags, "variable flags");
    v.varKind = r.u16(fmt::variable::kVarKind, "variable kind");
    v.offset = r.i32(fmt::variable::kValue, "variable value");
    const std::size_t optionalFields = (r.size() - kVariableFixed) / 4;
    if (optionalFields > 0) v.helpContext = r.i32(fmt::variable::kHelpContext, "help context");
    if (optionalFields > 1) v.helpString = stringAt(r.i32(fmt::variable::kHelpString, "help string"), "variable help string");
    if (v.varKind == VAR_CONST) readConstant(v);
    return v;
  }

  // A constant is either in its record (format::kInlineConstantMark) or at an offset into the
  // custom data table (its 16-bit variant type, then the value).
  void readConstant(Variable& v) const {
    if (v.offset < 0) {
      const auto word = static_cast<std::uint32_t>(v.offset);
      v.valueType = static_cast<std::uint16_t>((word >> fmt::kInlineTypeShift) & fmt::kInlineTypeMask);
      v.value = word & static_cast<std::uint32_t>(fmt::kInlineConstantMax);
      return;
    }
    const Bytes& cd = segment(fmt::kCustomData);
    v.valueType = cd.u16(v.offset, "constant value");
    const std::int64_t at = std::int64_t{v.offset} + 2;
    switch (v.valueType) {
      case VT_I1: v.value = static_cast<std::int8_t>(cd.u8(at, "constant value")); break;
      case VT_UI1: v.value = cd.u8(at, "constant value"); break;
      case VT_I2:
      case VT_BOOL: v.value = cd.i16(at, "constant value"); break;
      case VT_UI2: v.value = cd.u16(at, "constant value"); break;
      case VT_I4:
      case VT_INT:
      case VT_ERROR: v.value = cd.i32(at, "constant value"); break;
      case VT_UI4:
      case VT_UINT: v.value = cd.u32(at, "constant value"); break;
      default: break;  // a value this reader does not decode
    }
  }

  Bytes file_;
  std::array<Bytes, kSegmentCount> segments_;
  TypeLibrary lib_;
  std::map<std::int32_t, std::size_t> nameIndex_;
};

}  // namespace

int TypeDesc::pointers() const {
  int n = 0;
  while (static_cast<std::size_t>(n) < chain.size() && chain[static_cast<std::size_t>(n)] == VT_PTR) ++n;
  return n;
}

const Name* TypeLibrary::findName(std::string_view name) const {
  if (nameBuckets.size() != fmt::kNameBuckets) return nullptr;
  const std::uint32_t hash = nameHash(name);
  const std::string wanted = upperAscii(name);
  std::size_t steps = 0;
  for (std::int32_t at = nameBuckets[nameBucket(hash)]; at != -1 && steps++ <= names.size();) {
    // The names are in table order, so by ascending offset.
    const auto it = std::lower_bound(names.begin(), names.end(), at,
                                     [](const Name& n, std::int32_t offset) { return n.offset < offset; });
    if (it == names.end() || it->offset != at) return nullptr;
    const Name* entry = &*it;
    if ((entry->hash & 0xFFFF) == (hash & 0xFFFF) && upperAscii(entry->text) == wanted) return entry;
    at = entry->next;
  }
  return nullptr;
}

std::optional<std::int32_t> TypeLibrary::findGuid(const values::Guid& guid) const {
  if (guidBuckets.size() != fmt::kGuidBuckets) return std::nullopt;
  std::size_t steps = 0;
  for (std::int32_t at = guidBuckets[guidBucket(guid)]; at != -1 && steps++ <= guids.size();) {
    if (at < 0 || at % static_cast<std::int32_t>(kGuidEntrySize) != 0 ||
        static_cast<std::size_t>(at) / kGuidEntrySize >= guids.size())
      return std::nullopt;
    const GuidEntry& e = guids[static_cast<std::size_t>(at) / kGuidEntrySize];
    if (e.guid == guid) return e.owner;
    at = e.next;
  }
  return std::nullopt;
}

TypeLibrary readTypeLibrary(std::span<const std::uint8_t> bytes) { return Parser(bytes).parse(); }

}  // namespace kestrinx::packaging::reader
