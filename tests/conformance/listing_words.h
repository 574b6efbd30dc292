// The words of the conformance listing, shared by the program that prints what the platform's
// loader reads (typelib_loader.cpp, built for Windows) and the one that prints what it should
// read (typelib_expected.cpp): the platform's published codes by name, flags, numbers and
// strings. Standard C++ only, so it builds on both sides.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace kestrinx::conformance {

inline std::string hex(unsigned long v, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%0*lX", digits, v);
  return buf;
}

// A string in double quotes with '"' and '\' escaped and control bytes as \xNN.
inline std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

inline std::string typeKindName(int k) {
  static const char* const names[] = {"TKIND_ENUM",     "TKIND_RECORD",  "TKIND_MODULE", "TKIND_INTERFACE",
                                      "TKIND_DISPATCH", "TKIND_COCLASS", "TKIND_ALIAS",  "TKIND_UNION"};
  return k >= 0 && k < 8 ? names[k] : "TKIND_" + std::to_string(k);
}

inline std::string invokeKindName(int k) {
  switch (k) {
    case 1: return "func";
    case 2: return "propget";
    case 4: return "propput";
    case 8: return "propputref";
    default: return "invoke" + std::to_string(k);
  }
}

inline std::string funcKindName(int k) {
  static const char* const names[] = {"FUNC_VIRTUAL", "FUNC_PUREVIRTUAL", "FUNC_NONVIRTUAL", "FUNC_STATIC",
                                      "FUNC_DISPATCH"};
  return k >= 0 && k < 5 ? names[k] : "FUNC_" + std::to_string(k);
}

inline std::string callConvName(int c) {
  switch (c) {
    case 1: return "CC_CDECL";
    case 2: return "CC_PASCAL";
    case 4: return "CC_STDCALL";
    default: return "CC_" + std::to_string(c);
  }
}

inline std::string sysKindName(int s) {
  static const char* const names[] = {"SYS_WIN16", "SYS_WIN32", "SYS_MAC", "SYS_WIN64"};
  return s >= 0 && s < 4 ? names[s] : "SYS_" + std::to_string(s);
}

inline std::string varKindName(int k) {
  static const char* const names[] = {"VAR_PERINSTANCE", "VAR_STATIC", "VAR_CONST", "VAR_DISPATCH"};
  return k >= 0 && k < 4 ? names[k] : "VAR_" + std::to_string(k);
}

// A variant type that is not a pointer, array or user-defined type.
inline std::string basicTypeName(std::uint16_t vt) {
  switch (vt) {
    case 2: return "VT_I2";
    case 3: return "VT_I4";
    case 4: return "VT_R4";
    case 5: return "VT_R8";
    case 6: return "VT_CY";
    case 7: return "VT_DATE";
    case 8: return "VT_BSTR";
    case 9: return "VT_DISPATCH";
    case 10: return "VT_ERROR";
    case 11: return "VT_BOOL";
    case 12: return "VT_VARIANT";
    case 13: return "VT_UNKNOWN";
    case 16: return "VT_I1";
    case 17: return "VT_UI1";
    case 18: return "VT_UI2";
    case 19: return "VT_UI4";
    case 20: return "VT_I8";
    case 21: return "VT_UI8";
    case 22: return "VT_INT";
    case 23: return "VT_UINT";
    case 24: return "VT_VOID";
    case 25: return "VT_HRESULT";
    case 30: return "VT_LPSTR";
    case 31: return "VT_LPWSTR";
    default: return "VT_" + std::to_string(vt);
  }
}

// Parameter flags as "in,out,retval"; "none" for none.
inline std::string paramFlagsText(unsigned f) {
  static const std::pair<unsigned, const char*> words[] = {{0x01, "in"},       {0x02, "out"},        {0x04, "lcid"},
                                                           {0x08, "retval"},   {0x10, "optional"},   {0x20, "hasdefault"},
                                                           {0x40, "hascustdata"}};
  std::string s;
  for (const auto& [bit, word] : words) {
    if ((f & bit) == 0) continue;
    s += (s.empty() ? "" : ",");
    s += word;
    f &= ~bit;
  }
  if (f != 0) s += (s.empty() ? "" : ",") + hex(f, 1);
  return s.empty() ? "none" : s;
}

}  // namespace kestrinx::conformance
