// The compound type-library format writer. The layout, record sizes, marks and flags are in
// typelib_format.h; this file decides what goes into them.
#include "packaging/typelib_writer.h"

#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "packaging/typelib_format.h"
#include "packaging/typelib_hashes.h"

namespace kestrinx::packaging {

namespace {

using tlb::TypeSpec;

namespace fmt = format;

// Integer forms of the format's sizes, for offset arithmetic.
constexpr std::int32_t kTypeEntrySize = static_cast<std::int32_t>(fmt::kTypeEntrySize);
constexpr std::int32_t kImportInfoSize = static_cast<std::int32_t>(fmt::kImportInfoSize);
constexpr std::int32_t kReferenceSize = static_cast<std::int32_t>(fmt::kReferenceSize);
constexpr std::size_t kSegments = fmt::kSegmentCount;

// A 32-bit Windows library aligns its types on 4 bytes; pointers and interfaces take 4 bytes.
constexpr std::int32_t kAlignment = 4;
constexpr std::int32_t kPointerSize = fmt::kPointerSize32;

// Identifiers of an enumeration's constants.
constexpr std::int32_t kFirstVariableId = 0x40000000;

[[noreturn]] void reject(const std::string& what) { throw std::invalid_argument("type library: " + what); }

// A growing little-endian byte buffer.
class Bytes {
 public:
  void u8(std::uint8_t v) { data_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void text(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
  void padTo(std::size_t multiple) {
    while (data_.size() % multiple != 0) u8(fmt::kPad);
  }
  void append(const Bytes& other) { data_.insert(data_.end(), other.data_.begin(), other.data_.end()); }
  // `n` zero bytes, for a record whose words are then put at their offsets.
  void zeros(std::size_t n) { data_.resize(data_.size() + n, 0); }
  void put16(std::size_t at, std::uint16_t v) {
    data_[at] = static_cast<std::uint8_t>(v);
    data_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void put32(std::size_t at, std::int64_t v) {
    put16(at, static_cast<std::uint16_t>(v));
    put16(at + 2, static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) >> 16));
  }
  void set32(std::int32_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i)
      data_[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
  }
  std::int32_t get32(std::int32_t at) const {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data_[static_cast<std::size_t>(at + i)];
    return static_cast<std::int32_t>(v);
  }
  std::int32_t size() const { return static_cast<std::int32_t>(data_.size()); }
  std::vector<std::uint8_t> take() { return std::move(data_); }

 private:
  std::vector<std::uint8_t> data_;
};

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

void checkName(const std::string& name) {
  if (name.empty() || name.size() > 255) reject("name '" + name.substr(0, 40) + "' must have 1 to 255 bytes");
  for (const char c : name)
    if (c <= ' ' || c > '~') reject("name '" + name.substr(0, 40) + "' is not printable ASCII");
}

// Chains table entries into hash buckets, later entries first: the "next" word of each entry
// (`nextAt` bytes into it) takes its bucket's previous head. Returns the bucket heads.
template <std::size_t Buckets, typename Entries, typename BucketOf>
std::array<std::int32_t, Buckets> chain(Bytes& bytes, const Entries& entries, std::int32_t nextAt, BucketOf bucketOf) {
  std::array<std::int32_t, Buckets> heads;
  heads.fill(-1);
  for (const auto& e : entries) {
    const std::size_t b = bucketOf(e);
    bytes.set32(e.offset + nextAt, heads[b]);
    heads[b] = e.offset;
  }
  return heads;
}

// Names, each stored once and chained into the name hash table by its hash.
class NameTable {
 public:
  // The name's offset, storing it on first use. `owner` is the offset of the type entry the
  // name belongs to (the entry itself or one of its members), -1 for the library's name and
  // parameter names; a name keeps the first owner it is given.
  std::int32_t add(const std::string& name, std::int32_t owner) {
    checkName(name);
    if (const auto it = byName_.find(name); it != byName_.end()) {
      if (owner != -1 && bytes_.get32(it->second) == -1) bytes_.set32(it->second, owner);
      return it->second;
    }
    const auto [folded, fresh] = spellings_.emplace(upperAscii(name), name);
    if (!fresh) reject("names '" + folded->second + "' and '" + name + "' differ only in letter case");
    const std::int32_t offset = bytes_.size();
    const std::uint32_t hash = nameHash(name);
    bytes_.i32(owner);
    bytes_.i32(-1);  // next in bucket, chained by finish()
    bytes_.u8(static_cast<std::uint8_t>(name.size()));
    bytes_.u8(static_cast<std::uint8_t>(hash >> 16));
    bytes_.u16(static_cast<std::uint16_t>(hash));
    bytes_.text(name);
    bytes_.padTo(4);
    byName_.emplace(name, offset);
    entries_.push_back({offset, hash});
    chars_ += static_cast<std::int32_t>(name.size());
    return offset;
  }
  // Chains every name into its bucket and returns the bucket heads.
  std::array<std::int32_t, fmt::kNameBuckets> finish() {
    return chain<fmt::kNameBuckets>(bytes_, entries_, fmt::kNameEntryNext, [](const Entry& e) { return nameBucket(e.hash); });
  }
  const Bytes& bytes() const { return bytes_; }
  std::int32_t count() const { return static_cast<std::int32_t>(entries_.size()); }
  std::int32_t chars() const { return chars_; }

