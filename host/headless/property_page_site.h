// The headless property page site: the selected controls, set by the caller, and the Changed flag.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "host/property_page_site.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::Boolean;

class PropertyPageSite final : public host::PropertyPageSite {
 public:
  void select(std::vector<values::Dispatch*> controls) { selected_ = std::move(controls); }
  std::size_t selectedCount() const override { return selected_.size(); }
  values::Dispatch& selectedControl(std::size_t i) override;  // error 9 outside the selection
  Boolean changed() const override { return changed_; }
  void setChanged(Boolean v) override { changed_ = v; }

 private:
  std::vector<values::Dispatch*> selected_;
  Boolean changed_ = values::False;
};

}  // namespace kestrinx::headless
