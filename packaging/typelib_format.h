// The compound type-library format ("MSFT"), as the writer (typelib_writer.h) lays it out and the
// reader (typelib_reader.h) checks it: the file's layout, its segments, record sizes and field
// offsets, and the marks and flags stored in its words. One place for both, so the two cannot
// disagree about a number; the tests state the numbers again as literals, and an independent
// loader checks the written bytes (scripts/conformance.sh).
//
// A file, little endian throughout:
//
//   header (kHeaderSize bytes)   attributes, counts, offsets of the library's name, doc string
//                                and help file, the IDispatch reference, the import count;
//                                one more word when kHelpDllMark is set
//   type entry offsets           one 32-bit offset per type entry, into the type entry table
//   segment directory            kSegmentCount entries {offset, length, -1, 0x0F}; an empty
//                                segment has offset -1 and length 0
//   segments                     in the order of Segment
//   member blocks                per type entry with members: the size of its records, the
//                                function and variable records, then their identifiers, name
//                                offsets and record offsets (four bytes each, functions first)
//
// Offsets into a segment count from the segment's start; a member block's from the file's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrinx::packaging::format {

// ---- the header ----------------------------------------------------------------------------

inline constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
inline constexpr std::uint32_t kFormatVersion = 0x00010002;
inline constexpr std::size_t kHeaderSize = 0x54;

// Offsets of the header's words.
namespace header {
inline constexpr std::size_t kMagic = 0x00;
inline constexpr std::size_t kFormatVersion = 0x04;
inline constexpr std::size_t kLibraryGuid = 0x08;  // GUID table offset, -1 for none
inline constexpr std::size_t kLcid = 0x0C;
inline constexpr std::size_t kLcid2 = 0x10;
inline constexpr std::size_t kFlags = 0x14;    // system kind and marks (kHeaderFlags*)
inline constexpr std::size_t kVersion = 0x18;  // major in the low word, minor in the high
inline constexpr std::size_t kLibraryFlags = 0x1C;
inline constexpr std::size_t kTypeCount = 0x20;
inline constexpr std::size_t kDocString = 0x24;  // string table offset, -1 for none
inline constexpr std::size_t kHelpStringContext = 0x28;
inline constexpr std::size_t kHelpContext = 0x2C;
inline constexpr std::size_t kNameCount = 0x30;
inline constexpr std::size_t kNameChars = 0x34;
inline constexpr std::size_t kLibraryName = 0x38;  // name table offset
inline constexpr std::size_t kHelpFile = 0x3C;     // string table offset, -1 for none
inline constexpr std::size_t kCustomData = 0x40;   // -1 for none
inline constexpr std::size_t kGuidHashSize = 0x44;
inline constexpr std::size_t kNameHashSize = 0x48;
inline constexpr std::size_t kDispatch = 0x4C;  // type reference of IDispatch, -1 for none
inline constexpr std::size_t kImportCount = 0x50;
}  // namespace header

// The header's flags word: the system kind (SYS_*) in the low nibble, then marks.
inline constexpr std::uint32_t kHeaderSysKindMask = 0x0F;
inline constexpr std::uint32_t kHeaderFlagsBase = 0x40;  // always set
inline constexpr std::uint32_t kHelpFileMark = 0x10;     // a help file is named
inline constexpr std::uint32_t kHelpDllMark = 0x100;     // a help DLL word follows the header

// ---- the segment directory -----------------------------------------------------------------

inline constexpr std::size_t kSegmentEntrySize = 16;
// The directory entry's last two words, the same in every entry.
inline constexpr std::int32_t kSegmentReserved1 = -1;
inline constexpr std::int32_t kSegmentReserved2 = 0x0F;

enum Segment : std::size_t {
  kTypeEntries,       // kTypeEntrySize bytes each
  kImportInfos,       // kImportInfoSize bytes each: kinds and marks, import file, GUID or index
  kImportFiles,       // kImportFileHeader bytes, then the file name, padded to 4
  kReferences,        // a class's implemented interfaces, kReferenceSize bytes each, chained
  kGuidHash,          // kGuidBuckets GUID table offsets
  kGuids,             // kGuidEntrySize bytes each: GUID, owner reference, next in bucket
  kNameHash,          // kNameBuckets name table offsets
  kNames,             // kNameHeader bytes (owner, next in bucket, length, hash), then the text
  kStrings,           // a 16-bit length and the text, at least kMinStringEntry bytes, padded to 4
  kTypeDescriptors,   // kTypeDescSize bytes each
  kArrayDescriptors,  // array bounds
  kCustomData,        // constants that do not fit a record: a 16-bit variant type, the value
  kCustomDataGuids,   // kCustomDataGuidSize bytes each
  kSegment13,         // unused
  kSegment14,         // unused
  kSegmentCount
};

// The segments' names, for messages.
inline constexpr std::array<const char*, kSegmentCount> kSegmentNames = {
    "type entry table",      "import info table",      "import file table", "reference table",
    "GUID hash table",       "GUID table",             "name hash table",   "name table",
    "string table",          "type descriptor table",  "array descriptor table",
    "custom data table",     "custom data GUID table", "segment 13",        "segment 14"};

