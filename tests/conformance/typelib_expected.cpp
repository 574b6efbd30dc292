// kestrinx_typelib_expected: the host side of the independent-loader check
// (scripts/conformance.sh).
//
//   kestrinx_typelib_expected listing        what a loader of the format must read from the
//                                            KestrinX type library, in typelib_loader's listing
//                                            form, from describeKestrinX() (the member,
//                                            event and enumeration tables as published)
//   kestrinx_typelib_expected resource FILE  writes the library's TYPELIB resource to FILE
//
// The listing states how a loader presents what the writer stores, the same facts the
// packaging tests pin with literals: every dispatch interface inherits IDispatch's seven
// functions; a dual interface's functions are vtable functions (slots after IDispatch's seven),
// which the loader also offers as dispatch functions; an interface without the dual flag holds
// dispatch functions; enumeration constants are 32-bit integers numbered from 0x40000000. A type
// imported from a library the description leaves unnamed (no identifier, no file) cannot be
// found by any loader and is listed as unresolved.
//
// Exit status: 0, 1 when the resource cannot be written, 2 on a bad command line.
#include <cstdio>
#include <string>
#include <string_view>

#include "listing_words.h"
#include "packaging/automation_codes.h"
#include "packaging/kestrinx_resources.h"
#include "packaging/kestrinx_typelib.h"
#include "packaging/typelib_identity.h"

namespace kestrinx::conformance {
namespace {

namespace tlb = packaging::tlb;
using namespace packaging::codes;

// IUnknown's three and IDispatch's four functions, before any dispatch interface's own.
constexpr std::size_t kInheritedFunctions = 7;
constexpr std::int32_t kFirstConstantId = 0x40000000;

class Expected {
 public:
  explicit Expected(const tlb::Library& lib) : lib_(lib) {}

  void write() {
    line("library " + lib_.name + " " + lib_.libid.toString() + " version " + std::to_string(lib_.majorVersion) + "." +
         std::to_string(lib_.minorVersion) + " lcid " + hex(lib_.lcid, 4) + " " + sysKindName(lib_.sysKind) +
         " flags 0x0000");
    line("  doc " + text(lib_.docString) + " help-file " + text(lib_.helpFile) + " help-context 0");
    line("  types " + std::to_string(lib_.types.size()));
    for (std::size_t i = 0; i < lib_.types.size(); ++i) writeType(i);
  }

 private:
  static void line(const std::string& s) { std::printf("%s\n", s.c_str()); }
  static std::string text(const std::string& s) { return s.empty() ? "none" : quoted(s); }

  std::string localName(std::size_t type) const {
    return lib_.types[type].name + " " + lib_.types[type].guid.toString();
  }

  std::string importName(std::size_t import) const {
    const tlb::ImportedType& t = lib_.importedTypes[import];
    const tlb::ImportedLibrary& from = lib_.libraries[t.library];
    if (from.libid == values::Guid{} && from.fileName.empty()) return "unresolved";
    for (const packaging::ImportedTypeIdentity* known : packaging::kImportedTypes)
      if (known->guid == t.guid) return std::string(known->name) + " " + t.guid.toString();
    return "(unknown import) " + t.guid.toString();
  }

  std::string typeText(const tlb::TypeSpec& t) const {
    std::string s;
    for (int i = 0; i < t.pointers; ++i) s += "VT_PTR ";
    switch (t.kind) {
      case tlb::TypeSpec::Kind::Basic: return s + basicTypeName(t.vt);
      case tlb::TypeSpec::Kind::Local: return s + "VT_USERDEFINED " + localName(t.index);
      case tlb::TypeSpec::Kind::Imported: return s + "VT_USERDEFINED " + importName(t.index);
    }
    return s + "?";
  }

