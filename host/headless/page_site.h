// The headless host of a property page: the selected controls and the Changed flag, the widgets
// the page creates from its design (owned here, found again by name and array index), and what a
// user does on the page: typing into a text box, clicking a check box, picking a list item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/headless/check_box.h"
#include "host/headless/combo_box.h"
#include "host/headless/form.h"
#include "host/headless/frame.h"
#include "host/headless/keys.h"
#include "host/headless/label.h"
#include "host/headless/property_page_site.h"
#include "host/headless/tab_control.h"
#include "host/headless/text_box.h"
#include "host/page_site.h"

namespace kestrinx::headless {

class PageSite final : public host::PageSite {
 public:
  // One created widget and where the design placed it.
  struct Placed {
    std::string name;
    std::int16_t index = host::WidgetDesign::NotInArray;
    std::int16_t tab = 0;
    std::string frame;  // the frame's name; empty directly on the tab (and for the tab control)
    std::int16_t tabIndex = 0;
    std::unique_ptr<host::Positioned> widget;
  };

  PageSite() = default;
  PageSite(const PageSite&) = delete;
  PageSite& operator=(const PageSite&) = delete;

  // -- the selection and Changed --
  void select(std::vector<values::Dispatch*> controls) { selection_.select(std::move(controls)); }
  std::size_t selectedCount() const override { return selection_.selectedCount(); }
  values::Dispatch& selectedControl(std::size_t i) override { return selection_.selectedControl(i); }
  Boolean changed() const override { return selection_.changed(); }
  void setChanged(Boolean v) override { selection_.setChanged(v); }

  // -- the factory --
  void setPageArea(std::string_view caption, Twips width, Twips height) override;
  host::TabControl& createTabControl(const host::WidgetDesign& design,
                                     std::span<const std::string_view> tabCaptions) override;
  host::Frame& createFrame(const host::WidgetDesign& design) override;
  host::TextBox& createTextBox(const host::WidgetDesign& design, host::TextBoxEvents* sink) override;
  host::ComboBox& createComboBox(const host::WidgetDesign& design, std::span<const std::string_view> items,
                                 host::ListEvents* sink) override;
  host::CheckBox& createCheckBox(const host::WidgetDesign& design, host::ClickEvents* sink) override;
  host::Label& createLabel(const host::WidgetDesign& design) override;

  // -- what was created, in creation order, and lookups by name (any case) and array index
  // (omitted for a widget outside an array); error 340 when there is no such widget of that kind --
  const std::vector<Placed>& placed() const { return placed_; }
  const Placed& placement(std::string_view name, std::int16_t index = host::WidgetDesign::NotInArray) const;
  TextBox& textBox(std::string_view name, std::int16_t index);
  ComboBox& comboBox(std::string_view name, std::int16_t index);
  CheckBox& checkBox(std::string_view name, std::int16_t index);
  Label& label(std::string_view name, std::int16_t index);
  Frame& frame(std::string_view name);
  TabControl& tabControl();  // error 340 before the page created one
  std::string pageCaption() const { return pageCaption_; }
  Twips pageWidth() const { return pageWidth_; }
  Twips pageHeight() const { return pageHeight_; }

  // -- what a user does --
  // Focuses the text box and types `s` into it (keystroke by keystroke, as Form::type does).
  void type(std::string_view name, std::int16_t index, const std::string& s);
  // Presses a named key in the focused text box.
  void press(Key k, std::int16_t shift = 0) { form_.press(k, shift); }
  void click(std::string_view name, std::int16_t index) { checkBox(name, index).click(); }
  void choose(std::string_view name, std::int16_t index, std::int32_t item) { comboBox(name, index).choose(item); }
  Form& form() { return form_; }

 private:
  template <typename W>
  W& find(std::string_view name, std::int16_t index) const;
  // Takes the widget, places it by the design and records it; returns it.
  template <typename W>
  W& place(std::unique_ptr<W> widget, const host::WidgetDesign& design);
  const Placed* lookup(std::string_view name, std::int16_t index) const;

  headless::PropertyPageSite selection_;  // the selection and Changed, as a page without widgets has them
  Form form_;  // before the widgets: text boxes leave the form when they go
  std::vector<Placed> placed_;
  std::string pageCaption_;
  Twips pageWidth_ = 0, pageHeight_ = 0;
};

}  // namespace kestrinx::headless
