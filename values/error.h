/// \file
/// Automation errors: how a failing host call, or the control itself, reports a run-time error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrinx::values {

/// Error numbers the project raises or relies on; each has its standard text in error.cpp.
/// Raise them through raiseError, never by a number or a text typed at the place of use.
namespace err {
inline constexpr std::int32_t InvalidProcedureCall = 5;  ///< invalid procedure call or argument
inline constexpr std::int32_t Overflow = 6;  ///< overflow: a value out of its type's range
inline constexpr std::int32_t OutOfMemory = 7;  ///< out of memory
inline constexpr std::int32_t SubscriptOutOfRange = 9;  ///< subscript out of range
inline constexpr std::int32_t DivisionByZero = 11;  ///< division by zero
inline constexpr std::int32_t TypeMismatch = 13;  ///< type mismatch: a value that does not convert
inline constexpr std::int32_t OutOfStackSpace = 28;  ///< events nested too deeply
inline constexpr std::int32_t FileNotFound = 53;  ///< file not found
inline constexpr std::int32_t PermissionDenied = 70;  ///< permission denied
inline constexpr std::int32_t PathFileAccessError = 75;  ///< path/file access error
inline constexpr std::int32_t PathNotFound = 76;  ///< path not found
inline constexpr std::int32_t ObjectVariableNotSet = 91;  ///< object variable not set (no object)
inline constexpr std::int32_t InvalidUseOfNull = 94;  ///< invalid use of Null
inline constexpr std::int32_t NoSuchControlArrayElement =
    340;  ///< no such widget array element (unknown widget name or index)
inline constexpr std::int32_t InvalidPropertyValue = 380;  ///< invalid property value: the widget refuses the value
inline constexpr std::int32_t InvalidPropertyArrayIndex = 381;  ///< invalid property array index
inline constexpr std::int32_t ReadOnlyAtDesignTime = 382;  ///< a read-only property set at design time
inline constexpr std::int32_t ReadOnlyProperty = 383;      ///< a put on a property that has no put
inline constexpr std::int32_t ReadOnlyAtRunTime = 393;     ///< a read-only property set at run time
inline constexpr std::int32_t ObjectRequired = 424;  ///< object required
inline constexpr std::int32_t AutomationFailure = 440;  ///< an automation call failed without an error of its own
inline constexpr std::int32_t MemberNotSupported = 438;  ///< no such property or method
inline constexpr std::int32_t ArgumentNotOptional = 449;  ///< argument not optional: an argument is missing
inline constexpr std::int32_t WrongNumberOfArguments = 450;  ///< or an invalid property assignment
}  // namespace err

/// The host's standard text for an error number ("Application-defined or object-defined error"
/// for numbers it has no text of its own for).
std::string standardErrorText(std::int32_t number);

/// A run-time error with its number and text, as it reaches the caller of a property or method.
class AutomationError : public std::runtime_error {
 public:
  /// Error `number` with the host's standard text (standardErrorText).
  explicit AutomationError(std::int32_t number);
  /// Error `number` with a text of its own (what() returns it).
  AutomationError(std::int32_t number, const std::string& text);
  /// The error number (err::).
  std::int32_t number() const noexcept { return number_; }

 private:
  std::int32_t number_;
};

/// Raises error `number` with the host's standard text.
[[noreturn]] void raiseError(std::int32_t number);

/// Runs one step and swallows an AutomationError it throws; for routines that skip each
/// failing step and go on with the next. Use it step by step, never around a whole routine.
/// Returns true when the step succeeded.
template <typename Step>
bool skipOnError(Step&& step) {
  try {
    step();
    return true;
  } catch (const AutomationError&) {
    return false;
  }
}

}  // namespace kestrinx::values
