// A control's saved properties in a form file (forms/form_file.h), seen as the property bag the
// control's ReadProperties and WriteProperties use.
//
// How this host keeps values: a value equal to the default written with it (same type and value;
// an object the very object of the default) is not stored, and removes what the key held, as the
// default comes back on reading anyway. Any other value replaces the key's value where the key
// stands, or is added at the end. So a key the control writes twice (Text for element 1, then for
// element 0) is kept once, with the later value; and keys the control does not write (those of
// a newer build, say) stay where they were, so saving loses nothing.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/form_file.h"
#include "values/property_bag.h"

namespace kestrinx::forms {

class FormPropertyBag final : public values::PropertyBag {
 public:
  // Reads and writes `entries`, which nothing else changes while the bag lives.
  explicit FormPropertyBag(std::vector<FormEntry>& entries);

  // The stored value (an object comes back as the stored object itself), or the default.
  values::Variant readProperty(const std::string& name, const values::Variant& defaultValue) override;
  void writeProperty(const std::string& name, const values::Variant& value,
                     const values::Variant& defaultValue) override;

  // The key of the last read ("" before any), so a ReadProperties that stops can be reported
  // with the key it stopped at.
  const std::string& lastKeyRead() const { return lastRead_; }
  // Every key written through this bag, in order (a key written twice is listed twice).
  const std::vector<std::string>& keysWritten() const { return written_; }
  // Whether entry `i` was found by a read or stored by a write: the control knows its key.
  bool touched(std::size_t i) const { return i < touched_.size() && touched_[i]; }

 private:
  // The entry of `name`, or entries_.size(). Reads and writes mostly follow the stored order,
  // so the search starts at the last entry found (a key read twice in a row is found at once),
  // and compares a signature of each key (length, first and last byte) before the key itself.
  // Most keys a control asks for are not stored (their values are the defaults): a bit per
  // signature, set for every key ever stored, answers most of those without a search.
  std::size_t find(const std::string& name);
  static std::uint32_t signature(const std::string& key);
  static std::size_t signatureBit(std::uint32_t signature) { return (signature * 2654435761u) >> 24; }
  void add(const FormEntry& entry);
  void touch(std::size_t i);

  std::vector<FormEntry>& entries_;
  std::vector<std::uint32_t> signatures_;  // one per entry
  std::bitset<256> stored_;                // signatureBit of every key stored so far
  std::vector<bool> touched_;              // per entry: a read found it, or a write stored it
  std::size_t next_ = 0;
  std::string lastRead_;
  std::vector<std::string> written_;
};

}  // namespace kestrinx::forms
