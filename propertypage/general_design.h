// The General page as data: the design table (every widget with its container, caption or text,
// geometry in twips and keyboard order), the items of the four lists, and the binding table
// (which widget edits which property of the control, in the order the page loads and applies
// them). The page builds its widgets and does its loads and applies from these tables alone;
// the checks at the end hold them together at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "values/types.h"

namespace kestrinx::propertypage {

enum class WidgetKind : std::uint8_t { TabControl, Frame, TextBox, List, CheckBox, Label };

// The page: its caption, client area, and the tabs of its tab control, the first shown first.
inline constexpr std::string_view kPageCaption = "General";
inline constexpr values::Twips kPageWidth = 6228;
inline constexpr values::Twips kPageHeight = 3324;
inline constexpr std::array<std::string_view, 3> kTabCaptions = {"General", "ColorUse/Beep", "Format"};
inline constexpr std::int16_t kGeneralTab = 0, kColorTab = 1, kFormatTab = 2;
inline constexpr std::int16_t kOnPage = -1;  // the tab control stands on the page, not on a tab

// The tab control, the widget arrays, the caption box and the CaptionView and NumSeparatorUse boxes.
inline constexpr std::string_view kTabControl = "ppBox";
inline constexpr std::string_view kTextBoxes = "txtGeneral";
inline constexpr std::string_view kLists = "cmbGeneral";
inline constexpr std::string_view kCheckBoxes = "chkGeneral";
inline constexpr std::string_view kLabels = "lblGeneral";
inline constexpr std::int16_t kCaptionBox = 0;
inline constexpr std::int16_t kCaptionViewCheck = 0, kNumSeparatorCheck = 6;

// Each tab carries one author line, drawn in the system highlight colour (system colour 13).
inline constexpr std::string_view kAuthorLine = "KestrinX 1.0";
inline constexpr values::OleColor kAuthorLineColor = 0x8000000Du;

// List items from index 0; each index is the value of the property's enumeration.
inline constexpr std::array<std::string_view, 4> kTypeItems = {"Normal", "Numeric", "Date", "Time"};
inline constexpr std::array<std::string_view, 3> kDateItems = {"NONE", "YYYY-MM-DD", "MM-DD-YYYY"};
inline constexpr std::array<std::string_view, 3> kTimeItems = {"NONE", "HH:MM", "HH:MM:SS"};
inline constexpr std::array<std::string_view, 2> kAlignItems = {"RIGHT_ALIGN", "LEFT_ALIGN"};

// One widget as designed. Left and top count from the tab control's origin for a widget on a
// tab, from the frame's origin inside a frame, and from the page's for the tab control.
struct DesignRow {
  WidgetKind kind = WidgetKind::Label;
  std::int16_t tab = 0;        // kOnPage for the tab control
  std::string_view frame;      // the frame it stands in; empty directly on the tab
  std::string_view name;       // the array's name, or the widget's own
  std::int16_t index = -1;     // its index in the array; -1 outside an array
  std::string_view caption;    // caption, or the text a text box shows until the first load
  values::Twips left = 0, top = 0, width = 0, height = 0;
  std::int16_t tabIndex = 0;
  std::span<const std::string_view> items = {};  // a list's items
  bool authorLine = false;
};

// In creation order: a frame comes before the widgets inside it.
inline constexpr std::array<DesignRow, 30> kDesign = [] {
  using K = WidgetKind;
  constexpr std::int16_t G = kGeneralTab, C = kColorTab, F = kFormatTab;
  return std::array<DesignRow, 30>{{
      // kind        tab  frame     name        idx  caption or text      left  top   width height tab index
      {K::TabControl, kOnPage, "", kTabControl, -1, "", 120, 0, 6012, 3252, 0},
      {K::Label, G, "", kLabels, 0, "KestrinType", 360, 480, 960, 192, 1},
      {K::List, G, "", kLists, 0, "", 240, 720, 1692, 288, 17, kTypeItems},
      {K::Label, G, "", kLabels, 4, "ToolTipText", 2400, 480, 888, 192, 15},
      {K::TextBox, G, "", kTextBoxes, 3, "txtToolTip", 2280, 720, 3252, 288, 16},
      {K::Label, G, "", kLabels, 9, kAuthorLine, 3960, 360, 1872, 192, 24, {}, true},
      {K::Frame, G, "", "Frame1", -1, "Caption", 240, 1080, 5412, 972, 2},
      {K::CheckBox, G, "Frame1", kCheckBoxes, 0, "CaptionView", 360, 240, 1452, 192, 3},
      {K::Label, G, "Frame1", kLabels, 1, "Caption", 960, 528, 552, 192, 5},
      {K::TextBox, G, "Frame1", kTextBoxes, 0, "txtCaption", 1680, 480, 3252, 288, 4},
      {K::Frame, G, "", "Frame2", -1, "Box", 240, 2160, 5412, 972, 6},
      {K::CheckBox, G, "Frame2", kCheckBoxes, 1, "BoxWidthLock", 360, 240, 1452, 192, 8},
      {K::Label, G, "Frame2", kLabels, 2, "BoxWidth", 840, 528, 684, 192, 11},
      {K::TextBox, G, "Frame2", kTextBoxes, 1, "txtBoxWidth", 1680, 480, 1092, 288, 9},
      {K::Label, G, "Frame2", kLabels, 3, "Interval", 2880, 528, 516, 192, 10},
      {K::TextBox, G, "Frame2", kTextBoxes, 2, "txtInterval", 3480, 480, 972, 288, 7},
      {K::CheckBox, C, "", kCheckBoxes, 2, "ColorEditUse", 840, 720, 1452, 192, 12},
      {K::CheckBox, C, "", kCheckBoxes, 3, "ColorInvalidUse", 840, 1200, 1452, 192, 13},
      {K::CheckBox, C, "", kCheckBoxes, 4, "ColorValidUse", 840, 1680, 1452, 192, 14},
      {K::CheckBox, C, "", kCheckBoxes, 5, "InvalidBeep", 2520, 1200, 1452, 192, 25},
      {K::Label, C, "", kLabels, 7, kAuthorLine, 3960, 2880, 1872, 192, 22, {}, true},
      {K::Label, F, "", kLabels, 5, "Format Date", 360, 600, 888, 192, 20},
      {K::List, F, "", kLists, 1, "", 240, 840, 2052, 288, 18, kDateItems},
      {K::Label, F, "", kLabels, 6, "Format Time", 2760, 600, 912, 192, 21},
      {K::List, F, "", kLists, 2, "", 2640, 840, 1572, 288, 19, kTimeItems},
      {K::Frame, F, "", "Frame3", -1, "Format Numeric", 240, 1320, 5412, 1212, 26},
      {K::Label, F, "Frame3", kLabels, 10, "Alignment", 480, 360, 708, 192, 29},
      {K::List, F, "Frame3", kLists, 3, "", 360, 600, 1692, 288, 28, kAlignItems},
      {K::CheckBox, F, "Frame3", kCheckBoxes, 6, "NumSeparatorUse", 2400, 720, 1932, 192, 27},
      {K::Label, F, "", kLabels, 8, kAuthorLine, 3960, 2880, 1872, 192, 23, {}, true},
  }};
}();

// How a property's value travels between a control and its widget.
enum class ValueKind : std::uint8_t {
  ListIndex,   // the property's enumeration value is the list's ListIndex (16-bit)
  Check,       // True shows checked (Value 1); only a checked box applies True
  Text,        // the property's string is the box's text
  NumberText,  // the property's 32-bit integer shows as decimal text; the text applies as a string
};

// One property the page edits: the widget (array and index), the property's name, the kind.
struct Binding {
  std::string_view widget;
  std::int16_t index = 0;
  std::string_view property;
  ValueKind kind = ValueKind::Text;
};

// In the order the page loads them from the first selected control and applies them to each.
inline constexpr std::array<Binding, 15> kBindings = {{
    {kLists, 0, "KestrinType", ValueKind::ListIndex},
    {kCheckBoxes, 0, "CaptionView", ValueKind::Check},
    {kTextBoxes, 0, "Caption", ValueKind::Text},
    {kCheckBoxes, 1, "BoxWidthLock", ValueKind::Check},
    {kTextBoxes, 1, "BoxWidth", ValueKind::NumberText},
    {kTextBoxes, 2, "Interval", ValueKind::NumberText},
    {kTextBoxes, 3, "ToolTipText", ValueKind::Text},
    {kCheckBoxes, 2, "ColorEditUse", ValueKind::Check},
    {kCheckBoxes, 3, "ColorInValidUse", ValueKind::Check},
    {kCheckBoxes, 5, "InvalidBeep", ValueKind::Check},
    {kCheckBoxes, 4, "ColorValidUse", ValueKind::Check},
    {kLists, 1, "FormatDate", ValueKind::ListIndex},
    {kLists, 2, "FormatTime", ValueKind::ListIndex},
    {kCheckBoxes, 6, "NumSeparatorUse", ValueKind::Check},
    {kLists, 3, "NumAlignment", ValueKind::ListIndex},
}};

// ---- lookups and what the tables promise ---------------------------------------------------

// The row of the widget `name` (array index `index`); kDesign.size() when there is none.
constexpr std::size_t designRow(std::string_view name, std::int16_t index) {
  for (std::size_t i = 0; i < kDesign.size(); ++i)
    if (kDesign[i].name == name && kDesign[i].index == index) return i;
  return kDesign.size();
}

// How many widgets of a kind the design holds.
constexpr std::size_t countOf(WidgetKind kind) {
  std::size_t n = 0;
  for (const DesignRow& r : kDesign) n += r.kind == kind ? 1 : 0;
  return n;
}

// The binding of a widget; nullptr for a widget that edits no property.
constexpr const Binding* bindingOf(std::string_view widget, std::int16_t index) {
  for (const Binding& b : kBindings)
    if (b.widget == widget && b.index == index) return &b;
  return nullptr;
}

// True for the text boxes that hold a number (BoxWidth and Interval).
constexpr bool isNumberBox(std::int16_t index) {
  const Binding* b = bindingOf(kTextBoxes, index);
  return b != nullptr && b->kind == ValueKind::NumberText;
}

// The kind of widget a kind of value is edited in.
constexpr WidgetKind widgetFor(ValueKind kind) {
  switch (kind) {
    case ValueKind::ListIndex: return WidgetKind::List;
    case ValueKind::Check: return WidgetKind::CheckBox;
    case ValueKind::Text:
    case ValueKind::NumberText: return WidgetKind::TextBox;
  }
  return WidgetKind::Label;
}

namespace detail {

// Every binding names a designed widget of the kind its value needs, and no widget twice.
constexpr bool bindingsMatchTheDesign() {
  for (std::size_t i = 0; i < kBindings.size(); ++i) {
    const std::size_t row = designRow(kBindings[i].widget, kBindings[i].index);
    if (row == kDesign.size() || kDesign[row].kind != widgetFor(kBindings[i].kind)) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (kBindings[j].widget == kBindings[i].widget && kBindings[j].index == kBindings[i].index) return false;
  }
  return true;
}

// Names and indexes are unique, each array runs from 0 without gaps, a frame comes before the
// widgets inside it and stands on their tab, and keyboard order gives each widget its own place.
constexpr bool designIsConsistent() {
  for (std::size_t i = 0; i < kDesign.size(); ++i) {
    const DesignRow& r = kDesign[i];
    if ((r.kind == WidgetKind::TabControl) != (r.tab == kOnPage)) return false;
    if (r.tab != kOnPage && (r.tab < 0 || static_cast<std::size_t>(r.tab) >= kTabCaptions.size())) return false;
    if ((r.kind == WidgetKind::List) != !r.items.empty()) return false;
    if (r.index >= 0) {
      std::size_t elements = 0;
      for (const DesignRow& other : kDesign) elements += other.name == r.name ? 1 : 0;
      if (static_cast<std::size_t>(r.index) >= elements) return false;
    }
    if (!r.frame.empty()) {
      const std::size_t f = designRow(r.frame, -1);
      if (f >= i || kDesign[f].kind != WidgetKind::Frame || kDesign[f].tab != r.tab) return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (kDesign[j].name == r.name && kDesign[j].index == r.index) return false;
      if (kDesign[j].tabIndex == r.tabIndex) return false;
    }
  }
  return true;
}

}  // namespace detail

static_assert(detail::designIsConsistent());
static_assert(detail::bindingsMatchTheDesign());
static_assert(kDesign[designRow(kTextBoxes, kCaptionBox)].kind == WidgetKind::TextBox);
static_assert(kDesign[designRow(kCheckBoxes, kCaptionViewCheck)].kind == WidgetKind::CheckBox);
static_assert(kDesign[designRow(kCheckBoxes, kNumSeparatorCheck)].kind == WidgetKind::CheckBox);

}  // namespace kestrinx::propertypage
