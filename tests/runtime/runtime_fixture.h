// The runtime in process with the library's project descriptor: controls and pages created
// through class factories, as a client of libKestrinX.so creates them, and the host objects
// behind them for a test to act as the user.
#pragma once

#include "control/kestrin_component.h"
#include "packaging/kestrinx_project.h"
#include "runtime/control_object.h"
#include "runtime/page_object.h"
#include "runtime/runtime_support.h"
#include "runtime/server.h"

namespace kestrinx::testing {

class RuntimeTest : public ::testing::Test {
 protected:
  // A class factory of the project.
  Ref<KxClassFactory> factory(const KxGuid& clsid) {
    Ref<KxClassFactory> f;
    EXPECT_EQ(runtime::getClassObject(project, &clsid, &kFactoryId, f.out()), KX_S_OK);
    return f;
  }
  // A new Kestrin, as its dispatch interface.
  Ref<KxDispatch> newControl() {
    Ref<KxDispatch> d;
    Ref<KxClassFactory> f = factory(kKestrinClass);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f.get(), nullptr, &kDispatchId, d.out()), KX_S_OK);
    return d;
  }
  Ref<KxPropertyPage> newPage() {
    Ref<KxPropertyPage> p;
    Ref<KxClassFactory> f = factory(kGeneralClass);
    EXPECT_EQ(f->lpVtbl->CreateInstance(f.get(), nullptr, &kPageId, p.out()), KX_S_OK);
    return p;
  }

  // The control behind a dispatch pointer, and the headless form it stands on.
  static Kestrin& control(KxDispatch* d) {
    return static_cast<KestrinComponent&>(runtime::ControlObject::from(d)->component()).control();
  }
  static packaging::HeadlessControlHost& hostOf(KxDispatch* d) {
    return static_cast<packaging::HeadlessControlHost&>(runtime::ControlObject::from(d)->host());
  }

  runtime::Project project = packaging::kestrinxProject("/opt/kestrinx/lib/libKestrinX.so.1");
};

}  // namespace kestrinx::testing
