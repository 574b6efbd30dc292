// A control's saved properties in a form file (forms/form_file.h), seen as the property bag the
// control's ReadProperties and WriteProperties use.
//
// How this host keeps values: a value equal to the default written with it (same type and value;
// an object the very object of the default) is not stored, and removes what the key held, as the
// default comes back on reading anyway. Any other value replaces the key's value where the key
// stands, or is added at the end. So a key the control writes twice (Text for element 1, then for
// element 0) is kept once, with the later value; and keys the control does not write (those of
// a newer build, say) stay where they were, so saving loses nothing.
//
// Lookups: whoever opens controls of a class hands their bags the class's keys in its reading
// order (FormKeyOrder, made once per class). A bag then finds each stored entry's place in that
// order once, when it is made, and answers the control's reads in the order without searching:
// each read is the key the order expects next (or the one just read, read again for a second
// text box), checked by one comparison. Writes find their key's place through the order's table.
// Keys outside the order (a newer build's) and bags without an order are searched for.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_file.h"
#include "values/property_bag.h"

namespace kestrinx::forms {

// The keys a class of controls reads, in its reading order, each once, with a table from key to
// place ("slot"). The keys are copied.
class FormKeyOrder {
 public:
  explicit FormKeyOrder(std::span<const std::string_view> readingOrder);
  FormKeyOrder(const FormKeyOrder&) = delete;
  FormKeyOrder& operator=(const FormKeyOrder&) = delete;

  std::size_t size() const { return keys_.size(); }
  std::string_view key(std::size_t slot) const { return keys_[slot]; }
  // The slot of `key` (case-sensitive), or size() for a key not in the order.
  std::size_t slotOf(std::string_view key) const;

 private:
  static std::uint32_t hash(std::string_view key);
  std::string text_;                     // the keys one after another
  std::vector<std::string_view> keys_;   // into text_
  std::vector<std::uint16_t> table_;     // open addressing: slot + 1, 0 for free
};

class FormPropertyBag final : public values::PropertyBag {
 public:
  // Reads and writes `entries`, which nothing else changes while the bag lives. `order`, when
  // given, outlives the bag.
  explicit FormPropertyBag(std::vector<FormEntry>& entries, const FormKeyOrder* order = nullptr);

  // The stored value (an object comes back as the stored object itself), or the default.
  values::Variant readProperty(const std::string& name, const values::Variant& defaultValue) override;
  void writeProperty(const std::string& name, const values::Variant& value,
                     const values::Variant& defaultValue) override;

  // The key of the last read ("" before any), so a ReadProperties that stops can be reported
  // with the key it stopped at.
  const std::string& lastKeyRead() const;
  // Whether `key` was written through this bag.
  bool wrote(std::string_view key) const;
  // Every key written through this bag, in order (a key written twice is listed twice).
  std::vector<std::string> keysWritten() const;
  // Whether entry `i` was found by a read or stored by a write: the control knows its key.
  bool touched(std::size_t i) const { return i < touched_.size() && touched_[i]; }

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  // The slot of a key the control reads or writes: `next` or `last` when the key is theirs (the
  // next in order, or the one just used), else from the order's table; slotCount() outside it.
  std::size_t slotFor(const std::string& name, std::size_t next, std::size_t last) const;
  // The entry of `name` at `slot` (or searched for outside the order), or kNone.
  std::uint32_t entryOf(std::size_t slot, const std::string& name) const;
  void removeEntry(std::uint32_t i);
  std::size_t slotCount() const { return order_ ? order_->size() : 0; }

  std::vector<FormEntry>& entries_;
  const FormKeyOrder* order_;
  std::vector<std::uint32_t> entryAt_;  // per slot: its entry, or kNone
  std::vector<bool> touched_;            // per entry: a read found it, or a write stored it
  std::size_t nextRead_ = 0;             // the slot the next read is expected at
  std::size_t lastRead_ = SIZE_MAX;      // the last read's slot; SIZE_MAX before any
  std::string lastReadOutside_;          // the last read's key when outside the order
  mutable std::string lastReadText_;     // lastKeyRead()'s answer
  std::size_t lastWrite_ = SIZE_MAX;     // the last write's slot
  // Writes in order: a slot, or slotCount() + i for outside_[i].
  std::vector<std::uint32_t> writes_;
  std::vector<std::string> outside_;    // keys written outside the order
  std::vector<bool> slotWritten_;
};

}  // namespace kestrinx::forms
