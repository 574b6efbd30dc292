// Internal to the headless host: a guard that bounds how deeply events may nest.
//
// Events are synchronous, so a handler that keeps answering an event with another change
// (a Change handler that always sets a different text, a Resize handler that always resizes)
// recurses. A real host runs out of stack; the headless host stops such a chain with error 28
// ("Out of stack space") once events nest more than kMaxEventDepth deep, so a runaway handler
// fails the call instead of crashing the process.
#pragma once

#include <cstdint>

#include "host/error.h"

namespace kestrinx::headless::detail {

inline constexpr int kMaxEventDepth = 100;
inline constexpr std::int32_t kOutOfStackSpace = 28;

class EventDepth {
 public:
  EventDepth() {
    if (depth() >= kMaxEventDepth) throw host::AutomationError(kOutOfStackSpace, "Out of stack space");
    ++depth();
  }
  ~EventDepth() { --depth(); }
  EventDepth(const EventDepth&) = delete;
  EventDepth& operator=(const EventDepth&) = delete;

 private:
  // Events nest on one thread only; every thread has its own count.
  static int& depth() {
    thread_local int d = 0;
    return d;
  }
};

}  // namespace kestrinx::headless::detail
