#include "forms/form_property_bag.h"

#include <algorithm>
#include <cstring>

namespace kestrinx::forms {

using values::Variant;

namespace {

// Whether two keys are the same: most keys differ in length or first byte, told without a call.
inline bool sameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.empty() || (a[0] == b[0] && std::memcmp(a.data(), b.data(), a.size()) == 0));
}

}  // namespace

// ---- the key order ------------------------------------------------------------------------------

FormKeyOrder::FormKeyOrder(std::span<const std::string_view> readingOrder) {
  std::size_t bytes = 0;
  for (std::string_view k : readingOrder) bytes += k.size();
  text_.reserve(bytes);  // the views below point into it, so it never grows after this
  keys_.reserve(readingOrder.size());
  for (std::string_view k : readingOrder) {
    keys_.emplace_back(text_.data() + text_.size(), k.size());
    text_.append(k);
  }
  // At most a quarter full, so that a probe mostly ends at its first bucket.
  std::size_t buckets = 16;
  while (buckets < 4 * keys_.size()) buckets *= 2;
  table_.assign(buckets, 0);
  for (std::size_t slot = 0; slot < keys_.size(); ++slot) {
    if (slotOf(keys_[slot]) < keys_.size()) continue;  // listed twice: the first place counts
    for (std::size_t b = hash(keys_[slot]) & (buckets - 1);; b = (b + 1) & (buckets - 1)) {
      if (table_[b] == 0) {
        table_[b] = static_cast<std::uint16_t>(slot + 1);
        break;
      }
    }
  }
}

std::uint32_t FormKeyOrder::hash(std::string_view key) {
  if (key.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(key[i])); };
  const std::uint32_t h = static_cast<std::uint32_t>(key.size()) * 0x9E3779B1u ^ byte(0) * 0x85EBCA77u ^
                          byte(key.size() - 1) * 0xC2B2AE3Du ^ byte(key.size() / 2) * 0x27D4EB2Fu;
  return h ^ (h >> 15);
}

std::size_t FormKeyOrder::slotOf(std::string_view key) const {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t b = hash(key) & mask; table_[b] != 0; b = (b + 1) & mask)
    if (sameKey(keys_[table_[b] - 1u], key)) return table_[b] - 1u;
  return keys_.size();
}

// ---- the bag ------------------------------------------------------------------------------------

FormPropertyBag::FormPropertyBag(std::vector<FormEntry>& entries, const FormKeyOrder* order)
    : entries_(entries), order_(order) {
  entryAt_.assign(slotCount(), kNone);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t slot = order_ ? order_->slotOf(entries[i].key) : 0;
    if (slot < slotCount() && entryAt_[slot] == kNone) entryAt_[slot] = static_cast<std::uint32_t>(i);
  }
  touched_.assign(entries.size(), false);
}

std::size_t FormPropertyBag::slotFor(const std::string& name, std::size_t next, std::size_t last) const {
  const std::size_t n = slotCount();
  if (n == 0) return 0;
  if (next < n && sameKey(order_->key(next), name)) return next;
  if (last < n && sameKey(order_->key(last), name)) return last;
  return order_->slotOf(name);
}

std::uint32_t FormPropertyBag::entryOf(std::size_t slot, const std::string& name) const {
  if (slot < slotCount()) return entryAt_[slot];
  // Outside the order: no entry at a slot has this key.
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].key == name) return static_cast<std::uint32_t>(i);
  return kNone;
}

Variant FormPropertyBag::readProperty(const std::string& name, const Variant& defaultValue) {
  // The next key in the order; or the last one, read again for the second text box.
  const std::size_t slot = slotFor(name, nextRead_, lastRead_);
  lastRead_ = slot;
  if (slot < slotCount()) {
    nextRead_ = slot + 1;
  } else {
    lastReadOutside_ = name;
  }
  const std::uint32_t i = entryOf(slot, name);
  if (i == kNone) return defaultValue;
  touched_[i] = true;
  return entries_[i].value;
}

void FormPropertyBag::writeProperty(const std::string& name, const Variant& value, const Variant& defaultValue) {
  if (writes_.empty()) {
    writes_.reserve(64);  // a control writes some fifty keys
    slotWritten_.assign(slotCount(), false);
  }
  const std::size_t slot = slotFor(name, lastWrite_ + 1, lastWrite_);
  if (slot < slotCount()) {
    lastWrite_ = slot;
    slotWritten_[slot] = true;
    writes_.push_back(static_cast<std::uint32_t>(slot));
  } else {
    writes_.push_back(static_cast<std::uint32_t>(slotCount() + outside_.size()));
    outside_.push_back(name);
  }
  std::uint32_t i = entryOf(slot, name);
  if (value == defaultValue) {
    if (i != kNone) removeEntry(i);
    return;
  }
  if (i != kNone) {
    entries_[i].value = value;
  } else {
    i = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(FormEntry{name, value});
    if (slot < slotCount()) entryAt_[slot] = i;
    touched_.push_back(false);
  }
  touched_[i] = true;
}

void FormPropertyBag::removeEntry(std::uint32_t i) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  touched_.erase(touched_.begin() + static_cast<std::ptrdiff_t>(i));
  for (std::uint32_t& at : entryAt_) {
    if (at == i) at = kNone;
    else if (at != kNone && at > i) --at;
  }
}

const std::string& FormPropertyBag::lastKeyRead() const {
  if (lastRead_ < slotCount()) {
    lastReadText_.assign(order_->key(lastRead_));
  } else if (lastRead_ == SIZE_MAX) {
    lastReadText_.clear();
  } else {
    return lastReadOutside_;
  }
  return lastReadText_;
}

bool FormPropertyBag::wrote(std::string_view key) const {
  const std::size_t slot = order_ ? order_->slotOf(key) : 0;
  if (slot < slotCount()) return !slotWritten_.empty() && slotWritten_[slot];
  return std::find(outside_.begin(), outside_.end(), key) != outside_.end();
}

std::vector<std::string> FormPropertyBag::keysWritten() const {
  std::vector<std::string> keys;
  keys.reserve(writes_.size());
  for (std::uint32_t w : writes_)
    keys.push_back(w < slotCount() ? std::string(order_->key(w)) : outside_[w - slotCount()]);
  return keys;
}

}  // namespace kestrinx::forms
