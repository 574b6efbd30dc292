#include "forms/form_property_bag.h"

namespace kestrinx::forms {

using values::Variant;

FormPropertyBag::FormPropertyBag(std::vector<FormEntry>& entries) : entries_(entries) {
  signatures_.reserve(entries.capacity());  // room for the entries a writer has made room for
  for (const FormEntry& e : entries) add(e);
}

void FormPropertyBag::add(const FormEntry& entry) {
  signatures_.push_back(signature(entry.key));
  stored_.set(signatureBit(signatures_.back()));
}

std::uint32_t FormPropertyBag::signature(const std::string& key) {
  if (key.empty()) return 0;
  return static_cast<std::uint32_t>(key.size()) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(key.front())) << 8 |
         static_cast<unsigned char>(key.back());
}

std::size_t FormPropertyBag::find(const std::string& name) {
  const std::size_t n = entries_.size();
  const std::uint32_t s = signature(name);
  if (!stored_.test(signatureBit(s))) return n;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = next_ + k < n ? next_ + k : next_ + k - n;
    if (signatures_[i] == s && entries_[i].key == name) {
      // The next search starts here: a control reads some keys twice in a row (once per text
      // box), and otherwise the next key stands one further on.
      next_ = i;
      return i;
    }
  }
  return n;
}

Variant FormPropertyBag::readProperty(const std::string& name, const Variant& defaultValue) {
  lastRead_ = name;
  const std::size_t i = find(name);
  if (i == entries_.size()) return defaultValue;
  touch(i);
  return entries_[i].value;
}

void FormPropertyBag::writeProperty(const std::string& name, const Variant& value, const Variant& defaultValue) {
  if (written_.empty()) written_.reserve(64);  // a control writes some fifty keys
  written_.push_back(name);
  const std::size_t i = find(name);
  if (value == defaultValue) {
    if (i < entries_.size()) {
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      signatures_.erase(signatures_.begin() + static_cast<std::ptrdiff_t>(i));
      if (i < touched_.size()) touched_.erase(touched_.begin() + static_cast<std::ptrdiff_t>(i));
      next_ = i < entries_.size() ? i : 0;
    }
    return;
  }
  if (i < entries_.size()) {
    entries_[i].value = value;
  } else {
    entries_.push_back(FormEntry{name, value});
    add(entries_.back());
  }
  touch(i);
}

void FormPropertyBag::touch(std::size_t i) {
  while (touched_.size() < entries_.size()) touched_.push_back(false);
  touched_[i] = true;
}

}  // namespace kestrinx::forms
