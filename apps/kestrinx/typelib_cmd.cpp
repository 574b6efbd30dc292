#include "typelib_cmd.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "output.h"
#include "packaging/automation_codes.h"
#include "packaging/kestrinx_typelib.h"
#include "packaging/typelib_identity.h"
#include "packaging/typelib_reader.h"

namespace kestrinx::cli {

namespace {

using namespace packaging::codes;
using packaging::reader::TypeDesc;
using packaging::reader::TypeLibrary;
using packaging::reader::TypeRef;

// Files larger than this are refused rather than read into memory.
constexpr std::size_t kMaxFileSize = 64u << 20;

std::string hex(std::uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
  return buf;
}

// An identifier as it stands when it is plain printable ASCII, otherwise quoted and escaped.
std::string ident(std::string_view s) {
  for (const char c : s)
    if (c <= ' ' || c > '~') return jsonString(s);
  return s.empty() ? std::string("\"\"") : std::string(s);
}

std::string guidText(const std::optional<values::Guid>& g) { return g ? g->toString() : "(no GUID)"; }

std::string_view typeKindName(std::uint8_t kind) {
  static constexpr std::string_view names[] = {"TKIND_ENUM",     "TKIND_RECORD",  "TKIND_MODULE", "TKIND_INTERFACE",
                                               "TKIND_DISPATCH", "TKIND_COCLASS", "TKIND_ALIAS",  "TKIND_UNION"};
  return kind < std::size(names) ? names[kind] : "TKIND_?";
}

std::string_view sysKindName(std::uint8_t sys) {
  static constexpr std::string_view names[] = {"SYS_WIN16", "SYS_WIN32", "SYS_MAC", "SYS_WIN64"};
  return sys < std::size(names) ? names[sys] : "SYS_?";
}

std::string_view invokeKindName(std::uint8_t k) {
  switch (k) {
    case INVOKE_FUNC: return "func";
    case INVOKE_PROPERTYGET: return "propget";
    case INVOKE_PROPERTYPUT: return "propput";
    case INVOKE_PROPERTYPUTREF: return "propputref";
    default: return "invoke?";
  }
}

std::string_view funcKindName(std::uint8_t k) {
  static constexpr std::string_view names[] = {"FUNC_VIRTUAL", "FUNC_PUREVIRTUAL", "FUNC_NONVIRTUAL", "FUNC_STATIC",
                                               "FUNC_DISPATCH"};
  return k < std::size(names) ? names[k] : "FUNC_?";
}

std::string_view callConvName(std::uint8_t c) {
  switch (c) {
    case CC_CDECL: return "CC_CDECL";
    case CC_PASCAL: return "CC_PASCAL";
    case CC_STDCALL: return "CC_STDCALL";
    default: return "CC_?";
  }
}

std::string flagWords(std::uint32_t flags, std::initializer_list<std::pair<std::uint32_t, std::string_view>> words) {
  std::string s;
  for (const auto& [bit, word] : words) {
    if ((flags & bit) == 0) continue;
    if (!s.empty()) s += ", ";
    s += word;
    flags &= ~bit;
  }
  if (flags != 0) s += (s.empty() ? "" : ", ") + hex(flags, 1);
  return s;
}

std::string typeFlagsText(std::uint32_t f) {
  const std::string words = flagWords(f, {{TYPEFLAG_FAPPOBJECT, "appobject"},
                                          {TYPEFLAG_FCANCREATE, "cancreate"},
                                          {TYPEFLAG_FLICENSED, "licensed"},
                                          {TYPEFLAG_FPREDECLID, "predeclid"},
                                          {TYPEFLAG_FHIDDEN, "hidden"},
                                          {TYPEFLAG_FCONTROL, "control"},
                                          {TYPEFLAG_FDUAL, "dual"},
                                          {TYPEFLAG_FNONEXTENSIBLE, "nonextensible"},
                                          {TYPEFLAG_FOLEAUTOMATION, "oleautomation"},
                                          {TYPEFLAG_FRESTRICTED, "restricted"},
                                          {TYPEFLAG_FAGGREGATABLE, "aggregatable"},
                                          {TYPEFLAG_FREPLACEABLE, "replaceable"},
                                          {TYPEFLAG_FDISPATCHABLE, "dispatchable"},
                                          {TYPEFLAG_FREVERSEBIND, "reversebind"}});
  return hex(f, 4) + (words.empty() ? "" : " (" + words + ")");
}

std::string paramFlagsText(std::uint32_t f) {
  return flagWords(f, {{PARAMFLAG_FIN, "in"},
                       {PARAMFLAG_FOUT, "out"},
                       {PARAMFLAG_FLCID, "lcid"},
                       {PARAMFLAG_FRETVAL, "retval"},
                       {PARAMFLAG_FOPT, "optional"},
                       {PARAMFLAG_FHASDEFAULT, "hasdefault"},
                       {PARAMFLAG_FHASCUSTDATA, "hascustdata"}});
}

std::string implFlagsText(std::uint32_t f) {
  return flagWords(f, {{IMPLTYPEFLAG_FDEFAULT, "default"},
                       {IMPLTYPEFLAG_FSOURCE, "source"},
                       {IMPLTYPEFLAG_FRESTRICTED, "restricted"},
                       {IMPLTYPEFLAG_FDEFAULTVTABLE, "defaultvtable"}});
}

std::string_view basicTypeName(std::uint16_t vt) {
  switch (vt) {
    case VT_I2: return "short";
    case VT_I4: return "long";
    case VT_R4: return "single";
    case VT_R8: return "double";
    case VT_CY: return "CURRENCY";
    case VT_DATE: return "DATE";
    case VT_BSTR: return "BSTR";
    case VT_DISPATCH: return "IDispatch*";
    case VT_ERROR: return "SCODE";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_VARIANT: return "VARIANT";
    case VT_UNKNOWN: return "IUnknown*";
    case VT_I1: return "char";
    case VT_UI1: return "unsigned char";
    case VT_UI2: return "unsigned short";
    case VT_UI4: return "unsigned long";
    case VT_I8: return "int64";
    case VT_UI8: return "uint64";
    case VT_INT: return "int";
    case VT_UINT: return "unsigned int";
    case VT_VOID: return "void";
    case VT_HRESULT: return "HRESULT";
    case VT_LPSTR: return "LPSTR";
    case VT_LPWSTR: return "LPWSTR";
    default: return {};
  }
}

class Listing {
 public:
  Listing(std::FILE* out, const TypeLibrary& lib) : out_(out), lib_(lib) {}

