// How every host object raises its events to the control, and the guard that bounds how deeply
// events may nest. For host implementations (host/headless, host/qt); the control never uses it.
//
// Events are synchronous, so a handler that keeps answering an event with another change
// (a Change handler that always sets a different text, a Resize handler that always resizes)
// recurses. Left alone it would run out of stack; every host stops such a chain with error 28
// ("Out of stack space") once events nest more than kMaxEventDepth deep, so a runaway handler
// fails the call instead of crashing the process.
//
// Once the limit has been reached, every further event fails at once until the outermost
// event has returned. A handler that skips failing steps and makes two changes in a row
// (a control writing both of its text boxes, say) would otherwise start a fresh descent to
// the limit after each failure, and the chain would take exponential time instead of failing.
#pragma once

#include "values/error.h"

namespace kestrinx::host::detail {

inline constexpr int kMaxEventDepth = 100;

class EventDepth {
 public:
  EventDepth() {
    State& s = state();
    if (s.exhausted || s.depth >= kMaxEventDepth) {
      s.exhausted = true;
      values::raiseError(values::err::OutOfStackSpace);
    }
    ++s.depth;
  }
  ~EventDepth() {
    State& s = state();
    if (--s.depth == 0) s.exhausted = false;  // the chain is over: the next event starts afresh
  }
  EventDepth(const EventDepth&) = delete;
  EventDepth& operator=(const EventDepth&) = delete;

 private:
  struct State {
    int depth = 0;
    bool exhausted = false;  // the limit was reached and the outermost event has not returned yet
  };
  // Events nest on one thread only; every thread has its own count.
  static State& state() {
    thread_local State s;
    return s;
  }
};

// Raises one event: calls `call` with the sink, under the guard, when there is a sink.
template <typename Sink, typename Call>
void raiseEvent(Sink* sink, Call&& call) {
  if (sink == nullptr) return;
  EventDepth guard;
  call(*sink);
}

}  // namespace kestrinx::host::detail
