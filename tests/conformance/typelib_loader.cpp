// typelib_loader FILE: loads a type library with the platform's LoadTypeLibEx (REGKIND_NONE) and
// prints what the platform's loader reads, through ITypeLib and ITypeInfo alone, in the listing
// form that kestrinx_typelib_expected prints from the library's description (README.md beside
// this file says what each line holds). Built for 64-bit Windows with a cross compiler and run
// under a Windows-compatible loader by scripts/conformance.sh.
//
// Exit status: 0 when the library loaded and was walked, 1 when it did not load, 2 on a bad
// command line. What the loader refuses along the way (a referenced type it cannot resolve, a
// description it cannot give) is a line of the listing, with the loader's result on stderr.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "listing_words.h"

namespace {

using namespace kestrinx::conformance;

std::string utf8(const wchar_t* s) {
  if (s == nullptr) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

// A string as the listing writes it: quoted, or "none" for a missing one.
std::string quoted(BSTR s) { return s == nullptr ? "none" : kestrinx::conformance::quoted(utf8(s)); }

std::string guidText(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return buf;
}

class Loader {
 public:
  explicit Loader(ITypeLib* lib) : lib_(lib) {}

  void write() {
    TLIBATTR* attr = nullptr;
    const HRESULT hr = lib_->GetLibAttr(&attr);
    if (FAILED(hr)) {
      std::printf("library attributes unreadable\n");
      note("GetLibAttr", hr);
      return;
    }
    BSTR name = nullptr, doc = nullptr, helpFile = nullptr;
    DWORD helpContext = 0;
    lib_->GetDocumentation(-1, &name, &doc, &helpContext, &helpFile);
    // LIBFLAG_FHASDISKIMAGE is the loader's own mark for a library it read from a file.
    std::printf("library %s %s version %u.%u lcid %s %s flags %s\n", utf8(name).c_str(), guidText(attr->guid).c_str(),
                attr->wMajorVerNum, attr->wMinorVerNum, hex(attr->lcid, 4).c_str(), sysKindName(attr->syskind).c_str(),
                hex(attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 4).c_str());
    std::printf("  doc %s help-file %s help-context %lu\n", quoted(doc).c_str(), quoted(helpFile).c_str(),
                static_cast<unsigned long>(helpContext));
    SysFreeString(name);
    SysFreeString(doc);
    SysFreeString(helpFile);
    lib_->ReleaseTLibAttr(attr);
    const UINT count = lib_->GetTypeInfoCount();
    std::printf("  types %u\n", count);
    for (UINT i = 0; i < count; ++i) {
      ITypeInfo* info = nullptr;
      const HRESULT got = lib_->GetTypeInfo(i, &info);
      if (FAILED(got)) {
        std::printf("type %u unreadable\n", i);
        note("GetTypeInfo(" + std::to_string(i) + ")", got);
        continue;
      }
      writeType(i, info);
      info->Release();
    }
  }

 private:
  static void note(const std::string& what, HRESULT hr) {
    std::fprintf(stderr, "note: %s: %s\n", what.c_str(), resultText(hr).c_str());
  }

  // A result code, with its name when it is one a type library loader gives.
  static std::string resultText(HRESULT hr) {
    static const std::pair<HRESULT, const char*> names[] = {
        {TYPE_E_CANTLOADLIBRARY, "TYPE_E_CANTLOADLIBRARY"}, {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED"},
        {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND"}, {TYPE_E_BADMODULEKIND, "TYPE_E_BADMODULEKIND"},
        {E_INVALIDARG, "E_INVALIDARG"},                     {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_NOINTERFACE, "E_NOINTERFACE"}};
    std::string s = hex(static_cast<unsigned long>(hr), 8);
    for (const auto& [code, name] : names)
      if (code == hr) s += std::string(" ") + name;
    return s;
  }

  static std::string nameOf(ITypeInfo* info) {
    BSTR name = nullptr;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    std::string s = name ? utf8(name) : "(no name)";
    SysFreeString(name);
    return s;
  }

  // "Name {GUID}" of a referenced type, or "unresolved" when the loader cannot give it.
  std::string refName(ITypeInfo* from, HREFTYPE href, const std::string& where) {
    ITypeInfo* ref = nullptr;
    HRESULT hr = from->GetRefTypeInfo(href, &ref);
    if (FAILED(hr)) {
      note(where + ": GetRefTypeInfo(" + hex(href, 8) + ")", hr);
      return "unresolved";
    }
    std::string s = nameOf(ref);
    TYPEATTR* attr = nullptr;
    hr = ref->GetTypeAttr(&attr);
    if (SUCCEEDED(hr)) {
      s += " " + guidText(attr->guid);
      ref->ReleaseTypeAttr(attr);
    } else {
      note("GetTypeAttr of " + s, hr);
      s += " (attributes unreadable)";
    }
    ref->Release();
    return s;
  }

  // `where` names what has the type, for a note.
  std::string typeText(ITypeInfo* from, const TYPEDESC& t, const std::string& where) {
    switch (t.vt) {
      case VT_PTR: return "VT_PTR " + typeText(from, *t.lptdesc, where);
      case VT_SAFEARRAY: return "VT_SAFEARRAY " + typeText(from, *t.lptdesc, where);
      case VT_CARRAY: return "VT_CARRAY " + typeText(from, t.lpadesc->tdescElem, where);
      case VT_USERDEFINED: return "VT_USERDEFINED " + refName(from, t.hreftype, where);
      default: return basicTypeName(t.vt);
    }
  }

  // The member identifiers of every function of `info`, its base's first (a dispatch type's own
  // list already holds what it inherits; an interface's holds its own alone).
  static std::vector<MEMBERID> functionIds(ITypeInfo* info, int depth = 0) {
    std::vector<MEMBERID> ids;
    TYPEATTR* attr = nullptr;
    if (depth > 16 || FAILED(info->GetTypeAttr(&attr))) return ids;
    const TYPEKIND kind = attr->typekind;
    const UINT count = attr->cFuncs;
    const bool hasBase = attr->cImplTypes > 0;
    info->ReleaseTypeAttr(attr);
    HREFTYPE href = 0;
    ITypeInfo* base = nullptr;
    if (kind == TKIND_INTERFACE && hasBase && SUCCEEDED(info->GetRefTypeOfImplType(0, &href)) &&
        SUCCEEDED(info->GetRefTypeInfo(href, &base))) {
      ids = functionIds(base, depth + 1);
      base->Release();
    }
    for (UINT f = 0; f < count; ++f) {
      FUNCDESC* fd = nullptr;
      if (FAILED(info->GetFuncDesc(f, &fd))) break;
      ids.push_back(fd->memid);
      info->ReleaseFuncDesc(fd);
    }
    return ids;
  }

  // How many of a dispatch interface's functions are its base's: the leading ones that are the
  // base's functions in order (a loader may list them first, or leave them to the base).
  static UINT inheritedFunctions(ITypeInfo* info) {
    HREFTYPE href = 0;
    ITypeInfo* base = nullptr;
    if (FAILED(info->GetRefTypeOfImplType(0, &href)) || FAILED(info->GetRefTypeInfo(href, &base))) return 0;
    const std::vector<MEMBERID> inherited = functionIds(base);
    base->Release();
    const std::vector<MEMBERID> all = functionIds(info);
    UINT n = 0;
    while (n < inherited.size() && n < all.size() && all[n] == inherited[n]) ++n;
    return n;
  }

  void writeType(UINT index, ITypeInfo* info) {
    TYPEATTR* attr = nullptr;
    HRESULT hr = info->GetTypeAttr(&attr);
    if (FAILED(hr)) {
      std::printf("type %u attributes unreadable\n", index);
      note("GetTypeAttr(" + std::to_string(index) + ")", hr);
      return;
    }
    const std::string name = nameOf(info);
    // The flags as stored: a dispatch interface's attributes leave out TYPEFLAG_FOLEAUTOMATION.
    ULONG flags = attr->wTypeFlags;
    ITypeInfo2* info2 = nullptr;
    if (SUCCEEDED(info->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&info2)))) {
      info2->GetTypeFlags(&flags);
      info2->Release();
    }
    std::printf("type %u %s %s %s flags %s version %u.%u\n", index, name.c_str(), typeKindName(attr->typekind).c_str(),
                guidText(attr->guid).c_str(), hex(flags, 4).c_str(), attr->wMajorVerNum, attr->wMinorVerNum);
    BSTR doc = nullptr;
    DWORD helpContext = 0;
    info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, &helpContext, nullptr);
    std::printf("  doc %s help-context %lu\n", quoted(doc).c_str(), static_cast<unsigned long>(helpContext));
    SysFreeString(doc);

    for (UINT k = 0; k < attr->cImplTypes; ++k) {
      HREFTYPE href = 0;
      INT implFlags = 0;
      std::string target = "unreadable";
      hr = info->GetRefTypeOfImplType(k, &href);
      if (SUCCEEDED(hr))
        target = refName(info, href, name + " implemented interface " + std::to_string(k));
      else
        note(name + ": GetRefTypeOfImplType(" + std::to_string(k) + ")", hr);
      hr = info->GetImplTypeFlags(k, &implFlags);
      if (FAILED(hr)) note(name + ": GetImplTypeFlags(" + std::to_string(k) + ")", hr);
      std::printf("  implements %u %s impl-flags %s\n", k, target.c_str(),
                  hex(static_cast<unsigned long>(implFlags), 1).c_str());
    }

    const bool dispatch = attr->typekind == TKIND_DISPATCH;
    const bool dual = dispatch && (flags & TYPEFLAG_FDUAL) != 0;
    const UINT inherited = dispatch && attr->cImplTypes > 0 ? inheritedFunctions(info) : 0;
    std::printf("  functions %u inherited %u variables %u\n", attr->cFuncs, inherited, attr->cVars);
    // A dual interface's dispatch functions are made by the loader from its vtable functions
    // (listed below): what a dispatch client binds to is their identifiers, names and kinds.
    for (UINT f = inherited; f < attr->cFuncs; ++f) {
      if (dual)
        writeDispatchFunction(info, f);
      else
        writeFunction(info, f);
    }
    for (UINT v = 0; v < attr->cVars; ++v) writeVariable(info, v);
    if (dual) writeVtableInterface(info, name);
    info->ReleaseTypeAttr(attr);
  }

  void writeVtableInterface(ITypeInfo* info, const std::string& name) {
    HREFTYPE href = 0;
    ITypeInfo* vtable = nullptr;
    HRESULT hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &href);
    if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(href, &vtable);
    if (FAILED(hr)) {
      std::printf("  vtable interface unreadable\n");
      note(name + ": vtable interface", hr);
      return;
    }
    TYPEATTR* attr = nullptr;
    hr = vtable->GetTypeAttr(&attr);
    if (FAILED(hr)) {
      std::printf("  vtable interface attributes unreadable\n");
      note(name + ": vtable interface attributes", hr);
    } else {
      std::printf("  vtable interface %s %s functions %u\n", nameOf(vtable).c_str(), typeKindName(attr->typekind).c_str(),
                  attr->cFuncs);
      for (UINT f = 0; f < attr->cFuncs; ++f) writeFunction(vtable, f);
      vtable->ReleaseTypeAttr(attr);
    }
    vtable->Release();
  }