 private:
  struct Entry {
    std::int32_t offset;
    std::uint32_t hash;
  };
  Bytes bytes_;
  std::map<std::string, std::int32_t> byName_;
  std::map<std::string, std::string> spellings_;  // upper case -> the spelling stored
  std::vector<Entry> entries_;
  std::int32_t chars_ = 0;
};

// GUIDs, each stored once with the reference of what it identifies.
class GuidTable {
 public:
  std::int32_t add(const values::Guid& g, std::int32_t owner) {
    for (const Entry& e : entries_)
      if (e.guid == g) return e.offset;
    const std::int32_t offset = bytes_.size();
    bytes_.u32(g.data1);
    bytes_.u16(g.data2);
    bytes_.u16(g.data3);
    for (const std::uint8_t b : g.data4) bytes_.u8(b);
    bytes_.i32(owner);
    bytes_.i32(-1);  // next in bucket
    entries_.push_back({offset, g});
    return offset;
  }
  std::array<std::int32_t, fmt::kGuidBuckets> finish() {
    return chain<fmt::kGuidBuckets>(bytes_, entries_, fmt::kGuidEntryNext, [](const Entry& e) { return guidBucket(e.guid); });
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  struct Entry {
    std::int32_t offset;
    values::Guid guid;
  };
  Bytes bytes_;
  std::vector<Entry> entries_;
};

// Strings: a 16-bit length and the text, at least 8 bytes, padded to 4.
class StringTable {
 public:
  std::int32_t add(const std::string& s) {
    if (s.size() > 0xFFFF) reject("string longer than 65535 bytes");
    if (const auto it = offsets_.find(s); it != offsets_.end()) return it->second;
    const std::int32_t offset = bytes_.size();
    bytes_.u16(static_cast<std::uint16_t>(s.size()));
    bytes_.text(s);
    while (bytes_.size() - offset < static_cast<std::int32_t>(fmt::kMinStringEntry)) bytes_.u8(fmt::kPad);
    bytes_.padTo(4);
    offsets_.emplace(s, offset);
    return offset;
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::map<std::string, std::int32_t> offsets_;
};

// Type descriptors, each stored once: two words, the first holding the variant type in its low
// half and the descriptor's "mix" in its high half, the second the target (a basic type word,
// another descriptor's offset, or a type reference).
class TypeDescriptorTable {
 public:
  std::int32_t add(std::uint32_t word0, std::int32_t word1) {
    const auto key = std::make_pair(word0, word1);
    if (const auto it = offsets_.find(key); it != offsets_.end()) return it->second;
    const std::int32_t offset = bytes_.size();
    bytes_.u32(word0);
    bytes_.i32(word1);
    offsets_.emplace(key, offset);
    return offset;
  }
  std::uint32_t word0(std::int32_t offset) const { return static_cast<std::uint32_t>(bytes_.get32(offset)); }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::map<std::pair<std::uint32_t, std::int32_t>, std::int32_t> offsets_;
};

std::int32_t basicWord(std::uint16_t vt) {
  return static_cast<std::int32_t>(fmt::kBasicTypeMark | (std::uint32_t{vt} << 16) | vt);
}

bool isBasicType(std::uint16_t vt) {
  using namespace codes;
  switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_VOID:
    case VT_HRESULT:
    case VT_LPSTR:
    case VT_LPWSTR: return true;
    default: return false;
  }
}

// The fixed 0x64 bytes of one type entry.
struct TypeEntryRecord {
  std::int32_t kindAndAlignment = 0;
  std::int32_t memberBlock = 0;  // file offset of the member block; the file's end when none
  std::int32_t memoryHint = 0;
  std::int32_t reconstitutedHint = -1;
  std::int32_t functions = 0;
  std::int32_t variables = 0;
  std::int32_t guid = -1;
  std::uint32_t flags = 0;
  std::int32_t name = -1;
  std::int16_t implementedCount = 0;
  std::int16_t vtableSize = 0;
  std::int32_t instanceSize = 0;
  std::int32_t datatype1 = -1;
  std::int32_t datatype2 = 0;
  bool hasBlock = false;
};

class Writer {
 public:
  explicit Writer(const tlb::Library& lib) : lib_(lib) {}