  void write() {
    line("Type library " + ident(lib_.name));
    line("  file         " + std::to_string(lib_.fileSize) + " bytes, MSFT format " + hex(lib_.formatVersion, 8));
    line("  GUID         " + guidText(lib_.libid));
    line("  version      " + std::to_string(lib_.majorVersion) + "." + std::to_string(lib_.minorVersion));
    line("  lcid         " + hex(lib_.lcid, 4) + " (lcid2 " + hex(lib_.lcid2, 4) + ")");
    line("  system       " + std::string(sysKindName(lib_.sysKind)) + " (header flags " + hex(lib_.headerFlags, 2) +
         ")");
    line("  flags        " + hex(lib_.libraryFlags, 1));
    line("  doc string   " + (lib_.docString ? jsonString(*lib_.docString) : std::string("(none)")));
    line("  help file    " + (lib_.helpFile ? jsonString(*lib_.helpFile) : std::string("(none)")));
    line("  IDispatch    " + (lib_.dispatch ? refName(*lib_.dispatch) : std::string("(none)")));
    line("  tables       " + std::to_string(lib_.names.size()) + " names in " +
         std::to_string(lib_.nameBuckets.size()) + " hash buckets, " + std::to_string(lib_.guids.size()) +
         " GUIDs in " + std::to_string(lib_.guidBuckets.size()) + " hash buckets, " +
         std::to_string(lib_.customDataEntries) + " custom data entries");
    line("");
    line("Imported libraries");
    for (std::size_t i = 0; i < lib_.libraries.size(); ++i) {
      const auto& l = lib_.libraries[i];
      line("  " + std::to_string(i) + "  " + guidText(l.libid) + " " + std::to_string(l.majorVersion) + "." +
           std::to_string(l.minorVersion) + " lcid " + hex(l.lcid, 4) + " " + jsonString(l.fileName));
    }
    line("");
    line("Imported types");
    for (std::size_t i = 0; i < lib_.imports.size(); ++i) {
      const auto& t = lib_.imports[i];
      const std::string target = t.guid ? t.guid->toString() : "type " + std::to_string(t.typeIndex);
      line("  " + std::to_string(i) + "  " + std::string(typeKindName(t.kind)) + " " + target + " from library " +
           std::to_string(t.library) + knownName(i));
    }
    line("");
    line("Type entries");
    for (std::size_t i = 0; i < lib_.types.size(); ++i) writeType(i);
  }

