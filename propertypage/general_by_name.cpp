// The General page by name, for tools: the tabs with each widget's caption and value, and
// setting one widget from "name(index)=value".
#include <algorithm>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

#include "propertypage/general.h"
#include "values/error.h"
#include "values/functions.h"
#include "values/text.h"

namespace kestrinx::propertypage {

namespace {

std::string nameOf(const DesignRow& row) {
  return row.index < 0 ? std::string(row.name) : std::string(row.name) + "(" + std::to_string(row.index) + ")";
}

// "txtGeneral(1)" -> ("txtGeneral", 1); "Frame1" -> ("Frame1", -1); nullopt for anything else.
std::optional<std::pair<std::string_view, std::int16_t>> parseName(std::string_view target) {
  const std::size_t open = target.find('(');
  if (open == std::string_view::npos) return std::pair{target, std::int16_t{-1}};
  const std::string_view digits = target.substr(open + 1, target.size() - open - 2);
  if (target.back() != ')' || digits.empty() || digits.size() > 4) return std::nullopt;
  int index = 0;
  for (char c : digits) {
    if (!values::isDigit(c)) return std::nullopt;
    index = index * 10 + (c - '0');
  }
  return std::pair{target.substr(0, open), static_cast<std::int16_t>(index)};
}

// "txtGeneral(0-3), cmbGeneral(0-3), chkGeneral(0-6)": the arrays whose elements take values.
std::string settableWidgets() {
  std::string list;
  for (const auto& [name, kind] : {std::pair{kTextBoxes, WidgetKind::TextBox}, std::pair{kLists, WidgetKind::List},
                                   std::pair{kCheckBoxes, WidgetKind::CheckBox}}) {
    if (!list.empty()) list += ", ";
    list += std::string(name) + "(0-" + std::to_string(countOf(kind) - 1) + ")";
  }
  return list;
}

}  // namespace

std::vector<TabState> General::describeTabs() const {
  const host::TabControl& tabs = widget<host::TabControl>(kTabControl, -1);
  std::vector<TabState> result;
  for (std::int16_t t = 0; t < tabs.tabs(); ++t) result.push_back(TabState{tabs.tabCaption(t), {}});

  for (std::size_t i = 0; i < widgets_.size(); ++i) {
    const DesignRow& row = kDesign[i];
    if (row.tab < 0 || static_cast<std::size_t>(row.tab) >= result.size()) continue;  // the tab control itself
    WidgetState state{nameOf(row), row.kind, std::string(row.frame), row.tabIndex, {}, {}, {}};
    if (const Binding* b = bindingOf(row.name, row.index)) state.property = std::string(b->property);
    std::visit(
        [&state](auto* w) {
          using W = std::remove_pointer_t<decltype(w)>;
          if constexpr (std::is_same_v<W, host::Label> || std::is_same_v<W, host::Frame>) {
            state.caption = w->caption();
          } else if constexpr (std::is_same_v<W, host::CheckBox>) {
            state.caption = w->caption();
            state.value = std::to_string(w->value());
          } else if constexpr (std::is_same_v<W, host::TextBox> || std::is_same_v<W, host::ComboBox>) {
            state.value = w->text();
          }
        },
        widgets_[i]);
    result[static_cast<std::size_t>(row.tab)].widgets.push_back(std::move(state));
  }
  for (TabState& tab : result)
    std::stable_sort(tab.widgets.begin(), tab.widgets.end(),
                     [](const WidgetState& a, const WidgetState& b) { return a.tabIndex < b.tabIndex; });
  return result;
}

void General::setWidget(std::string_view assignment) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos)
    throw values::AutomationError(values::err::InvalidProcedureCall,
           "'" + std::string(assignment) + "' is not of the form name(index)=value, as in txtGeneral(1)=1200");
  const std::string_view target = values::trimSpaces(assignment.substr(0, eq));
  const std::string value(assignment.substr(eq + 1));

  std::size_t row = kDesign.size();
  if (const auto parsed = parseName(target)) {
    for (std::size_t i = 0; i < kDesign.size(); ++i)
      if (kDesign[i].index == parsed->second && values::equalsIgnoreCase(kDesign[i].name, parsed->first)) row = i;
  }
  if (row == kDesign.size())
    throw values::AutomationError(values::err::NoSuchControlArrayElement,
           "no widget '" + std::string(target) + "' on the page; values go to " + settableWidgets());

  const DesignRow& r = kDesign[row];
  const std::string name = nameOf(r);
  const Binding* b = bindingOf(r.name, r.index);
  const std::string what = b != nullptr ? name + " (" + std::string(b->property) + ")" : name;
  const auto refusal = [&](const std::string& takes) {
    return values::AutomationError(values::err::InvalidPropertyValue,
                                   what + " takes " + takes + ", not '" + value + "'");
  };

  switch (r.kind) {
    case WidgetKind::TextBox: {
      if (isNumberBox(r.index) && !value.empty() && !values::isNumeric(value)) throw refusal("a number");
      widget<host::TextBox>(r.name, r.index).setText(value);
      return;
    }
    case WidgetKind::List: {
      host::ComboBox& list = widget<host::ComboBox>(r.name, r.index);
      std::string items;
      for (std::int32_t i = 0; i < list.listCount(); ++i) {
        const std::string item = list.list(i);
        if (values::equalsIgnoreCase(item, value) || value == std::to_string(i)) {
          list.setListIndex(i);
          return;
        }
        items += (i > 0 ? ", " : "") + item;
      }
      throw refusal("one of " + items + " or its index 0 to " + std::to_string(list.listCount() - 1));
    }
    case WidgetKind::CheckBox: {
      if (value != "0" && value != "1" && value != "2") throw refusal("0 (unchecked), 1 (checked) or 2 (grayed)");
      widget<host::CheckBox>(r.name, r.index).setValue(static_cast<std::int16_t>(value[0] - '0'));
      return;
    }
    case WidgetKind::Label:
    case WidgetKind::Frame:
    case WidgetKind::TabControl: break;
  }
  throw values::AutomationError(values::err::InvalidPropertyValue,
                                name + " shows a caption and takes no value; values go to " + settableWidgets());
}

}  // namespace kestrinx::propertypage