  std::vector<std::uint8_t> write() {
    checkLibrary();
    const std::int32_t libGuid = guids_.add(lib_.libid, fmt::kLibraryGuidOwner);
    const std::int32_t libName = names_.add(lib_.name, -1);
    const std::int32_t docString = lib_.docString.empty() ? -1 : strings_.add(lib_.docString);
    const std::int32_t helpFile = lib_.helpFile.empty() ? -1 : strings_.add(lib_.helpFile);

    records_.resize(lib_.types.size());
    for (std::size_t i = 0; i < lib_.types.size(); ++i) {
      records_[i].name = names_.add(lib_.types[i].name, typeRef(i));
      records_[i].guid = guids_.add(lib_.types[i].guid, typeRef(i));
    }
    writeImports();
    for (std::size_t i = 0; i < lib_.types.size(); ++i) describeType(i);

    const auto nameHeads = names_.finish();
    const auto guidHeads = guids_.finish();
    std::array<Bytes, kSegments> segments;
    segments[fmt::kImportInfos] = importInfos_;
    segments[fmt::kImportFiles] = importFiles_;
    segments[fmt::kReferences] = references_;
    for (const std::int32_t h : guidHeads) segments[fmt::kGuidHash].i32(h);
    segments[fmt::kGuids] = guids_.bytes();
    for (const std::int32_t h : nameHeads) segments[fmt::kNameHash].i32(h);
    segments[fmt::kNames] = names_.bytes();
    segments[fmt::kStrings] = strings_.bytes();
    segments[fmt::kTypeDescriptors] = typeDescs_.bytes();
    segments[fmt::kCustomData] = customData_;

    // Layout: header, type entry offsets, directory, segments, member blocks.
    const auto typeCount = static_cast<std::int32_t>(lib_.types.size());
    const std::int32_t typeEntriesSize = typeCount * kTypeEntrySize;
    std::int32_t pos = static_cast<std::int32_t>(fmt::kHeaderSize + kSegments * fmt::kSegmentEntrySize) + 4 * typeCount;
    std::array<std::int32_t, kSegments> offsets{};
    for (std::size_t s = 0; s < kSegments; ++s) {
      const std::int32_t length = s == fmt::kTypeEntries ? typeEntriesSize : segments[s].size();
      offsets[s] = length > 0 ? pos : -1;
      pos += length;
    }
    for (std::size_t i = 0; i < records_.size(); ++i) {
      if (!records_[i].hasBlock) continue;
      records_[i].memberBlock = pos;
      pos += blocks_[i].size();
    }
    const std::int32_t fileSize = pos;
    for (TypeEntryRecord& r : records_)
      if (!r.hasBlock) r.memberBlock = fileSize;
    for (const TypeEntryRecord& r : records_) serialise(r, segments[fmt::kTypeEntries]);

    namespace h = fmt::header;
    Bytes out;
    out.zeros(fmt::kHeaderSize);
    out.put32(h::kMagic, fmt::kMagic);
    out.put32(h::kFormatVersion, fmt::kFormatVersion);
    out.put32(h::kLibraryGuid, libGuid);
    out.put32(h::kLcid, lib_.lcid);
    out.put32(h::kLcid2, lib_.lcid);
    out.put32(h::kFlags, std::uint32_t{lib_.sysKind} | fmt::kHeaderFlagsBase | (helpFile >= 0 ? fmt::kHelpFileMark : 0));
    out.put32(h::kVersion, lib_.majorVersion | (std::uint32_t{lib_.minorVersion} << 16));
    out.put32(h::kLibraryFlags, 0);
    out.put32(h::kTypeCount, typeCount);
    out.put32(h::kDocString, docString);
    out.put32(h::kHelpStringContext, 0);
    out.put32(h::kHelpContext, 0);
    out.put32(h::kNameCount, names_.count());
    out.put32(h::kNameChars, names_.chars());
    out.put32(h::kLibraryName, libName);
    out.put32(h::kHelpFile, helpFile);
    out.put32(h::kCustomData, -1);
    out.put32(h::kGuidHashSize, static_cast<std::int64_t>(fmt::kGuidBuckets) * 4);
    out.put32(h::kNameHashSize, static_cast<std::int64_t>(fmt::kNameBuckets) * 4);
    out.put32(h::kDispatch, lib_.dispatch ? importRef(*lib_.dispatch) : -1);
    out.put32(h::kImportCount, static_cast<std::int64_t>(lib_.importedTypes.size()));
    for (std::int32_t i = 0; i < typeCount; ++i) out.i32(i * kTypeEntrySize);
    for (std::size_t s = 0; s < kSegments; ++s) {
      out.i32(offsets[s]);
      out.i32(offsets[s] < 0 ? 0 : segments[s].size());
      out.i32(fmt::kSegmentReserved1);
      out.i32(fmt::kSegmentReserved2);
    }
    for (const Bytes& s : segments) out.append(s);
    for (std::size_t i = 0; i < records_.size(); ++i)
      if (records_[i].hasBlock) out.append(blocks_[i]);
    if (out.size() != fileSize) throw std::logic_error("type library: layout size mismatch");
    return out.take();
  }