// ---- record sizes --------------------------------------------------------------------------

inline constexpr std::size_t kTypeEntrySize = 0x64;
inline constexpr std::size_t kImportInfoSize = 12;
inline constexpr std::size_t kImportFileHeader = 14;  // GUID offset, lcid, version, name length
inline constexpr std::size_t kReferenceSize = 16;
inline constexpr std::size_t kGuidEntrySize = 24;
inline constexpr std::size_t kNameHeader = 12;
inline constexpr std::size_t kMinStringEntry = 8;
inline constexpr std::size_t kTypeDescSize = 8;
inline constexpr std::size_t kArrayDescMinSize = 8;
inline constexpr std::size_t kCustomDataGuidSize = 12;
inline constexpr std::size_t kFunctionFixed = 24;  // before the optional fields and parameters
inline constexpr std::size_t kVariableFixed = 20;  // before the optional fields
inline constexpr std::size_t kParamSize = 12;      // type, name offset, flags
// A member block's three arrays (identifiers, name offsets, record offsets): 4 bytes per member
// in each.
inline constexpr std::size_t kMemberArrays = 3;

// Hash tables: buckets of 32-bit table offsets.
inline constexpr std::size_t kGuidBuckets = 32;
inline constexpr std::size_t kNameBuckets = 128;

// Names and strings are padded to four bytes with this byte.
inline constexpr std::uint8_t kPad = 'W';

// ---- a type entry --------------------------------------------------------------------------

// Offsets of a type entry's words.
namespace entry {
inline constexpr std::size_t kKind = 0x00;         // type kind (kTypeKindMask), alignment (kAlignmentShift)
inline constexpr std::size_t kMemberBlock = 0x04;  // file offset; the file's end when there is none
inline constexpr std::size_t kMemoryHint = 0x08;
inline constexpr std::size_t kReconstitutedHint = 0x0C;
inline constexpr std::size_t kConstant = 0x10;       // kTypeEntryConstant
inline constexpr std::size_t kFunctionCount = 0x18;  // 16 bits
inline constexpr std::size_t kVariableCount = 0x1A;  // 16 bits
inline constexpr std::size_t kGuid = 0x2C;           // GUID table offset
inline constexpr std::size_t kFlags = 0x30;          // TYPEFLAG_*
inline constexpr std::size_t kName = 0x34;           // name table offset
inline constexpr std::size_t kVersion = 0x38;
inline constexpr std::size_t kDocString = 0x3C;
inline constexpr std::size_t kHelpStringContext = 0x40;
inline constexpr std::size_t kHelpContext = 0x44;
inline constexpr std::size_t kCustomData = 0x48;
inline constexpr std::size_t kImplementedCount = 0x4C;  // 16 bits
inline constexpr std::size_t kVtableSize = 0x4E;        // 16 bits, see below
inline constexpr std::size_t kInstanceSize = 0x50;
inline constexpr std::size_t kDatatype1 = 0x54;  // base interface, first reference record, or alias type
inline constexpr std::size_t kDatatype2 = 0x58;  // of an interface: its base's function count << 16 | depth
inline constexpr std::size_t kLast = 0x60;       // -1; the words not named here are 0
}  // namespace entry

inline constexpr std::uint32_t kTypeKindMask = 0x0F;
inline constexpr unsigned kAlignmentShift = 11;
inline constexpr std::uint32_t kAlignmentMask = 0x1F;
// Word entry::kConstant of every type entry.
inline constexpr std::int32_t kTypeEntryConstant = 3;

// The vtable size of an interface or dispatch interface counts every function its clients see,
// its base's (the high word of its datatype2 word, when it names a base in datatype1) and its own,
// in pointers of the library's system. A loader takes the number of a dispatch interface's
// functions from it (vtable size / pointer size, the base's first), dual interface or not.
inline constexpr unsigned kBaseFunctionsShift = 16;
inline constexpr std::int32_t kMaxVtableSize = 0x7FFF;
inline constexpr std::int32_t kPointerSize32 = 4;  // SYS_WIN16, SYS_WIN32, SYS_MAC
inline constexpr std::int32_t kPointerSize64 = 8;  // SYS_WIN64

// IUnknown's three and IDispatch's four functions, which every dispatch interface inherits.
inline constexpr std::int32_t kDispatchBaseFunctions = 7;
// IDispatch derives from IUnknown: two levels of base interfaces.
inline constexpr std::int32_t kDispatchBaseDepth = 2;

// ---- references ----------------------------------------------------------------------------

