// The General property page: edits fifteen of the Kestrin control's properties on three tabs.
// It loads them from the first selected control and applies them to every selected control, by
// property name through values::Dispatch, in the order of the binding table (general_design.h).
// Its widgets come from the design table through the host's page site; apart from them the page
// keeps no data, and no reference to a control between events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/page_site.h"
#include "host/widgets.h"
#include "propertypage/general_design.h"
#include "values/error.h"
#include "values/text.h"
#include "values/variant.h"

namespace kestrinx::propertypage {

// One widget as a tool shows it (describeTabs).
struct WidgetState {
  std::string name;      // "txtGeneral(1)", "Frame1"
  WidgetKind kind = WidgetKind::Label;
  std::string frame;     // the frame it stands in; empty directly on the tab
  std::int16_t tabIndex = 0;
  std::string caption;   // of a label, check box or frame; empty for text boxes and lists
  std::string property;  // the control property it edits; empty for labels and frames
  std::string value;     // a box's text, a list's chosen item, a check box's Value ("0", "1", "2")
  friend bool operator==(const WidgetState&, const WidgetState&) = default;
};

// One tab of the page and its widgets in keyboard (tab index) order.
struct TabState {
  std::string caption;
  std::vector<WidgetState> widgets;
  friend bool operator==(const TabState&, const TabState&) = default;
};

class General {
 public:
  // Creates the page's widgets from the design table through `site`, which keeps them.
  explicit General(host::PageSite& site);
  General(const General&) = delete;
  General& operator=(const General&) = delete;

  // -- page events, raised by the host --
  // Once, after creation: checks the NumSeparatorUse box.
  void PropertyPage_Initialize();
  // Whenever the selection changes: loads the fifteen properties of the first selected control
  // into the widgets through their ordinary setters, so each widget whose content changes runs
  // its handler. A value a list has no item for loads as no item chosen (ListIndex -1). Nothing
  // happens while nothing is selected.
  void PropertyPage_SelectionChanged();
  // Writes the fifteen properties to every selected control in the selection's order, one
  // control receiving them all before the next; a list with no item chosen (its property held a
  // value the list lacks, and the user picked none) is passed over, so each control keeps its
  // own value. The number boxes are checked first: when BoxWidth or Interval does not convert
  // to a 32-bit integer, nothing is applied to any control and AutomationError 380 names the
  // property and the text.
  void PropertyPage_ApplyChanges();

  // -- handlers of the widget arrays' events, with the element's index --
  // The CaptionView box (0) first empties the caption box; every box marks the page changed.
  void chkGeneral_Click(std::int16_t index);
  // Every list marks the page changed.
  void cmbGeneral_Change(std::int16_t index);
  // A number box (BoxWidth, Interval) that fails the host's is-numeric test is emptied and the
  // page's Changed is left alone; any other change marks the page changed.
  void txtGeneral_Change(std::int16_t index);

  // -- by name, for tools --
  // The three tabs with each widget's caption and current value.
  std::vector<TabState> describeTabs() const;
  // Sets one widget from "name(index)=value" as code would, so its handler runs: a text box
  // takes the text (a number box only a number or nothing), a list an item's text (any case) or
  // index, a check box 0, 1 or 2. Error 340 names the widgets there are when there is no such
  // widget, 380 says what the widget takes when it cannot take the value, 5 when the assignment
  // is not of that form.
  void setWidget(std::string_view assignment);

 private:
  using Widget = std::variant<host::TabControl*, host::Frame*, host::TextBox*, host::ComboBox*, host::CheckBox*,
                              host::Label*>;

  // The widgets' events reach the handlers through these.
  struct TextEvents final : host::TextBoxEvents {
    explicit TextEvents(General& p) : page(p) {}
    void onChange(std::int16_t index, host::ChangeSource) override { page.txtGeneral_Change(index); }
    General& page;
  };
  struct ListEvents final : host::ListEvents {
    explicit ListEvents(General& p) : page(p) {}
    void onChange(std::int16_t index) override { page.cmbGeneral_Change(index); }
    General& page;
  };
  struct CheckEvents final : host::ClickEvents {
    explicit CheckEvents(General& p) : page(p) {}
    void onClick(std::int16_t index) override { page.chkGeneral_Click(index); }
    General& page;
  };

  Widget create(const DesignRow& row);
  // The widget of a design row, or of an array element (error 340 when there is none).
  template <typename W>
  W& widget(std::string_view name, std::int16_t index) const;
  void load(const Binding& b, values::Dispatch& control);
  values::Variant valueOf(const Binding& b) const;
  // Error 380 unless both number boxes hold a 32-bit integer.
  void checkNumberBoxes() const;

  host::PageSite& site_;
  TextEvents textEvents_{*this};
  ListEvents listEvents_{*this};
  CheckEvents checkEvents_{*this};
  std::vector<Widget> widgets_;  // one per row of kDesign
};

template <typename W>
W& General::widget(std::string_view name, std::int16_t index) const {
  for (std::size_t i = 0; i < widgets_.size(); ++i) {
    if (kDesign[i].index != index || !values::equalsIgnoreCase(kDesign[i].name, name)) continue;
    if (W* const* w = std::get_if<W*>(&widgets_[i])) return **w;
  }
  values::raiseError(values::err::NoSuchControlArrayElement);
}

}  // namespace kestrinx::propertypage