 private:
  static std::int32_t typeRef(std::size_t typeIndex) { return static_cast<std::int32_t>(typeIndex) * kTypeEntrySize; }
  static std::int32_t importRef(std::size_t importIndex) {
    return static_cast<std::int32_t>(importIndex) * kImportInfoSize | fmt::kImportedTypeMark;
  }

  void checkLibrary() const {
    if (lib_.sysKind != codes::SYS_WIN32) reject("only 32-bit Windows libraries are supported");
    if ((lib_.lcid & 0x3FF) != 0x09 && lib_.lcid != 0) reject("only English locales are supported (name hashes)");
    if (lib_.types.size() > 0x7FFF || lib_.importedTypes.size() > 0x7FFF) reject("too many entries");
    if (lib_.dispatch && *lib_.dispatch >= lib_.importedTypes.size()) reject("IDispatch names no imported type");
    for (const tlb::ImportedType& t : lib_.importedTypes)
      if (t.library >= lib_.libraries.size()) reject("an imported type names no imported library");
  }

  void writeImports() {
    std::vector<std::int32_t> fileOffsets;
    for (const tlb::ImportedLibrary& l : lib_.libraries) {
      if (l.fileName.size() > 0x3FFF) reject("import file name too long");
      const std::int32_t offset = importFiles_.size();
      fileOffsets.push_back(offset);
      importFiles_.i32(guids_.add(l.libid, offset | fmt::kImportedLibraryMark));
      importFiles_.u32(l.lcid);
      importFiles_.u16(l.majorVersion);
      importFiles_.u16(l.minorVersion);
      importFiles_.u16(static_cast<std::uint16_t>(l.fileName.size() << fmt::kImportFileNameShift));
      importFiles_.text(l.fileName);
      importFiles_.padTo(4);
    }
    for (std::size_t i = 0; i < lib_.importedTypes.size(); ++i) {
      const tlb::ImportedType& t = lib_.importedTypes[i];
      // Low word: a count (written as 1); bit 16: the GUID field holds a GUID offset; high
      // byte: the imported type's kind.
      importInfos_.u32(1u | fmt::kImportByGuid | (std::uint32_t{t.kind} << fmt::kImportKindShift));
      importInfos_.i32(fileOffsets[t.library]);
      importInfos_.i32(guids_.add(t.guid, importRef(i)));
    }
  }

