// What a property page receives from the host that shows it: the selected controls and the
// Changed flag (PropertyPageSite), and the widgets of the page, which the host creates from the
// page's design when the page is created.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "host/property_page_site.h"
#include "host/widgets.h"
#include "values/types.h"

namespace kestrinx::host {

// One widget of a page as designed. A page stands one tab control on its client area; every
// other widget stands on one of its tabs, directly or inside a frame on that tab.
struct WidgetDesign {
  static constexpr std::int16_t NotInArray = -1;

  std::string_view name;                // a widget array's name ("txtGeneral") or the widget's own ("Frame1")
  std::int16_t index = NotInArray;      // its index in the array, reported with each of its events
  std::int16_t tab = 0;                 // the tab it stands on (ignored for the tab control)
  Frame* frame = nullptr;               // the frame it stands in, created by the same site; nullptr: on the tab
  std::string_view caption;             // the caption, or the text a text box shows until code changes it
  values::Twips left = 0, top = 0, width = 0, height = 0;  // from the origin of its frame, tab control or page
  std::int16_t tabIndex = 0;            // its place in the page's keyboard order
};

// The host side of a property page. The factory members create a widget with its design's
// caption or text, geometry and (for lists) items in place before they connect the event sink,
// so a design's initial content raises no event; from then on each widget raises its events
// to the sink with its array index. The site owns the widgets and keeps them for the page's
// lifetime. A failing creation throws AutomationError.
class PageSite : public PropertyPageSite {
 public:
  // The page's caption and the size of its client area.
  virtual void setPageArea(std::string_view caption, values::Twips width, values::Twips height) = 0;
  // The page's tab control, on the page's client area, with one tab per caption, showing the first.
  virtual TabControl& createTabControl(const WidgetDesign& design, std::span<const std::string_view> tabCaptions) = 0;
  // A frame that groups widgets (layout only).
  virtual Frame& createFrame(const WidgetDesign& design) = 0;
  // A single-line text box showing the design's caption as its text.
  virtual TextBox& createTextBox(const WidgetDesign& design, TextBoxEvents* sink) = 0;
  // A drop-down list holding `items` in order, nothing chosen.
  virtual ComboBox& createComboBox(const WidgetDesign& design, std::span<const std::string_view> items,
                                   ListEvents* sink) = 0;
  // A check box, unchecked.
  virtual CheckBox& createCheckBox(const WidgetDesign& design, ClickEvents* sink) = 0;
  // A label, at the design's size whatever its caption.
  virtual Label& createLabel(const WidgetDesign& design) = 0;
};

}  // namespace kestrinx::host