  void writeDispatchFunction(ITypeInfo* info, UINT index) {
    FUNCDESC* fd = nullptr;
    const HRESULT hr = info->GetFuncDesc(index, &fd);
    if (FAILED(hr)) {
      std::printf("  dispatch %u unreadable\n", index);
      note("GetFuncDesc(" + std::to_string(index) + ")", hr);
      return;
    }
    BSTR name = nullptr;
    info->GetDocumentation(fd->memid, &name, nullptr, nullptr, nullptr);
    std::printf("  dispatch %u memid %s %s %s %s\n", index, hex(static_cast<unsigned long>(fd->memid), 8).c_str(),
                name ? utf8(name).c_str() : "(no name)", invokeKindName(fd->invkind).c_str(), funcKindName(fd->funckind).c_str());
    SysFreeString(name);
    info->ReleaseFuncDesc(fd);
  }

  void writeFunction(ITypeInfo* info, UINT index) {
    FUNCDESC* fd = nullptr;
    const HRESULT hr = info->GetFuncDesc(index, &fd);
    if (FAILED(hr)) {
      std::printf("  func %u unreadable\n", index);
      note("GetFuncDesc(" + std::to_string(index) + ")", hr);
      return;
    }
    std::vector<BSTR> names(static_cast<std::size_t>(fd->cParams) + 1, nullptr);
    UINT got = 0;
    info->GetNames(fd->memid, names.data(), static_cast<UINT>(names.size()), &got);
    const std::string where = nameOf(info) + "." + (got > 0 ? utf8(names[0]) : "(no name)");
    // A vtable function's slot: the loader gives its offset in this process's pointers.
    std::string slot;
    if (fd->funckind == FUNC_PUREVIRTUAL || fd->funckind == FUNC_VIRTUAL)
      slot = " slot " + std::to_string(fd->oVft / static_cast<SHORT>(sizeof(void*)));
    std::printf("  func %u memid %s %s %s %s %s%s result %s\n", index, hex(static_cast<unsigned long>(fd->memid), 8).c_str(),
                got > 0 ? utf8(names[0]).c_str() : "(no name)", invokeKindName(fd->invkind).c_str(), funcKindName(fd->funckind).c_str(),
                callConvName(fd->callconv).c_str(), slot.c_str(), typeText(info, fd->elemdescFunc.tdesc, where + " result").c_str());
    if (fd->cParamsOpt != 0 || fd->wFuncFlags != 0)
      std::printf("    optional %d func-flags %s\n", fd->cParamsOpt, hex(fd->wFuncFlags, 4).c_str());
    for (SHORT p = 0; p < fd->cParams; ++p) {
      const ELEMDESC& e = fd->lprgelemdescParam[p];
      const UINT n = static_cast<UINT>(p) + 1;
      const std::string param = n < got ? utf8(names[n]) : "(no name)";
      std::printf("    param %d %s %s %s\n", p, param.c_str(), typeText(info, e.tdesc, where + " parameter " + param).c_str(),
                  paramFlagsText(e.paramdesc.wParamFlags).c_str());
    }
    for (BSTR& b : names) SysFreeString(b);
    writeHelp(info, fd->memid);
    info->ReleaseFuncDesc(fd);
  }