 private:
  void line(const std::string& s) {
    std::fputs(s.c_str(), out_);
    std::fputc('\n', out_);
  }

  // " (Font)" when the import's GUID is one the published interface is known to use.
  std::string knownName(std::size_t import) const {
    const auto& t = lib_.imports[import];
    if (!t.guid) return "";
    for (const packaging::ImportedTypeIdentity* known : packaging::kImportedTypes)
      if (known->guid == *t.guid) return " (" + std::string(known->name) + ")";
    return "";
  }

  std::string refName(const TypeRef& r) const {
    if (r.kind == TypeRef::Kind::Local) return ident(lib_.types[r.index].name);
    const std::string known = knownName(r.index);
    return known.empty() ? "import#" + std::to_string(r.index) : known.substr(2, known.size() - 3);
  }

  std::string typeText(const TypeDesc& t) const {
    std::string s;
    std::size_t stars = 0;
    for (const std::uint16_t vt : t.chain) {
      if (vt == VT_PTR) {
        ++stars;
      } else if (vt == VT_USERDEFINED) {
        s = t.ref ? refName(*t.ref) : "?";
      } else if (vt == VT_SAFEARRAY) {
        s += "SAFEARRAY(";
      } else if (vt == VT_CARRAY) {
        s = "array";
      } else {
        const std::string_view name = basicTypeName(vt);
        s = name.empty() ? "VT_" + std::to_string(vt) : std::string(name);
      }
    }
    for (const std::uint16_t vt : t.chain)
      if (vt == VT_SAFEARRAY) s += ")";
    return s + std::string(stars, '*');
  }

