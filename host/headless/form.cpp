// The headless form: which box has keyboard focus, focus events, Tab, and routing of typing.
#include "host/headless/form.h"

#include <algorithm>
#include <iterator>

#include "host/headless/event_depth.h"
#include "host/headless/text_box.h"
#include "values/error.h"

namespace kestrinx::headless {

void Form::attach(TextBox* box) { boxes_.push_back(box); }

void Form::detach(TextBox* box) {
  // Forms close from the last box placed, so look from the back.
  const auto it = std::find(boxes_.rbegin(), boxes_.rend(), box);
  if (it != boxes_.rend()) boxes_.erase(std::next(it).base());
  if (focused_ == box) focused_ = nullptr;  // a box going away takes its focus with it, silently
}

void Form::focus(TextBox* box) {
  if (box == focused_) return;
  const auto attached = [this](TextBox* b) { return std::find(boxes_.begin(), boxes_.end(), b) != boxes_.end(); };
  if (box != nullptr && (!attached(box) || !box->enabled())) values::raiseError(values::err::InvalidProcedureCall);
  detail::EventDepth guard;

  // While LostFocus runs, no box has focus. A LostFocus handler that moves focus itself wins:
  // its move raised its own events and this one ends there.
  TextBox* old = focused_;
  focused_ = nullptr;
  if (old != nullptr && old->sink_ != nullptr) old->sink_->onLostFocus(old->index_);
  if (focused_ != nullptr) return;
  if (box == nullptr || !attached(box)) return;

  focused_ = box;
  if (box->sink_ != nullptr) box->sink_->onGotFocus(box->index_);
}

void Form::type(const std::string& s) {
  for (char c : s) {
    if (focused_ != nullptr) focused_->typeChar(c);
  }
}

void Form::press(Key k, std::int16_t shift) {
  if (k != Key::Tab) {
    if (focused_ != nullptr) focused_->pressKey(k, shift);
    return;
  }
  // Tab (Shift+Tab backwards) goes to the next box that can take focus, in creation order,
  // without wrapping: past the last box focus leaves every box, as if another control on the
  // form came next; the following Tab starts again at the first box.
  const auto canFocus = [](const TextBox* b) { return b->enabled() != values::False && b->visible(); };
  const bool backwards = (shift & ShiftMask) != 0;
  std::vector<TextBox*> order = boxes_;
  if (backwards) std::reverse(order.begin(), order.end());
  auto from = order.begin();
  if (focused_ != nullptr) {
    from = std::find(order.begin(), order.end(), focused_);
    if (from != order.end()) ++from;
  }
  auto next = std::find_if(from, order.end(), canFocus);
  focus(next == order.end() ? nullptr : *next);
}

}  // namespace kestrinx::headless
