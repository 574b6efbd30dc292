// libKestrinX.so as a client loads it: exactly four exported entry points and its name, class
// factories for both classes, whether it may be unloaded, the General page applying to two
// controls, and registration through the library.
#include <dlfcn.h>
#include <elf.h>
#include <stdlib.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "runtime/registry.h"
#include "runtime/runtime_support.h"

namespace kestrinx::testing {
namespace {

// The defined global symbols of an ELF file's dynamic symbol table, and its SONAME.
struct DynamicSymbols {
  std::set<std::string> defined;
  std::string soname;
};

DynamicSymbols readDynamicSymbols(const std::string& path) {
  const std::string file = readBytes(path);
  DynamicSymbols out;
  EXPECT_GE(file.size(), sizeof(Elf64_Ehdr));
  if (file.size() < sizeof(Elf64_Ehdr)) return out;
  Elf64_Ehdr eh;
  std::memcpy(&eh, file.data(), sizeof eh);
  EXPECT_EQ(std::memcmp(eh.e_ident, ELFMAG, SELFMAG), 0);
  EXPECT_EQ(eh.e_ident[EI_CLASS], ELFCLASS64);
  const auto section = [&](std::size_t i) {
    Elf64_Shdr sh;
    std::memcpy(&sh, file.data() + eh.e_shoff + i * eh.e_shentsize, sizeof sh);
    return sh;
  };
  for (std::size_t i = 0; i < eh.e_shnum; ++i) {
    const Elf64_Shdr sh = section(i);
    const Elf64_Shdr strings = section(sh.sh_link);
    const char* names = file.data() + strings.sh_offset;
    if (sh.sh_type == SHT_DYNSYM) {
      for (std::size_t k = 1; k < sh.sh_size / sizeof(Elf64_Sym); ++k) {
        Elf64_Sym sym;
        std::memcpy(&sym, file.data() + sh.sh_offset + k * sizeof sym, sizeof sym);
        const int binding = ELF64_ST_BIND(sym.st_info);
        if (sym.st_shndx != SHN_UNDEF && (binding == STB_GLOBAL || binding == STB_WEAK))
          out.defined.insert(names + sym.st_name);
      }
    } else if (sh.sh_type == SHT_DYNAMIC) {
      for (std::size_t k = 0; k < sh.sh_size / sizeof(Elf64_Dyn); ++k) {
        Elf64_Dyn dyn;
        std::memcpy(&dyn, file.data() + sh.sh_offset + k * sizeof dyn, sizeof dyn);
        if (dyn.d_tag == DT_SONAME) out.soname = names + dyn.d_un.d_val;
      }
    }
  }
  return out;
}

TEST(LibraryFile, ExportsExactlyTheFourEntryPointsUnderItsName) {
  const DynamicSymbols s = readDynamicSymbols(KESTRINX_LIBRARY_PATH);
  EXPECT_EQ(s.defined,
            (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}));
  EXPECT_EQ(s.soname, "libKestrinX.so.1");
}

// The library, loaded once for the suite.
class Library : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    handle = ::dlopen(KESTRINX_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    registerServer = reinterpret_cast<KxDllRegisterServerFn>(::dlsym(handle, "DllRegisterServer"));
    unregisterServer = reinterpret_cast<KxDllUnregisterServerFn>(::dlsym(handle, "DllUnregisterServer"));
    getClassObject = reinterpret_cast<KxDllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    canUnloadNow = reinterpret_cast<KxDllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
  }
  static void TearDownTestSuite() {
    if (handle != nullptr && canUnloadNow() == KX_S_OK) ::dlclose(handle);
  }
  void SetUp() override { ASSERT_EQ(canUnloadNow(), KX_S_OK) << "an earlier test left an object alive"; }

  static Ref<KxClassFactory> factory(const KxGuid& clsid) {
    Ref<KxClassFactory> f;
    EXPECT_EQ(getClassObject(&clsid, &kFactoryId, f.out()), KX_S_OK);
    return f;
  }
  template <typename T>
  static Ref<T> create(const KxGuid& clsid, const KxGuid& iid) {
    Ref<T> object;
    Ref<KxClassFactory> f = factory(clsid);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f.get(), nullptr, &iid, object.out()), KX_S_OK);
    return object;
  }

  static inline void* handle = nullptr;
  static inline KxDllRegisterServerFn registerServer = nullptr;
  static inline KxDllUnregisterServerFn unregisterServer = nullptr;
  static inline KxDllGetClassObjectFn getClassObject = nullptr;
  static inline KxDllCanUnloadNowFn canUnloadNow = nullptr;
};

