// The Qt host of a property page: the selected controls and the Changed flag, and the page's
// widgets created from its design on a QWidget that is the page's client area. Geometry is in
// twips, shown at the page's logical DPI (units.h); the tab control stands on the page, every
// other widget on a tab of it (tab_control's canvas, in the tab control's coordinates) or inside
// a frame. A widget keeps at least the height its font needs. The page's text boxes and labels
// are the Qt host's own (a QLineEdit and a QLabel); lists, check boxes, frames and the tab
// control are those of page_widgets.h. Each Qt widget is named as the design names it
// ("txtGeneral(1)", "Frame1"), so style sheets and tests find it with findChild.
//
// Events the user raises on the page's widgets go through the site's Delivery: a handler's
// automation error ends that event and goes to the error hook. Changes of Changed go to the
// changed hook, which a dialog uses to enable its Apply button.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/page_site.h"
#include "host/qt/delivery.h"

class QTabWidget;

namespace kestrinx::qthost {

class TabControl;

class PageSite final : public host::PageSite {
 public:
  // One created widget as the design named it.
  struct Placed {
    std::string name;
    std::int16_t index = host::WidgetDesign::NotInArray;
    std::int16_t tab = 0;
    host::Positioned* widget = nullptr;
    QWidget* qwidget = nullptr;
    std::int16_t tabIndex = 0;  // its place in the page's keyboard order
  };

  // `page` is the page's client area; it must outlive the site.
  explicit PageSite(QWidget& page);
  ~PageSite() override;
  PageSite(const PageSite&) = delete;
  PageSite& operator=(const PageSite&) = delete;

  // -- the selection and Changed --
  void select(std::vector<values::Dispatch*> controls) { selected_ = std::move(controls); }
  std::size_t selectedCount() const override { return selected_.size(); }
  values::Dispatch& selectedControl(std::size_t i) override;  // error 9 outside the selection
  values::Boolean changed() const override { return changed_; }
  void setChanged(values::Boolean v) override;
  // Told the new Changed whenever it changes.
  void setChangedHook(std::function<void(bool)> hook) { changedHook_ = std::move(hook); }
  // Told every automation error a user's action on the page ended with.
  void setErrorHook(Delivery::ErrorHandler hook) { delivery_.setErrorHandler(std::move(hook)); }
  Delivery& delivery() { return delivery_; }

  // -- the factory --
  void setPageArea(std::string_view caption, values::Twips width, values::Twips height) override;
  host::TabControl& createTabControl(const host::WidgetDesign& design,
                                     std::span<const std::string_view> tabCaptions) override;
  host::Frame& createFrame(const host::WidgetDesign& design) override;
  host::TextBox& createTextBox(const host::WidgetDesign& design, host::TextBoxEvents* sink) override;
  host::ComboBox& createComboBox(const host::WidgetDesign& design, std::span<const std::string_view> items,
                                 host::ListEvents* sink) override;
  host::CheckBox& createCheckBox(const host::WidgetDesign& design, host::ClickEvents* sink) override;
  host::Label& createLabel(const host::WidgetDesign& design) override;

  // -- what was created --
  const std::string& pageCaption() const { return caption_; }
  QWidget& page() const { return *page_; }
  // The Qt widget of a created widget by name (any case) and array index; nullptr when none.
  QWidget* find(std::string_view name, std::int16_t index = host::WidgetDesign::NotInArray) const;
  const std::vector<Placed>& placed() const { return placed_; }
  // The tab control's QTabWidget; nullptr before the page created it.
  QTabWidget* tabWidget() const;

 private:
  // Where a widget of `design` stands: its frame, else its tab's canvas (error 5 before the tab
  // control exists or for a frame that is not this page's or stands on another tab).
  QWidget& parentFor(const host::WidgetDesign& design) const;
  template <typename W>
  W& place(std::unique_ptr<W> widget, QWidget& qwidget, const host::WidgetDesign& design);
  // Chains the widgets' keyboard focus in the order of their designs' tab indexes.
  void orderKeyboard();

  QPointer<QWidget> page_;
  Delivery delivery_;
  std::vector<values::Dispatch*> selected_;
  values::Boolean changed_ = values::False;
  std::function<void(bool)> changedHook_;
  std::string caption_;
  TabControl* tabs_ = nullptr;
  std::vector<std::unique_ptr<host::Positioned>> owned_;  // in creation order; destroyed in reverse
  std::vector<Placed> placed_;
};

}  // namespace kestrinx::qthost
