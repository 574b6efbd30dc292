// What a property page receives from its host: the selected controls and the Changed flag.
#pragma once

#include <cstddef>
#include <string>

#include "values/dispatch.h"
#include "values/types.h"

namespace kestrinx::host {

class PropertyPageSite {
 public:
  virtual ~PropertyPageSite() = default;
  virtual std::size_t selectedCount() const = 0;
  virtual values::Dispatch& selectedControl(std::size_t i) = 0;  // i < selectedCount()
  // Changed True enables the sheet's Apply button.
  virtual values::Boolean changed() const = 0;
  virtual void setChanged(values::Boolean v) = 0;
};

}  // namespace kestrinx::host
