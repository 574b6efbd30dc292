// Failures at the C interface: how a run-time error becomes a result code and exception
// information for a client, how a client's failing call becomes a run-time error again, and the
// guard every entry of a function table runs its work under.
#pragma once

#include <exception>
#include <new>
#include <string_view>

#include "runtime/kestrinx_abi.h"
#include "values/error.h"

namespace kestrinx::runtime {

// A failure of the interface itself rather than of a member: a NULL pointer, a variant type the
// runtime does not take, a malformed argument list. Carries its result code.
class InterfaceError : public std::exception {
 public:
  explicit InterfaceError(KxHResult result) : result_(result) {}
  KxHResult result() const noexcept { return result_; }
  const char* what() const noexcept override { return "interface error"; }

 private:
  KxHResult result_;
};

// The result code that reports run-time error `number`:
//   438, 383  DISP_E_MEMBERNOTFOUND (no such member, or no entry of the kind asked)
//   13        DISP_E_TYPEMISMATCH
//   6         DISP_E_OVERFLOW
//   449       DISP_E_PARAMNOTOPTIONAL
//   450       DISP_E_BADPARAMCOUNT
//   7         E_OUTOFMEMORY
//   any other DISP_E_EXCEPTION, the number and text going with the exception information
KxHResult resultOf(std::int32_t number);

// Fills *excep (when not NULL) with the error: scode KX_ERROR_SCODE(number), its text, and
// `source` (the class's programmatic name).
void fillExcepInfo(KxExcepInfo* excep, const values::AutomationError& error, std::string_view source);

// The run-time error a client's failed call stands for: the number and text of its exception
// information when it gives them, else the error of its result code (the reverse of resultOf),
// else 440 "Automation error" naming the code.
values::AutomationError errorOf(KxHResult result, const KxExcepInfo& excep);

// Runs `work` (which returns a result code) and turns what it throws into a result code:
// a run-time error as resultOf says (the exception information filled when `excep` is given),
// an InterfaceError its own code, exhausted memory E_OUTOFMEMORY, anything else E_UNEXPECTED.
template <typename Work>
KxHResult guarded(Work&& work, KxExcepInfo* excep = nullptr, std::string_view source = {}) noexcept {
  try {
    return work();
  } catch (const values::AutomationError& e) {
    try {
      fillExcepInfo(excep, e, source);
    } catch (...) {
      // The result code still reports the error.
    }
    return resultOf(e.number());
  } catch (const InterfaceError& e) {
    return e.result();
  } catch (const std::bad_alloc&) {
    return KX_E_OUTOFMEMORY;
  } catch (...) {
    return KX_E_UNEXPECTED;
  }
}

}  // namespace kestrinx::runtime