  void writeType(std::size_t index) {
    const tlb::TypeEntry& t = lib_.types[index];
    line("type " + std::to_string(index) + " " + t.name + " " + typeKindName(t.kind) + " " + t.guid.toString() + " flags " +
         hex(t.flags, 4) + " version 0.0");
    line("  doc none help-context 0");
    if (t.base) line("  implements 0 " + importName(*t.base) + " impl-flags 0x0");
    for (std::size_t k = 0; k < t.implemented.size(); ++k)
      line("  implements " + std::to_string(k) + " " + localName(t.implemented[k].type) + " impl-flags " +
           hex(t.implemented[k].flags, 1));

    const bool dispatch = t.kind == TKIND_DISPATCH;
    const bool dual = (t.flags & TYPEFLAG_FDUAL) != 0;
    const std::size_t inherited = dispatch ? kInheritedFunctions : 0;
    line("  functions " + std::to_string(inherited + t.functions.size()) + " inherited " + std::to_string(inherited) +
         " variables " + std::to_string(t.constants.size()));
    for (std::size_t f = 0; f < t.functions.size(); ++f) {
      const tlb::Function& fn = t.functions[f];
      if (dual)
        line("  dispatch " + std::to_string(inherited + f) + " memid " + hex(static_cast<std::uint32_t>(fn.id), 8) + " " +
             fn.name + " " + invokeKindName(fn.invoke) + " FUNC_DISPATCH");
      else
        writeFunction(inherited + f, fn, FUNC_DISPATCH, "");
    }
    for (std::size_t c = 0; c < t.constants.size(); ++c) {
      const tlb::Constant& k = t.constants[c];
      line("  var " + std::to_string(c) + " memid " + hex(static_cast<std::uint32_t>(kFirstConstantId) + c, 8) + " " +
           k.name + " VAR_CONST type VT_I4 value VT_I4 " + std::to_string(k.value) + " flags 0x0000");
      if (!k.helpString.empty()) line("    help " + quoted(k.helpString) + " help-context 0");
    }
    if (dispatch && dual) {
      line("  vtable interface " + t.name + " TKIND_INTERFACE functions " + std::to_string(t.functions.size()));
      for (std::size_t f = 0; f < t.functions.size(); ++f)
        writeFunction(f, t.functions[f], FUNC_PUREVIRTUAL, " slot " + std::to_string(kInheritedFunctions + f));
    }
  }

  void writeFunction(std::size_t index, const tlb::Function& fn, int funcKind, const std::string& slot) {
    line("  func " + std::to_string(index) + " memid " + hex(static_cast<std::uint32_t>(fn.id), 8) + " " + fn.name + " " +
         invokeKindName(fn.invoke) + " " + funcKindName(funcKind) + " " + callConvName(CC_STDCALL) + slot + " result " +
         typeText(fn.result));
    for (std::size_t p = 0; p < fn.params.size(); ++p)
      line("    param " + std::to_string(p) + " " + fn.params[p].name + " " + typeText(fn.params[p].type) + " " +
           paramFlagsText(fn.params[p].flags));
  }

  const tlb::Library& lib_;
};

int writeResource(const char* file) {
  const auto bytes = packaging::findResource(packaging::kTypeLibResource, 1);
  if (!bytes) {
    std::fprintf(stderr, "kestrinx_typelib_expected: the library has no TYPELIB resource\n");
    return 1;
  }
  std::FILE* f = std::fopen(file, "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "kestrinx_typelib_expected: cannot write %s\n", file);
    return 1;
  }
  const bool written = std::fwrite(bytes->data(), 1, bytes->size(), f) == bytes->size();
  if (std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "kestrinx_typelib_expected: cannot write %s\n", file);
    std::remove(file);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kestrinx::conformance

int main(int argc, char** argv) {
  using namespace kestrinx;
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (argc == 2 && command == "listing") {
    const packaging::tlb::Library lib = packaging::describeKestrinX();
    conformance::Expected(lib).write();
    return 0;
  }
  if (argc == 3 && command == "resource") return conformance::writeResource(argv[2]);
  std::fprintf(stderr, "usage: kestrinx_typelib_expected listing | resource FILE\n");
  return 2;
}
