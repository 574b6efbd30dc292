// Who the KestrinX type library is, and which outside types its published interface uses.
//
// The library's own attributes live here; the control's and the property page's identities live
// beside their code (control/members.h, propertypage/general_identity.h). The outside types are
// referenced from the libraries that define them, by identifier, never copied in.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "packaging/automation_codes.h"
#include "values/automation.h"

namespace kestrinx::packaging {

// The type library's own attributes.
struct LibraryIdentity {
  std::string_view name;
  std::string_view docString;
  values::Guid libid;
  std::uint16_t majorVersion;
  std::uint16_t minorVersion;
  std::uint32_t lcid;
  codes::SysKind sysKind;
  std::string_view helpFile;
};

inline constexpr LibraryIdentity kLibrary{
    "KestrinX",       "KestrinX",    values::Guid::parse("A7D52C6E-91AD-11D2-A265-00A0C93C9297"), 1, 0, 0x409,
    codes::SYS_WIN32, "KestrinX.chm"};

// A type library that the published interface takes types from.
struct ImportedLibraryIdentity {
  std::string_view fileName;
  values::Guid libid;
  std::uint16_t majorVersion;
  std::uint16_t minorVersion;
  std::uint32_t lcid;
};

// The platform's standard automation library: IDispatch, the colour type, the font and the
// picture.
inline constexpr ImportedLibraryIdentity kStandardOle{
    "stdole2.tlb", values::Guid::parse("00020430-0000-0000-C000-000000000046"), 2, 0, 0};

// The forms host's runtime library, which defines the drag-and-drop data object. The library's
// own identifier and file belong to the host and are not part of this library's contract, so
// the reference names the data object by its interface identifier and leaves the library
// unnamed (nil identifier, version 0.0, no file name).
inline constexpr ImportedLibraryIdentity kHostRuntime{"", values::Guid{}, 0, 0, 0};

// A type defined in an imported library, referenced by its identifier.
struct ImportedTypeIdentity {
  std::string_view name;  // the name the defining library gives it (for listings)
  values::Guid guid;
  codes::TypeKind kind;
  const ImportedLibraryIdentity* library;
};

inline constexpr ImportedTypeIdentity kIDispatch{
    "IDispatch", values::Guid::parse("00020400-0000-0000-C000-000000000046"), codes::TKIND_INTERFACE, &kStandardOle};
inline constexpr ImportedTypeIdentity kOleColor{
    "OLE_COLOR", values::Guid::parse("66504301-BE0F-101A-8BBB-00AA00300CAB"), codes::TKIND_ALIAS, &kStandardOle};
inline constexpr ImportedTypeIdentity kFont{"Font", values::Guid::parse("BEF6E003-A874-101A-8BBA-00AA00300CAB"),
                                            codes::TKIND_DISPATCH, &kStandardOle};
inline constexpr ImportedTypeIdentity kPicture{"Picture", values::Guid::parse("7BF80981-BF32-101A-8BBB-00AA00300CAB"),
                                               codes::TKIND_DISPATCH, &kStandardOle};
inline constexpr ImportedTypeIdentity kDataObject{
    "DataObject", values::Guid::parse("41A7D760-6018-11CF-9016-00AA0068841E"), codes::TKIND_DISPATCH, &kHostRuntime};

// Every outside type the published interface may use.
inline constexpr std::array<const ImportedTypeIdentity*, 5> kImportedTypes = {&kIDispatch, &kOleColor, &kFont,
                                                                              &kPicture, &kDataObject};

}  // namespace kestrinx::packaging
