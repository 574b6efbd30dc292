// Automation errors: the host's standard texts and the exception that carries them.
#include "host/error.h"

namespace kestrinx::host {

namespace {

struct ErrorText {
  std::int32_t number;
  const char* text;
};

// Sorted by number. Only errors the project raises or that a host call may plausibly report.
constexpr ErrorText kErrorTexts[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Index out of range"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {53, "File not found"},
    {70, "Permission denied"},
    {75, "Path or file access error"},
    {76, "Path not found"},
    {91, "Object variable not set"},
    {94, "Invalid use of Null"},
    {380, "Invalid property value"},
    {381, "Invalid property array index"},
    {382, "Property is read-only at design time"},
    {383, "Property is read-only"},
    {393, "Property is read-only at run time"},
    {424, "Object required"},
    {438, "Object does not support this property or method"},
    {449, "Argument not optional"},
    {450, "Wrong number of arguments or invalid property assignment"},
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

}  // namespace kestrinx::host
