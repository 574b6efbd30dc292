// A control at the C boundary: names to identifiers, Invoke by identifier with values converted
// from the client's variants, and every failure as the platform's result code with the run-time
// error's number and text; values and objects coming back out.
#include <map>
#include <optional>
#include <string>

#include "control/members.h"
#include "runtime/runtime_fixture.h"

namespace kestrinx::testing {
namespace {

// Every readable member but the window handle, read through Invoke.
std::map<std::int32_t, std::string> state(KxDispatch* d) {
  std::map<std::int32_t, std::string> out;
  for (const values::MemberInfo& m : members::kMemberInfo) {
    if (!m.has(values::InvokeGet) || m.name == "hWnd") continue;
    Call c = invoke(d, m.id, KX_DISPATCH_PROPERTYGET);
    out[m.id] = c.value.v.vt == KX_VT_UNKNOWN ? (c.value.v.punkVal ? "object" : "nothing") : c.value.text();
  }
  return out;
}

class DispatchTest : public RuntimeTest {};

TEST_F(DispatchTest, AlignmentByIdentifierDoesWhatItDoesByName) {
  Ref<KxDispatch> byId = newControl(), byName = newControl();
  for (KxDispatch* d : {byId.get(), byName.get()}) hostOf(d).headlessSite().headlessSurface().resize(4000, 600);
  const Var four = Var::i4(4);
  EXPECT_EQ(invoke(byId.get(), 0x6803001F, KX_DISPATCH_PROPERTYPUT, &four.v).hr, KX_S_OK);
  // By name, as the property page sets a control.
  runtime::ControlObject::from(byName.get())
      ->component()
      .dispatch()
      .setProperty("alignment", values::Variant::longValue(4));
  EXPECT_EQ(control(byId.get()).get_Alignment(), CenterMiddle);
  EXPECT_EQ(state(byId.get()), state(byName.get()));
  headless::ControlSite &a = hostOf(byId.get()).headlessSite(), &b = hostOf(byName.get()).headlessSite();
  EXPECT_EQ(a.label().left(), b.label().left());
  EXPECT_EQ(a.label().top(), b.label().top());
  EXPECT_EQ(a.box(0).left(), b.box(0).left());
  EXPECT_EQ(a.headlessSurface().changedProperties(), b.headlessSurface().changedProperties());
}

TEST_F(DispatchTest, NamesBecomeIdentifiersInAnyCase) {
  Ref<KxDispatch> d = newControl();
  for (const char* name : {"Alignment", "alignment", "ALIGNMENT"}) {
    EXPECT_EQ(idOf(d.get(), name), 0x6803001F);
  }
  std::int32_t ids[2] = {0, 0};
  const char* unknown[] = {"NoSuchMember"};
  EXPECT_EQ(d->lpVtbl->GetIDsOfNames(d.get(), &kNil, unknown, 1, 0, ids), KX_DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], KX_DISPID_UNKNOWN);
  // Members take no named parameters: the member is found, the parameter name is not.
  const char* withParameter[] = {"Text", "Value"};
  EXPECT_EQ(d->lpVtbl->GetIDsOfNames(d.get(), &kNil, withParameter, 2, 0, ids), KX_DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 0x6803000B);
  EXPECT_EQ(ids[1], KX_DISPID_UNKNOWN);
  EXPECT_EQ(d->lpVtbl->GetIDsOfNames(d.get(), &kKestrinClass, withParameter, 1, 0, ids), KX_DISP_E_UNKNOWNINTERFACE);
}

struct Row {
  const char* name;
  std::int32_t id;
  std::uint16_t flags;
  std::optional<Var> value;
  KxHResult hr;
  std::int32_t error;        // the exception information's number (0: none)
  const char* readBack;      // the member afterwards, read through Invoke (nullptr: not read)
};

TEST_F(DispatchTest, ValuesConvertAndFailuresAreResultCodesWithTheirErrors) {
  constexpr std::uint16_t P = KX_DISPATCH_PROPERTYPUT, G = KX_DISPATCH_PROPERTYGET, M = KX_DISPATCH_METHOD;
  KxVariant currency{};
  currency.vt = 6;  // a type the runtime does not take
  Row rows[] = {
      {"numeric string", 0x68030020, P, Var::str("5"), KX_S_OK, 0, "5"},
      {"half rounds down to even", 0x68030020, P, Var::r8(2.5), KX_S_OK, 0, "2"},
      {"half rounds up to even", 0x68030020, P, Var::r8(3.5), KX_S_OK, 0, "4"},
      {"text into a number", 0x68030020, P, Var::str("abc"), KX_DISP_E_TYPEMISMATCH, 13, "80"},
      {"16-bit overflow", 0x68030017, P, Var::i4(40000), KX_DISP_E_OVERFLOW, 6, "0"},
      {"Boolean from text", 0x6803002F, P, Var::str("False"), KX_S_OK, 0, "0"},
      {"put of hWnd", 0x68030015, P, Var::i4(7), KX_DISP_E_MEMBERNOTFOUND, 383, nullptr},
      {"put of ScrollBars", 0x6803000F, P, Var::i2(2), KX_DISP_E_MEMBERNOTFOUND, 383, "0"},
      {"unpublished identifier", 0x68030012, G, std::nullopt, KX_DISP_E_MEMBERNOTFOUND, 438, nullptr},
      {"get of a method", 0x60030042, G, std::nullopt, KX_DISP_E_MEMBERNOTFOUND, 438, nullptr},
      {"call of a property", 0x6803000B, M, std::nullopt, KX_DISP_E_MEMBERNOTFOUND, 438, "Kestrin1"},
      {"font put by value", 0x68030008, P, Var::str("Arial"), KX_DISP_E_MEMBERNOTFOUND, 438, nullptr},
      {"put without a value", 0x6803000B, P, std::nullopt, KX_DISP_E_PARAMNOTOPTIONAL, 449, "Kestrin1"},
      {"ValidState at design time", 0x68030000, P, Var::boolean(true), KX_DISP_E_EXCEPTION, 382, "0"},
  };
  for (Row& r : rows) {
    SCOPED_TRACE(r.name);
    Ref<KxDispatch> d = newControl();
    hostOf(d.get()).headlessSite().headlessSurface().setUserMode(values::False);  // in a designer
    const auto before = state(d.get());
    Call c = invoke(d.get(), r.id, r.flags, r.value ? &r.value->v : nullptr);
    EXPECT_EQ(c.hr, r.hr);
    EXPECT_EQ(c.error, r.error);
    if (r.error != 0) {
      EXPECT_EQ(c.text, values::standardErrorText(r.error));
    }
    if (r.hr == KX_DISP_E_TYPEMISMATCH || r.hr == KX_DISP_E_OVERFLOW) {
      EXPECT_EQ(c.argErr, 0u);
    }
    if (KX_FAILED(r.hr)) {
      EXPECT_EQ(state(d.get()), before);
    }
    if (r.readBack != nullptr) {
      EXPECT_EQ(invoke(d.get(), r.id, G).value.text(), r.readBack);
    }
  }
  // A variant type the runtime does not take is refused as such, naming the argument.
  Ref<KxDispatch> d = newControl();
  const Call c = invoke(d.get(), 0x68030020, P, &currency);
  EXPECT_EQ(c.hr, KX_DISP_E_BADVARTYPE);
  EXPECT_EQ(c.argErr, 0u);
}

TEST_F(DispatchTest, TheControlsOwnRunTimeErrorsCarryTheirNumbers) {
  Ref<KxDispatch> d = newControl();
  hostOf(d.get()).headlessSite().headlessSurface().setUserMode(values::True);
  const Var on = Var::boolean(true);
  const Call c = invoke(d.get(), 0x68030000, KX_DISPATCH_PROPERTYPUT, &on.v);
  EXPECT_EQ(c.hr, KX_DISP_E_EXCEPTION);
  EXPECT_EQ(c.error, 393);
  EXPECT_EQ(c.text, "Property is read-only at run time");
}

TEST_F(DispatchTest, ArgumentListsFollowTheConventions) {
  Ref<KxDispatch> d = newControl();
  // The put's value unnamed is taken too; any other named argument is refused.
  Var text = Var::str("abc");
  KxDispParams unnamed{&text.v, nullptr, 1, 0};
  EXPECT_EQ(d->lpVtbl->Invoke(d.get(), 0x6803000B, &kNil, 0, KX_DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr,
                              nullptr),
            KX_S_OK);
  std::int32_t other = 5;
  KxDispParams named{&text.v, &other, 1, 1};
  EXPECT_EQ(d->lpVtbl->Invoke(d.get(), 0x6803000B, &kNil, 0, KX_DISPATCH_PROPERTYPUT, &named, nullptr, nullptr,
                              nullptr),
            KX_DISP_E_NONAMEDARGS);
  // By reference, as a script engine passes its variables.
  std::int32_t interval = 300;
  KxVariant ref{};
  ref.vt = KX_VT_BYREF | KX_VT_I4;
  ref.plVal = &interval;
  EXPECT_EQ(invoke(d.get(), 0x68030020, KX_DISPATCH_PROPERTYPUT, &ref).hr, KX_S_OK);
  EXPECT_EQ(control(d.get()).get_Interval(), 300);
  // An argument marked "not given" is no argument: a get takes it, a put misses its value.
  KxVariant missing{};
  missing.vt = KX_VT_ERROR;
  KxDispParams optional{&missing, nullptr, 1, 0};
  Var result;
  EXPECT_EQ(d->lpVtbl->Invoke(d.get(), 0x6803000B, &kNil, 0, KX_DISPATCH_PROPERTYGET, &optional, &result.v, nullptr,
                              nullptr),
            KX_S_OK);
  EXPECT_EQ(result.text(), "abc");
  EXPECT_EQ(invoke(d.get(), 0x6803000B, KX_DISPATCH_PROPERTYPUT, &missing).hr, KX_DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(d->lpVtbl->Invoke(d.get(), 0x6803000B, &kKestrinClass, 0, KX_DISPATCH_PROPERTYGET, &optional, nullptr,
                              nullptr, nullptr),
            KX_DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(d->lpVtbl->Invoke(d.get(), 0x6803000B, &kNil, 0, 0x40, &optional, nullptr, nullptr, nullptr),
            KX_E_INVALIDARG);
}

TEST_F(DispatchTest, TextAndObjectsComeBackOutAndGoBackIn) {
  Ref<KxDispatch> a = newControl(), b = newControl();
  EXPECT_EQ(put(a.get(), "Caption", Var::str("Größe")).hr, KX_S_OK);
  EXPECT_EQ(get(a.get(), "caption").value.text(), "Größe");
  // A font read from one control and set on another is the same font.
  Call font = get(a.get(), "Font");
  ASSERT_EQ(font.value.v.vt, KX_VT_UNKNOWN);
  EXPECT_EQ(invoke(b.get(), 0x68030008, KX_DISPATCH_PROPERTYPUTREF, &font.value.v).hr, KX_S_OK);
  EXPECT_EQ(control(b.get()).get_Font(), control(a.get()).get_Font());
  // Nothing is a value; an object the runtime did not hand out is not.
  KxVariant nothing{};
  nothing.vt = KX_VT_UNKNOWN;
  EXPECT_EQ(invoke(b.get(), 0x68030018, KX_DISPATCH_PROPERTYPUTREF, &nothing).hr, KX_S_OK);
  KxVariant foreign{};
  foreign.vt = KX_VT_DISPATCH;
  foreign.pdispVal = a.get();
  EXPECT_EQ(invoke(b.get(), 0x68030008, KX_DISPATCH_PROPERTYPUTREF, &foreign).hr, KX_DISP_E_TYPEMISMATCH);
}

TEST_F(DispatchTest, ControlsAnswerTheirInterfacesWithOneIdentity) {
  Ref<KxDispatch> d = newControl();
  Ref<KxUnknown> viaUnknown, viaClassInterface;
  Ref<KxConnectionPointContainer> container;
  EXPECT_EQ(d->lpVtbl->QueryInterface(d.get(), &kUnknownId, viaUnknown.out()), KX_S_OK);
  EXPECT_EQ(d->lpVtbl->QueryInterface(d.get(), &kKestrinInterface, viaClassInterface.out()), KX_S_OK);
  EXPECT_EQ(d->lpVtbl->QueryInterface(d.get(), &kContainerId, container.out()), KX_S_OK);
  Ref<KxUnknown> back;
  EXPECT_EQ(container->lpVtbl->QueryInterface(container.get(), &kUnknownId, back.out()), KX_S_OK);
  EXPECT_EQ(back.get(), viaUnknown.get());
  EXPECT_EQ(static_cast<void*>(viaClassInterface.get()), static_cast<void*>(d.get()));
  Ref<KxUnknown> none;
  EXPECT_EQ(d->lpVtbl->QueryInterface(d.get(), &kPageId, none.out()), KX_E_NOINTERFACE);
  EXPECT_FALSE(none);
}

}  // namespace
}  // namespace kestrinx::testing