  std::int32_t hrefOf(const TypeSpec& t) const {
    if (t.kind == TypeSpec::Kind::Local) {
      if (t.index >= lib_.types.size()) reject("a type reference names no type entry");
      return typeRef(t.index);
    }
    if (t.index >= lib_.importedTypes.size()) reject("a type reference names no imported type");
    return importRef(t.index);
  }

  // The 32-bit type word of a parameter, result or constant; counts the descriptors a loader
  // unfolds into `descriptors`.
  std::int32_t encode(const TypeSpec& t, std::int32_t& descriptors) {
    if (t.pointers < 0 || t.pointers > 8) reject("unsupported level of indirection");
    std::int32_t word;
    if (t.kind == TypeSpec::Kind::Basic) {
      if (!isBasicType(t.vt)) reject("unsupported basic type " + std::to_string(t.vt));
      word = basicWord(t.vt);
    } else {
      word = typeDescs_.add((fmt::kUserDefinedMix << 16) | codes::VT_USERDEFINED, hrefOf(t));
    }
    for (int i = 0; i < t.pointers; ++i) {
      const std::uint32_t mix = word < 0 ? (fmt::kByRefMix | (static_cast<std::uint32_t>(word) & codes::VT_TYPEMASK))
                                : (typeDescs_.word0(word) >> 16) == fmt::kUserDefinedMix ? fmt::kUserDefinedMix
                                                                                         : fmt::kPointerMix;
      word = typeDescs_.add((mix << 16) | codes::VT_PTR, word);
      ++descriptors;
    }
    return word;
  }