  void writeVariable(ITypeInfo* info, UINT index) {
    VARDESC* vd = nullptr;
    const HRESULT hr = info->GetVarDesc(index, &vd);
    if (FAILED(hr)) {
      std::printf("  var %u unreadable\n", index);
      note("GetVarDesc(" + std::to_string(index) + ")", hr);
      return;
    }
    BSTR name = nullptr;
    info->GetDocumentation(vd->memid, &name, nullptr, nullptr, nullptr);
    std::string value = "none";
    if (vd->varkind == VAR_CONST && vd->lpvarValue != nullptr) {
      VARIANT v;
      VariantInit(&v);
      if (SUCCEEDED(VariantChangeType(&v, vd->lpvarValue, 0, VT_I4)))
        value = basicTypeName(V_VT(vd->lpvarValue)) + " " + std::to_string(V_I4(&v));
      else
        value = basicTypeName(V_VT(vd->lpvarValue)) + " (not a 32-bit integer)";
      VariantClear(&v);
    }
    std::printf("  var %u memid %s %s %s type %s value %s flags %s\n", index,
                hex(static_cast<unsigned long>(vd->memid), 8).c_str(), name ? utf8(name).c_str() : "(no name)",
                varKindName(vd->varkind).c_str(), typeText(info, vd->elemdescVar.tdesc, nameOf(info) + " variable " + std::to_string(index)).c_str(), value.c_str(),
                hex(vd->wVarFlags, 4).c_str());
    SysFreeString(name);
    writeHelp(info, vd->memid);
    info->ReleaseVarDesc(vd);
  }

  // A member's help string and context, when it has either.
  static void writeHelp(ITypeInfo* info, MEMBERID memid) {
    BSTR helpString = nullptr;
    DWORD helpContext = 0;
    info->GetDocumentation(memid, nullptr, &helpString, &helpContext, nullptr);
    if (helpString != nullptr || helpContext != 0)
      std::printf("    help %s help-context %lu\n", quoted(helpString).c_str(), static_cast<unsigned long>(helpContext));
    SysFreeString(helpString);
  }

  ITypeLib* lib_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: typelib_loader FILE\n");
    return 2;
  }
  // The listing's lines end in "\n" alone, as on the host side.
  _setmode(_fileno(stdout), _O_BINARY);
  ITypeLib* lib = nullptr;
  const HRESULT hr = LoadTypeLibEx(argv[1], REGKIND_NONE, &lib);
  if (FAILED(hr)) {
    std::printf("LoadTypeLibEx failed: %s\n", hex(static_cast<unsigned long>(hr), 8).c_str());
    return 1;
  }
  Loader(lib).write();
  lib->Release();
  return 0;
}
