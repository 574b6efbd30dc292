// Run-time errors and result codes, both ways.
#include "runtime/errors.h"

#include <cstdio>
#include <string>

namespace kestrinx::runtime {

namespace {

struct Pair {
  std::int32_t number;
  KxHResult result;
};

// Errors with a result code of their own, first match wins both ways.
constexpr Pair kPairs[] = {
    {values::err::MemberNotSupported, KX_DISP_E_MEMBERNOTFOUND},
    {values::err::ReadOnlyProperty, KX_DISP_E_MEMBERNOTFOUND},
    {values::err::TypeMismatch, KX_DISP_E_TYPEMISMATCH},
    {values::err::Overflow, KX_DISP_E_OVERFLOW},
    {values::err::ArgumentNotOptional, KX_DISP_E_PARAMNOTOPTIONAL},
    {values::err::WrongNumberOfArguments, KX_DISP_E_BADPARAMCOUNT},
    {values::err::OutOfMemory, KX_E_OUTOFMEMORY},
};

std::string text(KxBStr s) { return s == nullptr ? std::string() : std::string(s, kx_bstr_length(s)); }

KxBStr copy(std::string_view s) {
  KxBStr b = kx_bstr_alloc(s.data(), static_cast<std::uint32_t>(s.size()));
  if (b == nullptr) throw std::bad_alloc();
  return b;
}

}  // namespace

KxHResult resultOf(std::int32_t number) {
  for (const Pair& p : kPairs)
    if (p.number == number) return p.result;
  return KX_DISP_E_EXCEPTION;
}

void fillExcepInfo(KxExcepInfo* excep, const values::AutomationError& error, std::string_view source) {
  if (excep == nullptr) return;
  kx_excepinfo_clear(excep);
  excep->scode = KX_ERROR_SCODE(error.number());
  excep->bstrSource = copy(source);
  excep->bstrDescription = copy(error.what());
}

values::AutomationError errorOf(KxHResult result, const KxExcepInfo& excep) {
  const std::string description = text(excep.bstrDescription);
  if (KX_FAILED(excep.scode) && KX_SCODE_FACILITY(excep.scode) == KX_FACILITY_CONTROL) {
    const std::int32_t number = KX_SCODE_CODE(excep.scode);
    return description.empty() ? values::AutomationError(number) : values::AutomationError(number, description);
  }
  if (result != KX_DISP_E_EXCEPTION) {
    for (const Pair& p : kPairs)
      if (p.result == result) return values::AutomationError(p.number);
    if (result == KX_DISP_E_UNKNOWNNAME) return values::AutomationError(values::err::MemberNotSupported);
  }
  if (!description.empty()) return values::AutomationError(values::err::AutomationFailure, description);
  char code[48];
  std::snprintf(code, sizeof code, "Automation error (0x%08X)", static_cast<unsigned>(result));
  return values::AutomationError(values::err::AutomationFailure, code);
}

}  // namespace kestrinx::runtime