  void describeType(std::size_t index) {
    const tlb::TypeEntry& type = lib_.types[index];
    TypeEntryRecord& r = records_[index];
    r.flags = type.flags;
    r.instanceSize = kPointerSize;
    r.kindAndAlignment = type.kind | (kAlignment << fmt::kAlignmentShift);
    if (type.functions.size() > 0x7FFF || type.constants.size() > 0x7FFF || type.implemented.size() > 0x7FFF)
      reject("too many members in " + type.name);
    const bool dual = (type.flags & codes::TYPEFLAG_FDUAL) != 0;
    switch (type.kind) {
      case codes::TKIND_DISPATCH: {
        if (!type.constants.empty() || !type.implemented.empty())
          reject(type.name + ": a dispatch interface has functions only");
        std::int32_t baseFunctions = 0;
        if (type.base) {
          if (*type.base >= lib_.importedTypes.size()) reject(type.name + ": the base names no imported type");
          r.datatype1 = importRef(*type.base);
          r.implementedCount = 1;
          r.datatype2 = (fmt::kDispatchBaseFunctions << fmt::kBaseFunctionsShift) | fmt::kDispatchBaseDepth;
          baseFunctions = fmt::kDispatchBaseFunctions;
        }
        // Every function a client sees, the base's and its own, dual or not: a loader counts a
        // dispatch interface's functions by its vtable size.
        const std::int32_t vtableSize = (baseFunctions + static_cast<std::int32_t>(type.functions.size())) * kPointerSize;
        if (vtableSize > fmt::kMaxVtableSize) reject(type.name + ": too many functions for a vtable");
        r.vtableSize = static_cast<std::int16_t>(vtableSize);
        break;
      }
      case codes::TKIND_ENUM:
        if (!type.functions.empty() || !type.implemented.empty() || type.base)
          reject(type.name + ": an enumeration has constants only");
        break;
      case codes::TKIND_COCLASS:
        if (!type.functions.empty() || !type.constants.empty() || type.base)
          reject(type.name + ": a class lists interfaces only");
        r.implementedCount = static_cast<std::int16_t>(type.implemented.size());
        for (std::size_t k = 0; k < type.implemented.size(); ++k) {
          const tlb::Implemented& impl = type.implemented[k];
          if (impl.type >= lib_.types.size() || lib_.types[impl.type].kind != codes::TKIND_DISPATCH)
            reject(type.name + ": an implemented interface names no interface");
          const std::int32_t offset = references_.size();
          if (k == 0) r.datatype1 = offset;
          references_.i32(typeRef(impl.type));
          references_.u32(impl.flags);
          references_.i32(-1);  // no custom data
          references_.i32(k + 1 < type.implemented.size() ? offset + kReferenceSize : -1);
        }
        break;
      default: reject(type.name + ": unsupported type kind");
    }
    r.functions = static_cast<std::int32_t>(type.functions.size());
    r.variables = static_cast<std::int32_t>(type.constants.size());
    const std::int32_t elements = r.functions + r.variables;
    if (elements == 0) return;
    r.memoryHint = elements * fmt::kElementMemoryHint;
    r.reconstitutedHint = (elements - 1) * fmt::kElementReconstitutedHint;
    r.hasBlock = true;

    const std::int32_t owner = typeRef(index);
    Bytes recordBytes;
    std::vector<std::int32_t> ids, nameOffsets, recordOffsets;
    for (std::size_t f = 0; f < type.functions.size(); ++f) {
      const tlb::Function& fn = type.functions[f];
      if (fn.params.size() > 0xFF) reject(fn.name + ": too many parameters");
      recordOffsets.push_back(recordBytes.size());
      ids.push_back(fn.id);
      nameOffsets.push_back(names_.add(fn.name, owner));
      std::int32_t descriptors = 0;
      const std::int32_t result = encode(fn.result, descriptors);
      std::vector<std::array<std::int32_t, 3>> params;
      for (const tlb::Param& p : fn.params) {
        const std::int32_t word = encode(p.type, descriptors);
        params.push_back({word, names_.add(p.name, -1), p.flags});
      }
      const auto paramCount = static_cast<std::int32_t>(params.size());
      // A dual interface's functions are vtable functions in their slots after IDispatch's (a
      // loader makes their dispatch forms from them, and keeps the vtable offset of a vtable
      // function only); a dispatch interface's own are dispatch functions without a slot.
      const std::uint32_t funcKind = dual ? codes::FUNC_PUREVIRTUAL : codes::FUNC_DISPATCH;
      const std::int32_t vtableOffset =
          dual ? (fmt::kDispatchBaseFunctions + static_cast<std::int32_t>(f)) * kPointerSize : 0;
      const std::int32_t descSize =
          fmt::kFuncDescSize + paramCount * fmt::kElemDescSize + descriptors * fmt::kTypeDescHintSize;
      recordBytes.u16(static_cast<std::uint16_t>(fmt::kFunctionFixed + params.size() * fmt::kParamSize));
      recordBytes.u16(static_cast<std::uint16_t>(f));
      recordBytes.i32(result);
      recordBytes.u32(0);  // function flags
      recordBytes.u16(static_cast<std::uint16_t>(vtableOffset));
      recordBytes.u16(static_cast<std::uint16_t>(descSize));
      recordBytes.u32(funcKind | (std::uint32_t{fn.invoke} << fmt::kInvokeKindShift) |
                      (std::uint32_t{codes::CC_STDCALL} << fmt::kCallConvShift));
      recordBytes.u16(static_cast<std::uint16_t>(paramCount));
      recordBytes.u16(0);  // optional parameters
      for (const auto& [word, name, flags] : params) {
        recordBytes.i32(word);
        recordBytes.i32(name);
        recordBytes.i32(flags);
      }
    }
    for (std::size_t c = 0; c < type.constants.size(); ++c) {
      const tlb::Constant& k = type.constants[c];
      recordOffsets.push_back(recordBytes.size());
      ids.push_back(kFirstVariableId + static_cast<std::int32_t>(c));
      nameOffsets.push_back(names_.add(k.name, owner));
      recordBytes.u16(static_cast<std::uint16_t>(fmt::kConstantRecordSize));
      recordBytes.u16(static_cast<std::uint16_t>(c));
      recordBytes.i32(basicWord(codes::VT_I4));
      recordBytes.u32(0);  // variable flags
      recordBytes.u16(codes::VAR_CONST);
      recordBytes.u16(static_cast<std::uint16_t>(fmt::kVarDescSize + fmt::kVariantSize));
      recordBytes.i32(constantWord(k.value));
      recordBytes.i32(0);  // help context
      recordBytes.i32(k.helpString.empty() ? -1 : strings_.add(k.helpString));
    }
    Bytes& block = blocks_[index];
    block.i32(recordBytes.size());
    block.append(recordBytes);
    for (const std::int32_t v : ids) block.i32(v);
    for (const std::int32_t v : nameOffsets) block.i32(v);
    for (const std::int32_t v : recordOffsets) block.i32(v);
  }

