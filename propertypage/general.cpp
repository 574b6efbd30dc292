// The General page: creation from the design table, the page events and the widget handlers.
#include "propertypage/general.h"

#include <array>
#include <string>

#include "values/error.h"
#include "values/functions.h"
#include "values/text.h"

namespace kestrinx::propertypage {

namespace {

// A number box's value as the host will convert it for a 32-bit property: an AutomationError
// 380 that names the property and the text when the conversion would fail.
void requireWholeNumber(const Binding& b, const values::Variant& value) {
  try {
    value.toLong();
  } catch (const values::AutomationError& e) {
    const std::string text = value.toString();
    const std::string property(b.property);
    std::string message;
    if (text.empty()) {
      message = property + " is empty: enter a whole number";
    } else if (e.number() == values::err::Overflow) {
      message = property + ": '" + text + "' is outside the range of a 32-bit whole number (-2147483648 to 2147483647)";
    } else {
      message = property + ": '" + text + "' is not a number";
    }
    throw values::AutomationError(values::err::InvalidPropertyValue, message);
  }
}

// A list with no item chosen: its property held a value the list has no item for, and the
// user has not picked one since. Applying it would set the list's -1.
bool nothingChosen(const Binding& b, const values::Variant& value) {
  return b.kind == ValueKind::ListIndex && value.toLong() < 0;
}

}  // namespace

General::General(host::PageSite& site) : site_(site) {
  site_.setPageArea(kPageCaption, kPageWidth, kPageHeight);
  widgets_.reserve(kDesign.size());
  for (const DesignRow& row : kDesign) widgets_.push_back(create(row));
}

General::Widget General::create(const DesignRow& row) {
  host::WidgetDesign design{row.name, row.index,  row.tab,    nullptr,     row.caption,
                            row.left, row.top,    row.width,  row.height,  row.tabIndex};
  if (!row.frame.empty()) design.frame = &widget<host::Frame>(row.frame, -1);
  switch (row.kind) {
    case WidgetKind::TabControl: return &site_.createTabControl(design, kTabCaptions);
    case WidgetKind::Frame: return &site_.createFrame(design);
    case WidgetKind::TextBox: return &site_.createTextBox(design, &textEvents_);
    case WidgetKind::List: return &site_.createComboBox(design, row.items, &listEvents_);
    case WidgetKind::CheckBox: return &site_.createCheckBox(design, &checkEvents_);
    case WidgetKind::Label: {
      host::Label& label = site_.createLabel(design);
      if (row.authorLine) label.setForeColor(kAuthorLineColor);
      return &label;
    }
  }
  values::raiseError(values::err::InvalidProcedureCall);
}

// ---- page events ------------------------------------------------------------------------------

void General::PropertyPage_Initialize() { widget<host::CheckBox>(kCheckBoxes, kNumSeparatorCheck).setValue(1); }

void General::PropertyPage_SelectionChanged() {
  if (site_.selectedCount() == 0) return;  // nothing to show: the widgets keep what they hold
  values::Dispatch& first = site_.selectedControl(0);
  for (const Binding& b : kBindings) load(b, first);
}

void General::load(const Binding& b, values::Dispatch& control) {
  const values::Variant v = control.getProperty(std::string(b.property));
  switch (b.kind) {
    case ValueKind::ListIndex: {
      // A value the list has no item for (KestrinType 7, a date box's FormatDate 5) shows as
      // no item chosen; the apply leaves that property alone until the user picks one.
      host::ComboBox& list = widget<host::ComboBox>(b.widget, b.index);
      const std::int32_t value = v.toLong();
      list.setListIndex(value >= 0 && value < list.listCount() ? value : -1);
      break;
    }
    case ValueKind::Check:
      widget<host::CheckBox>(b.widget, b.index).setValue(v.toBoolean() != values::False ? 1 : 0);
      break;
    case ValueKind::Text: widget<host::TextBox>(b.widget, b.index).setText(v.toString()); break;
    case ValueKind::NumberText: widget<host::TextBox>(b.widget, b.index).setText(std::to_string(v.toLong())); break;
  }
}

values::Variant General::valueOf(const Binding& b) const {
  switch (b.kind) {
    case ValueKind::ListIndex: {
      const std::int32_t listIndex = widget<host::ComboBox>(b.widget, b.index).listIndex();
      return values::Variant::integer(values::Variant::longValue(listIndex).toInteger());
    }
    case ValueKind::Check:
      return values::Variant::boolean(widget<host::CheckBox>(b.widget, b.index).value() == 1 ? values::True
                                                                                             : values::False);
    case ValueKind::Text:
    case ValueKind::NumberText: return values::Variant::string(widget<host::TextBox>(b.widget, b.index).text());
  }
  return {};
}

void General::PropertyPage_ApplyChanges() {
  // The widgets are read once, and the number boxes checked, before the first property is set:
  // a box that cannot give its property a value stops the apply before any control changes.
  std::array<values::Variant, kBindings.size()> values;
  for (std::size_t i = 0; i < kBindings.size(); ++i) {
    values[i] = valueOf(kBindings[i]);
    if (kBindings[i].kind == ValueKind::NumberText) requireWholeNumber(kBindings[i], values[i]);
  }
  for (std::size_t c = 0; c < site_.selectedCount(); ++c) {
    values::Dispatch& control = site_.selectedControl(c);
    for (std::size_t i = 0; i < kBindings.size(); ++i) {
      if (nothingChosen(kBindings[i], values[i])) continue;
      control.setProperty(std::string(kBindings[i].property), values[i]);
    }
  }
}

// ---- widget handlers ----------------------------------------------------------------------------

void General::chkGeneral_Click(std::int16_t index) {
  // Checking or unchecking CaptionView empties the caption box either way.
  if (index == kCaptionViewCheck) widget<host::TextBox>(kTextBoxes, kCaptionBox).setText("");
  site_.setChanged(values::True);
}

void General::cmbGeneral_Change(std::int16_t /*index*/) { site_.setChanged(values::True); }

void General::txtGeneral_Change(std::int16_t index) {
  if (isNumberBox(index)) {
    // Only a number or nothing may stay in a number box. Emptying it raises Change again,
    // which finds the box empty and sets it empty once more; that changes nothing and ends.
    host::TextBox& box = widget<host::TextBox>(kTextBoxes, index);
    if (!values::isNumeric(box.text())) {
      box.setText("");
      return;
    }
  }
  site_.setChanged(values::True);
}

}  // namespace kestrinx::propertypage