  void writeType(std::size_t index) {
    const auto& t = lib_.types[index];
    line("  " + std::to_string(index) + "  " + ident(t.name) + "  " + std::string(typeKindName(t.kind)) + "  " +
         guidText(t.guid) + "  flags " + typeFlagsText(t.flags));
    std::string about = "version " + std::to_string(t.majorVersion) + "." + std::to_string(t.minorVersion) +
                        ", instance size " + std::to_string(t.instanceSize) + ", alignment " +
                        std::to_string(t.alignment);
    if (t.kind == TKIND_DISPATCH || t.kind == TKIND_INTERFACE)
      about += ", vtable " + std::to_string(t.vtableSize) + " bytes";
    if (t.docString) about += ", doc " + jsonString(*t.docString);
    line("       " + about);
    for (const auto& impl : t.implemented) {
      if (t.kind == TKIND_COCLASS) {
        const std::string flags = implFlagsText(impl.flags);
        line("       implements " + refName(impl.ref) + (flags.empty() ? "" : " [" + flags + "]"));
      } else {
        line("       derives from " + refName(impl.ref));
      }
    }
    if (t.aliasOf) line("       alias of " + typeText(*t.aliasOf));
    if (!t.functions.empty()) {
      bool uniform = true;
      for (const auto& f : t.functions)
        uniform = uniform && f.funcKind == t.functions[0].funcKind && f.callConv == t.functions[0].callConv;
      line("       " + std::to_string(t.functions.size()) + " functions" +
           (uniform ? " (" + std::string(funcKindName(t.functions[0].funcKind)) + ", " +
                          std::string(callConvName(t.functions[0].callConv)) + ")"
                    : ""));
      for (const auto& f : t.functions) writeFunction(f, uniform);
    }
    for (const auto& v : t.variables) {
      std::string s = "       " + hex(static_cast<std::uint32_t>(v.id), 8) + "  " + ident(v.name);
      if (v.value)
        s += " = " + std::to_string(*v.value) + " (" + typeText(TypeDesc{{v.valueType}, {}, -1}) + ")";
      else
        s += " : " + typeText(v.type);
      if (v.helpString) s += "  help " + jsonString(*v.helpString);
      line(s);
    }
  }

  void writeFunction(const packaging::reader::Function& f, bool uniform) {
    std::string s = "       " + hex(static_cast<std::uint32_t>(f.id), 8) + "  ";
    std::string kind(invokeKindName(f.invokeKind));
    kind.resize(std::max<std::size_t>(kind.size(), 10), ' ');
    s += kind + "  " + typeText(f.result) + " " + ident(f.name) + "(";
    for (std::size_t p = 0; p < f.params.size(); ++p) {
      const auto& param = f.params[p];
      if (p > 0) s += ", ";
      const std::string flags = paramFlagsText(param.flags);
      if (!flags.empty()) s += "[" + flags + "] ";
      s += typeText(param.type);
      if (!param.name.empty()) s += " " + ident(param.name);
    }
    s += ")";
    if (f.vtableOffset != 0) s += "  vtable +" + std::to_string(f.vtableOffset);
    if (!uniform) s += "  " + std::string(funcKindName(f.funcKind)) + " " + std::string(callConvName(f.callConv));
    if (f.helpString) s += "  help " + jsonString(*f.helpString);
    line(s);
  }

  std::FILE* out_;
  const TypeLibrary& lib_;
};

}  // namespace

void writeTypeLibraryListing(std::FILE* out, std::span<const std::uint8_t> bytes) {
  const TypeLibrary lib = packaging::reader::readTypeLibrary(bytes);
  Listing(out, lib).write();
}

int runTypelibDump(const std::optional<std::string>& file, std::FILE* out, std::FILE* err) {
  std::vector<std::uint8_t> bytes;
  if (!file) {
    bytes = packaging::kestrinxTypeLibrary();
  } else {
    std::FILE* f = std::fopen(file->c_str(), "rb");
    if (f == nullptr) {
      std::fprintf(err, "kestrinx: cannot read %s: %s\n", file->c_str(), std::strerror(errno));
      return 1;
    }
    char buf[65536];
    std::size_t n;
    bool tooLarge = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
      bytes.insert(bytes.end(), buf, buf + n);
      if (bytes.size() > kMaxFileSize) {
        tooLarge = true;
        break;
      }
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
      std::fprintf(err, "kestrinx: cannot read %s\n", file->c_str());
      return 1;
    }
    if (tooLarge) {
      std::fprintf(err, "kestrinx: %s is larger than %zu bytes; not a type library this tool reads\n", file->c_str(),
                   kMaxFileSize);
      return 1;
    }
  }
  try {
    writeTypeLibraryListing(out, bytes);
  } catch (const packaging::reader::MalformedTypeLibrary& e) {
    std::fprintf(err, "kestrinx: %s: %s\n", file ? file->c_str() : "built-in type library", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrinx::cli