TEST_F(Library, HandsOutFactoriesForItsTwoClassesOnly) {
  Ref<KxDispatch> control = create<KxDispatch>(kKestrinClass, kDispatchId);
  EXPECT_EQ(get(control.get(), "Text").value.text(), "Kestrin1");
  Ref<KxPropertyPage> page = create<KxPropertyPage>(kGeneralClass, kPageId);
  EXPECT_TRUE(page);

  const KxGuid unknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject(&unknownClass, &kFactoryId, &p), KX_CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(getClassObject(&kKestrinInterface, &kFactoryId, &p), KX_CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(getClassObject(&kKestrinClass, &kDispatchId, &p), KX_E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(getClassObject(&kKestrinClass, &kFactoryId, nullptr), KX_E_POINTER);
  // A factory makes no aggregates, and a page is no control.
  Ref<KxClassFactory> f = factory(kKestrinClass);
  EXPECT_EQ(f->lpVtbl->CreateInstance(f.get(), reinterpret_cast<KxUnknown*>(control.get()), &kUnknownId, &p),
            KX_CLASS_E_NOAGGREGATION);
  Ref<KxDispatch> none;
  Ref<KxClassFactory> pages = factory(kGeneralClass);
  EXPECT_EQ(pages->lpVtbl->CreateInstance(pages.get(), nullptr, &kDispatchId, none.out()), KX_E_NOINTERFACE);
  EXPECT_FALSE(none);
}

TEST_F(Library, MayBeUnloadedOnlyWhenNoObjectLivesAndNoLockIsHeld) {
  Ref<KxClassFactory> f = factory(kKestrinClass);
  EXPECT_EQ(canUnloadNow(), KX_S_FALSE);  // the factory itself
  Ref<KxDispatch> control;
  ASSERT_EQ(f->lpVtbl->CreateInstance(f.get(), nullptr, &kDispatchId, control.out()), KX_S_OK);
  EXPECT_EQ(f->lpVtbl->LockServer(f.get(), 1), KX_S_OK);
  f.reset();
  EXPECT_EQ(canUnloadNow(), KX_S_FALSE);  // the control and the lock
  control.reset();
  EXPECT_EQ(canUnloadNow(), KX_S_FALSE);  // the lock
  f = factory(kKestrinClass);
  EXPECT_EQ(f->lpVtbl->LockServer(f.get(), 0), KX_S_OK);
  EXPECT_EQ(f->lpVtbl->LockServer(f.get(), 0), KX_E_UNEXPECTED);  // no lock left to let go
  f.reset();
  EXPECT_EQ(canUnloadNow(), KX_S_OK);
}

TEST_F(Library, TheGeneralPageLoadsFromTheFirstControlAndAppliesToBoth) {
  Ref<KxDispatch> first = create<KxDispatch>(kKestrinClass, kDispatchId);
  Ref<KxDispatch> second = create<KxDispatch>(kKestrinClass, kDispatchId);
  ASSERT_EQ(put(first.get(), "Caption", Var::str("Age")).hr, KX_S_OK);
  ASSERT_EQ(put(first.get(), "Interval", Var::i4(120)).hr, KX_S_OK);
  ASSERT_EQ(put(first.get(), "KestrinType", Var::i4(1)).hr, KX_S_OK);  // numeric
  ASSERT_EQ(put(first.get(), "NumAlignment", Var::i4(1)).hr, KX_S_OK);
  ASSERT_EQ(put(first.get(), "NumSeparatorUse", Var::boolean(false)).hr, KX_S_OK);
  ASSERT_EQ(put(second.get(), "BoxWidthLock", Var::boolean(true)).hr, KX_S_OK);
  Ref<KxPropertyPage> page = create<KxPropertyPage>(kGeneralClass, kPageId);
  KxUnknown* selection[] = {reinterpret_cast<KxUnknown*>(first.get()), reinterpret_cast<KxUnknown*>(second.get())};
  ASSERT_EQ(page->lpVtbl->SetObjects(page.get(), 2, selection, nullptr), KX_S_OK);
  ASSERT_EQ(page->lpVtbl->Apply(page.get(), nullptr), KX_S_OK);
  for (KxDispatch* d : {first.get(), second.get()}) {
    EXPECT_EQ(get(d, "Caption").value.text(), "Age");
    EXPECT_EQ(get(d, "Interval").value.text(), "120");
    EXPECT_EQ(get(d, "KestrinType").value.text(), "1");
    EXPECT_EQ(get(d, "NumAlignment").value.text(), "1");
    EXPECT_EQ(get(d, "NumSeparatorUse").value.text(), "0");
    EXPECT_EQ(get(d, "BoxWidthLock").value.text(), "0");  // the first control's
  }
  // Letting the selection go lets the controls go.
  ASSERT_EQ(page->lpVtbl->SetObjects(page.get(), 0, nullptr, nullptr), KX_S_OK);
  page.reset();
  first.reset();
  second.reset();
  EXPECT_EQ(canUnloadNow(), KX_S_OK);
}

TEST_F(Library, RegistersItselfInTheRegistryTheEnvironmentNames) {
  TempDir folder;
  const std::string path = folder.file("registry.json");
  const char* old = ::getenv("KESTRINX_REGISTRY");
  const std::string saved = old ? old : "";
  ::setenv("KESTRINX_REGISTRY", path.c_str(), 1);
  EXPECT_EQ(registerServer(), KX_S_OK);
  const runtime::Registry r = runtime::loadRegistry(path);
  const runtime::RegistryKey* server = r.find("CLSID\\{A7D52C63-91AD-11D2-A265-00A0C93C9297}\\InprocServer32");
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(std::filesystem::weakly_canonical(server->values.at("")),
            std::filesystem::weakly_canonical(KESTRINX_LIBRARY_PATH));
  EXPECT_EQ(unregisterServer(), KX_S_OK);
  EXPECT_EQ(runtime::loadRegistry(path), runtime::Registry{});
  if (old) ::setenv("KESTRINX_REGISTRY", saved.c_str(), 1); else ::unsetenv("KESTRINX_REGISTRY");
}

}  // namespace
}  // namespace kestrinx::testing
