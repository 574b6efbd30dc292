// Fuzzes the type library reader on arbitrary bytes: it either returns a library or throws
// MalformedTypeLibrary; anything else (a crash, a sanitizer report, another exception, a hang)
// is a finding. A library that reads is also looked up through its hash tables, and every type
// reference it returns must lead to an entry.
// Seed it with the library the build writes: build-fuzz/packaging/KestrinX.tlb.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "packaging/typelib_reader.h"

using namespace kestrinx::packaging::reader;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void checkRef(const TypeLibrary& lib, const TypeRef& r) {
  check(r.kind == TypeRef::Kind::Local ? r.index < lib.types.size() : r.index < lib.imports.size());
}

void checkType(const TypeLibrary& lib, const TypeDesc& t) {
  check(!t.chain.empty());
  if (t.ref) checkRef(lib, *t.ref);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const TypeLibrary lib = readTypeLibrary(std::span<const std::uint8_t>(data, size));
    for (const Name& n : lib.names) (void)lib.findName(n.text);
    for (const TypeLibrary::GuidEntry& g : lib.guids) (void)lib.findGuid(g.guid);
    if (lib.dispatch) checkRef(lib, *lib.dispatch);
    for (const ImportedType& i : lib.imports) check(i.library < lib.libraries.size());
    for (const TypeInfo& t : lib.types) {
      for (const Implemented& impl : t.implemented) checkRef(lib, impl.ref);
      for (const Function& f : t.functions) {
        checkType(lib, f.result);
        for (const Param& p : f.params) checkType(lib, p.type);
      }
      for (const Variable& v : t.variables) checkType(lib, v.type);
      if (t.aliasOf) checkType(lib, *t.aliasOf);
    }
  } catch (const MalformedTypeLibrary&) {
  }
  return 0;
}
