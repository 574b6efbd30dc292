#include "host/form_property_bag.h"

namespace kestrinx::host {

std::size_t FormPropertyBag::find(const std::string& name) {
  const std::size_t n = entries_.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = (next_ + k) % n;
    if (entries_[i].key == name) {
      next_ = i + 1;
      return i;
    }
  }
  return n;
}

Variant FormPropertyBag::readProperty(const std::string& name, const Variant& defaultValue) {
  lastRead_ = name;
  const std::size_t i = find(name);
  return i == entries_.size() ? defaultValue : entries_[i].value;
}

void FormPropertyBag::writeProperty(const std::string& name, const Variant& value, const Variant& defaultValue) {
  written_.push_back(name);
  const std::size_t i = find(name);
  if (value == defaultValue) {
    if (i < entries_.size()) {
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      next_ = i;
    }
    return;
  }
  if (i < entries_.size())
    entries_[i].value = value;
  else
    entries_.push_back({name, value});
}

}  // namespace kestrinx::host
