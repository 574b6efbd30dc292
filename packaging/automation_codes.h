// The automation platform's public codes that type libraries are written in: variant types,
// type kinds, type, function, parameter and implemented-interface flags, invocation, function
// and variable kinds, calling conventions and system kinds. These are the platform's published
// values; the type library writer and reader both speak them.
#pragma once

#include <cstdint>

namespace kestrinx::packaging::codes {

// Variant types (VARTYPE).
enum : std::uint16_t {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_PTR = 26,
  VT_SAFEARRAY = 27,
  VT_CARRAY = 28,
  VT_USERDEFINED = 29,
  VT_LPSTR = 30,
  VT_LPWSTR = 31,
  VT_TYPEMASK = 0x0FFF,
};

// Kinds of type entries (TYPEKIND).
enum TypeKind : std::uint8_t {
  TKIND_ENUM = 0,
  TKIND_RECORD = 1,
  TKIND_MODULE = 2,
  TKIND_INTERFACE = 3,
  TKIND_DISPATCH = 4,
  TKIND_COCLASS = 5,
  TKIND_ALIAS = 6,
  TKIND_UNION = 7,
};

// Type entry flags (TYPEFLAGS).
enum : std::uint32_t {
  TYPEFLAG_FAPPOBJECT = 0x0001,
  TYPEFLAG_FCANCREATE = 0x0002,
  TYPEFLAG_FLICENSED = 0x0004,
  TYPEFLAG_FPREDECLID = 0x0008,
  TYPEFLAG_FHIDDEN = 0x0010,
  TYPEFLAG_FCONTROL = 0x0020,
  TYPEFLAG_FDUAL = 0x0040,
  TYPEFLAG_FNONEXTENSIBLE = 0x0080,
  TYPEFLAG_FOLEAUTOMATION = 0x0100,
  TYPEFLAG_FRESTRICTED = 0x0200,
  TYPEFLAG_FAGGREGATABLE = 0x0400,
  TYPEFLAG_FREPLACEABLE = 0x0800,
  TYPEFLAG_FDISPATCHABLE = 0x1000,
  TYPEFLAG_FREVERSEBIND = 0x2000,
};

// How a function is invoked (INVOKEKIND).
enum InvokeKind : std::uint8_t {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8,
};

// Function kinds (FUNCKIND) and calling conventions (CALLCONV).
enum : std::uint8_t {
  FUNC_VIRTUAL = 0,
  FUNC_PUREVIRTUAL = 1,
  FUNC_NONVIRTUAL = 2,
  FUNC_STATIC = 3,
  FUNC_DISPATCH = 4,
};
enum : std::uint8_t {
  CC_CDECL = 1,
  CC_PASCAL = 2,
  CC_STDCALL = 4,
};

// Parameter flags (PARAMFLAGS).
enum : std::uint16_t {
  PARAMFLAG_FIN = 0x01,
  PARAMFLAG_FOUT = 0x02,
  PARAMFLAG_FLCID = 0x04,
  PARAMFLAG_FRETVAL = 0x08,
  PARAMFLAG_FOPT = 0x10,
  PARAMFLAG_FHASDEFAULT = 0x20,
  PARAMFLAG_FHASCUSTDATA = 0x40,
};

// Variable kinds (VARKIND).
enum : std::uint16_t {
  VAR_PERINSTANCE = 0,
  VAR_STATIC = 1,
  VAR_CONST = 2,
  VAR_DISPATCH = 3,
};

// Flags of a class's implemented interfaces (IMPLTYPEFLAGS).
enum : std::uint32_t {
  IMPLTYPEFLAG_FDEFAULT = 0x1,
  IMPLTYPEFLAG_FSOURCE = 0x2,
  IMPLTYPEFLAG_FRESTRICTED = 0x4,
  IMPLTYPEFLAG_FDEFAULTVTABLE = 0x8,
};

// Target systems (SYSKIND).
enum SysKind : std::uint8_t {
  SYS_WIN16 = 0,
  SYS_WIN32 = 1,
  SYS_MAC = 2,
  SYS_WIN64 = 3,
};

}  // namespace kestrinx::packaging::codes
