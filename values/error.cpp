// Automation errors: the host's standard texts and the exception that carries them.
#include "values/error.h"

namespace kestrinx::values {

namespace {

struct ErrorText {
  std::int32_t number;
  const char* text;
};

// One row per constant in err::, sorted by number.
constexpr ErrorText kErrorTexts[] = {
    {err::InvalidProcedureCall, "Invalid procedure call or argument"},
    {err::Overflow, "Overflow"},
    {err::OutOfMemory, "Out of memory"},
    {err::SubscriptOutOfRange, "Subscript out of range"},
    {err::DivisionByZero, "Division by zero"},
    {err::TypeMismatch, "Type mismatch"},
    {err::OutOfStackSpace, "Out of stack space"},
    {err::FileNotFound, "File not found"},
    {err::PermissionDenied, "Permission denied"},
    {err::PathFileAccessError, "Path or file access error"},
    {err::PathNotFound, "Path not found"},
    {err::ObjectVariableNotSet, "Object variable not set"},
    {err::InvalidUseOfNull, "Invalid use of Null"},
    {err::NoSuchControlArrayElement, "Control array element doesn't exist"},
    {err::InvalidPropertyValue, "Invalid property value"},
    {err::InvalidPropertyArrayIndex, "Invalid property array index"},
    {err::ReadOnlyAtDesignTime, "Property is read-only at design time"},
    {err::ReadOnlyProperty, "Property is read-only"},
    {err::ReadOnlyAtRunTime, "Property is read-only at run time"},
    {err::ObjectRequired, "Object required"},
    {err::AutomationFailure, "Automation error"},
    {err::MemberNotSupported, "Object does not support this property or method"},
    {err::ArgumentNotOptional, "Argument not optional"},
    {err::WrongNumberOfArguments, "Wrong number of arguments or invalid property assignment"},
};

}  // namespace

std::string standardErrorText(std::int32_t number) {
  for (const ErrorText& e : kErrorTexts) {
    if (e.number == number) return e.text;
  }
  return "Application-defined or object-defined error";
}

AutomationError::AutomationError(std::int32_t number)
    : std::runtime_error(standardErrorText(number)), number_(number) {}

AutomationError::AutomationError(std::int32_t number, const std::string& text)
    : std::runtime_error(text), number_(number) {}

void raiseError(std::int32_t number) { throw AutomationError(number); }

}  // namespace kestrinx::values
