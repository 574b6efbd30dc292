// The headless page site: creates, places, owns and finds the page's widgets.
#include "host/headless/page_site.h"

#include <string>

#include "host/accepted_values.h"
#include "values/error.h"
#include "values/text.h"

namespace kestrinx::headless {

void PageSite::setPageArea(std::string_view caption, Twips width, Twips height) {
  pageCaption_ = std::string(caption);
  pageWidth_ = host::checkedSize(width);
  pageHeight_ = host::checkedSize(height);
}

host::TabControl& PageSite::createTabControl(const host::WidgetDesign& design,
                                             std::span<const std::string_view> tabCaptions) {
  if (tabCaptions.empty()) values::raiseError(values::err::InvalidPropertyValue);
  auto tabs = std::make_unique<TabControl>();
  tabs->setTabs(static_cast<std::int16_t>(tabCaptions.size()));
  for (std::size_t i = 0; i < tabCaptions.size(); ++i)
    tabs->setTabCaption(static_cast<std::int16_t>(i), std::string(tabCaptions[i]));
  tabs->setTab(0);
  host::WidgetDesign onPage = design;
  onPage.tab = 0;
  onPage.frame = nullptr;
  return place(std::move(tabs), onPage);
}

host::Frame& PageSite::createFrame(const host::WidgetDesign& design) {
  auto frame = std::make_unique<Frame>();
  frame->setCaption(std::string(design.caption));
  return place(std::move(frame), design);
}

host::TextBox& PageSite::createTextBox(const host::WidgetDesign& design, host::TextBoxEvents* sink) {
  auto box = std::make_unique<TextBox>(form_);
  box->setText(std::string(design.caption));
  TextBox& placedBox = place(std::move(box), design);
  placedBox.setEventSink(sink, design.index);
  return placedBox;
}

host::ComboBox& PageSite::createComboBox(const host::WidgetDesign& design, std::span<const std::string_view> items,
                                         host::ListEvents* sink) {
  auto list = std::make_unique<ComboBox>();
  for (std::string_view item : items) list->addItem(std::string(item));
  ComboBox& placedList = place(std::move(list), design);
  placedList.setEventSink(sink, design.index);
  return placedList;
}

host::CheckBox& PageSite::createCheckBox(const host::WidgetDesign& design, host::ClickEvents* sink) {
  auto box = std::make_unique<CheckBox>();
  box->setCaption(std::string(design.caption));
  CheckBox& placedBox = place(std::move(box), design);
  placedBox.setEventSink(sink, design.index);
  return placedBox;
}

host::Label& PageSite::createLabel(const host::WidgetDesign& design) {
  auto label = std::make_unique<Label>();
  label->setCaption(std::string(design.caption));  // sizes itself; the design's size follows
  return place(std::move(label), design);
}

template <typename W>
W& PageSite::place(std::unique_ptr<W> widget, const host::WidgetDesign& design) {
  std::string frameName;
  if (design.frame != nullptr) {
    // The frame must be one of this page's, standing on the same tab.
    const host::Positioned* frame = design.frame;
    const Placed* owner = nullptr;
    for (const Placed& p : placed_)
      if (p.widget.get() == frame) owner = &p;
    if (owner == nullptr || owner->tab != design.tab) values::raiseError(values::err::InvalidProcedureCall);
    frameName = owner->name;
  }
  widget->move(design.left, design.top, design.width, design.height);
  W& w = *widget;
  placed_.push_back(Placed{std::string(design.name), design.index, design.tab, std::move(frameName), design.tabIndex,
                           std::move(widget)});
  return w;
}

const PageSite::Placed* PageSite::lookup(std::string_view name, std::int16_t index) const {
  for (const Placed& p : placed_)
    if (p.index == index && values::equalsIgnoreCase(p.name, name)) return &p;
  return nullptr;
}

const PageSite::Placed& PageSite::placement(std::string_view name, std::int16_t index) const {
  const Placed* p = lookup(name, index);
  if (p == nullptr) values::raiseError(values::err::NoSuchControlArrayElement);
  return *p;
}

template <typename W>
W& PageSite::find(std::string_view name, std::int16_t index) const {
  auto* w = dynamic_cast<W*>(placement(name, index).widget.get());
  if (w == nullptr) values::raiseError(values::err::NoSuchControlArrayElement);
  return *w;
}

TextBox& PageSite::textBox(std::string_view name, std::int16_t index) { return find<TextBox>(name, index); }
ComboBox& PageSite::comboBox(std::string_view name, std::int16_t index) { return find<ComboBox>(name, index); }
CheckBox& PageSite::checkBox(std::string_view name, std::int16_t index) { return find<CheckBox>(name, index); }
Label& PageSite::label(std::string_view name, std::int16_t index) { return find<Label>(name, index); }
Frame& PageSite::frame(std::string_view name) { return find<Frame>(name, host::WidgetDesign::NotInArray); }

TabControl& PageSite::tabControl() {
  for (Placed& p : placed_)
    if (auto* tabs = dynamic_cast<TabControl*>(p.widget.get())) return *tabs;
  values::raiseError(values::err::NoSuchControlArrayElement);
}

void PageSite::type(std::string_view name, std::int16_t index, const std::string& s) {
  form_.focus(&textBox(name, index));
  form_.type(s);
}

}  // namespace kestrinx::headless