// A type reference is a type entry's offset in the type entry table (low two bits 0), or an
// import info's offset with kImportedTypeMark.
inline constexpr std::int32_t kReferenceKindMask = 3;
inline constexpr std::int32_t kImportedTypeMark = 1;
// The owner word of a GUID table entry: a type reference; kLibraryGuidOwner for the library's
// own GUID; an import file's offset with kImportedLibraryMark for an imported library's GUID.
inline constexpr std::int32_t kLibraryGuidOwner = -2;
inline constexpr std::int32_t kImportedLibraryMark = 2;
// An import info's first word: a count in the low word (written as 1), kImportByGuid when its
// third word is a GUID table offset (otherwise the type's index in the imported library), the
// imported type's kind in the high byte.
inline constexpr std::uint32_t kImportByGuid = 0x00010000;
inline constexpr unsigned kImportKindShift = 24;
// An import file's name length word holds the length shifted left by this.
inline constexpr unsigned kImportFileNameShift = 2;
// Offset of the "next" word in a reference record (after the type reference, flags, custom data).
inline constexpr std::size_t kReferenceNext = 12;
// Offsets of the "next in bucket" word in a GUID entry and a name entry.
inline constexpr std::size_t kGuidEntryNext = 20;
inline constexpr std::size_t kNameEntryNext = 4;

// ---- type words ----------------------------------------------------------------------------

// A parameter's, result's or variable's type word: a basic type in the word itself (kBasicTypeMark
// | vt << 16 | vt), or the offset of a type descriptor. A descriptor is two words: the variant
// type in the low half and a "mix" in the high half of the first, the target in the second (a
// basic type word, another descriptor's offset, a type reference or an array descriptor).
inline constexpr std::uint32_t kBasicTypeMark = 0x80000000;
// The mix of a pointer to a basic type (with the basic type's variant type), to a user-defined
// type or a pointer to one, and to any other descriptor.
inline constexpr std::uint32_t kByRefMix = 0x4000;
inline constexpr std::uint32_t kUserDefinedMix = 0x7FFF;
inline constexpr std::uint32_t kPointerMix = 0x7FFE;

// A 32-bit constant stored in its record: kInlineConstantMark | vt << kInlineTypeShift | value,
// for 0 .. kInlineConstantMax; otherwise the offset of its type and value in the custom data.
inline constexpr std::uint32_t kInlineConstantMark = 0x80000000;
inline constexpr unsigned kInlineTypeShift = 26;
inline constexpr std::uint32_t kInlineTypeMask = 0x1F;
inline constexpr std::int32_t kInlineConstantMax = 0x3FFFFFF;

// ---- function and variable records ---------------------------------------------------------

// Offsets in a function record. Optional fields (help context, help string, ...) follow the
// fixed part; the parameters, kParamSize bytes each, end the record.
namespace function {
inline constexpr std::size_t kSize = 0;   // 16 bits: the record's size
inline constexpr std::size_t kIndex = 2;  // 16 bits
inline constexpr std::size_t kResult = 4;
inline constexpr std::size_t kFlags = 8;          // FUNCFLAG_*
inline constexpr std::size_t kVtableOffset = 12;  // 16 bits
inline constexpr std::size_t kDescSize = 14;      // 16 bits
inline constexpr std::size_t kKinds = 16;         // function kind, invocation kind, calling convention
inline constexpr std::size_t kParamCount = 20;    // 16 bits
inline constexpr std::size_t kOptionalCount = 22;
inline constexpr std::size_t kHelpContext = 24;
inline constexpr std::size_t kHelpString = 28;
}  // namespace function

// The kinds word: function kind in bits 0-2, invocation kind in bits 3-6, calling convention in
// bits 8-11.
inline constexpr std::uint32_t kFuncKindMask = 0x7;
inline constexpr unsigned kInvokeKindShift = 3;
inline constexpr std::uint32_t kInvokeKindMask = 0xF;
inline constexpr unsigned kCallConvShift = 8;
inline constexpr std::uint32_t kCallConvMask = 0xF;

// Offsets in a variable record.
namespace variable {
inline constexpr std::size_t kSize = 0;
inline constexpr std::size_t kIndex = 2;
inline constexpr std::size_t kType = 4;
inline constexpr std::size_t kFlags = 8;
inline constexpr std::size_t kVarKind = 12;   // 16 bits
inline constexpr std::size_t kDescSize = 14;  // 16 bits
inline constexpr std::size_t kValue = 16;     // a constant's value word, or an instance offset
inline constexpr std::size_t kHelpContext = 20;
inline constexpr std::size_t kHelpString = 24;
}  // namespace variable

// A constant's record: the fixed part, help context and help string.
inline constexpr std::size_t kConstantRecordSize = kVariableFixed + 8;

// Size hints of the descriptions a loader builds from the records (32-bit layout), which the
// records and type entries carry.
inline constexpr std::int32_t kFuncDescSize = 0x34;
inline constexpr std::int32_t kElemDescSize = 0x10;
inline constexpr std::int32_t kTypeDescHintSize = 0x08;
inline constexpr std::int32_t kVarDescSize = 0x24;
inline constexpr std::int32_t kVariantSize = 0x10;
inline constexpr std::int32_t kElementMemoryHint = 0x40;
inline constexpr std::int32_t kElementReconstitutedHint = 0x38;

}  // namespace kestrinx::packaging::format
