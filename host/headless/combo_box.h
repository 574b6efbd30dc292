// The headless drop-down list of the property page: its items, the chosen one, and Change then
// Click whenever the choice changes, by code or by the user's pick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/headless/widget.h"
#include "host/widgets.h"

namespace kestrinx::headless {

class ComboBox final : public Widget<host::ComboBox> {
 public:
  void addItem(const std::string& item) override { check("addItem"); items_.push_back(item); }
  void clear() override;
  std::int32_t listCount() const override { return static_cast<std::int32_t>(items_.size()); }
  std::string list(std::int32_t index) const override;
  std::int32_t listIndex() const override { return listIndex_; }
  void setListIndex(std::int32_t v) override;  // raises Change and Click when it changes
  std::string text() const override;
  void setEventSink(host::ListEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }
  // The user picks item `item` (0 to listCount-1, else error 380): Change and Click when the
  // choice changes, as for a set of ListIndex.
  void choose(std::int32_t item);

 private:
  void change(std::int32_t v);
  std::vector<std::string> items_;
  std::int32_t listIndex_ = -1;
  host::ListEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

}  // namespace kestrinx::headless