  // A 32-bit constant in its record when it fits; otherwise the offset of its type and value
  // in the custom data segment.
  std::int32_t constantWord(std::int32_t value) {
    if (value >= 0 && value <= fmt::kInlineConstantMax)
      return static_cast<std::int32_t>(fmt::kInlineConstantMark | (std::uint32_t{codes::VT_I4} << fmt::kInlineTypeShift) |
                                       static_cast<std::uint32_t>(value));
    const std::int32_t offset = customData_.size();
    customData_.u16(codes::VT_I4);
    customData_.i32(value);
    customData_.padTo(4);
    return offset;
  }

  static void serialise(const TypeEntryRecord& r, Bytes& out) {
    namespace e = fmt::entry;
    const auto at = static_cast<std::size_t>(out.size());
    out.zeros(fmt::kTypeEntrySize);
    out.put32(at + e::kKind, r.kindAndAlignment);
    out.put32(at + e::kMemberBlock, r.memberBlock);
    out.put32(at + e::kMemoryHint, r.memoryHint);
    out.put32(at + e::kReconstitutedHint, r.reconstitutedHint);
    out.put32(at + e::kConstant, fmt::kTypeEntryConstant);
    out.put16(at + e::kFunctionCount, static_cast<std::uint16_t>(r.functions));
    out.put16(at + e::kVariableCount, static_cast<std::uint16_t>(r.variables));
    out.put32(at + e::kGuid, r.guid);
    out.put32(at + e::kFlags, r.flags);
    out.put32(at + e::kName, r.name);
    out.put32(at + e::kVersion, 0);
    out.put32(at + e::kDocString, -1);
    out.put32(at + e::kHelpStringContext, 0);
    out.put32(at + e::kHelpContext, 0);
    out.put32(at + e::kCustomData, -1);
    out.put16(at + e::kImplementedCount, static_cast<std::uint16_t>(r.implementedCount));
    out.put16(at + e::kVtableSize, static_cast<std::uint16_t>(r.vtableSize));
    out.put32(at + e::kInstanceSize, r.instanceSize);
    out.put32(at + e::kDatatype1, r.datatype1);
    out.put32(at + e::kDatatype2, r.datatype2);
    out.put32(at + e::kLast, -1);
  }

  const tlb::Library& lib_;
  NameTable names_;
  GuidTable guids_;
  StringTable strings_;
  TypeDescriptorTable typeDescs_;
  Bytes importInfos_, importFiles_, references_, customData_;
  std::vector<TypeEntryRecord> records_;
  std::map<std::size_t, Bytes> blocks_;
};

}  // namespace

std::vector<std::uint8_t> writeTypeLibrary(const tlb::Library& library) { return Writer(library).write(); }

}  // namespace kestrinx::packaging
