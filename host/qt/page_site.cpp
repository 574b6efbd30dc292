// The Qt page site: creates, places and owns the page's widgets over Qt widgets.
#include "host/qt/page_site.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>

#include "host/accepted_values.h"
#include "host/qt/fonts.h"
#include "host/qt/label.h"
#include "host/qt/page_widgets.h"
#include "host/qt/strings.h"
#include "host/qt/text_box.h"
#include "host/qt/units.h"
#include "values/error.h"
#include "values/objects.h"
#include "values/text.h"

namespace kestrinx::qthost {

namespace {

// A caption's widget is widened to show its whole text when the page's font is wider than the
// one the design was measured in; the twips the page set stay as set.
void showWholeCaption(QWidget& w) {
  const int needed = w.sizeHint().width();
  if (needed > w.width()) w.resize(needed, w.height());
}

}  // namespace

PageSite::PageSite(QWidget& page) : page_(&page) {
  // The page shows in the default font, as the controls do.
  installFontSubstitutions();
  page.setFont(toQFont(values::Font{}));
}

// The widgets go in the reverse order of their creation: those inside a frame or on a tab
// before the frame and the tab control that hold them.
PageSite::~PageSite() {
  while (!owned_.empty()) owned_.pop_back();
}

values::Dispatch& PageSite::selectedControl(std::size_t i) {
  if (i >= selected_.size()) values::raiseError(values::err::SubscriptOutOfRange);
  if (selected_[i] == nullptr) values::raiseError(values::err::ObjectVariableNotSet);
  return *selected_[i];
}

void PageSite::setChanged(values::Boolean v) {
  const bool was = changed_ != values::False;
  changed_ = v;
  if (was != (v != values::False) && changedHook_) changedHook_(v != values::False);
}

void PageSite::setPageArea(std::string_view caption, values::Twips width, values::Twips height) {
  caption_ = std::string(caption);
  page_->setFixedSize(toPixelsX(*page_, host::checkedSize(width)), toPixelsY(*page_, host::checkedSize(height)));
}

QWidget& PageSite::parentFor(const host::WidgetDesign& design) const {
  if (design.frame != nullptr) {
    for (const Placed& p : placed_) {
      if (p.widget != design.frame) continue;
      if (p.tab != design.tab) break;
      return *p.qwidget;
    }
    values::raiseError(values::err::InvalidProcedureCall);
  }
  if (tabs_ == nullptr) values::raiseError(values::err::InvalidProcedureCall);
  return tabs_->canvas(design.tab);
}

template <typename W>
W& PageSite::place(std::unique_ptr<W> widget, QWidget& qwidget, const host::WidgetDesign& design) {
  widget->move(design.left, design.top, design.width, design.height);
  // Named as the design names it ("txtGeneral(1)", "Frame1"), for style sheets and tests.
  QString name = toQString(std::string(design.name));
  if (design.index != host::WidgetDesign::NotInArray) name += QStringLiteral("(%1)").arg(design.index);
  qwidget.setObjectName(name);
  // Condensed where the family has a condensed face, so captions measured for a narrower font fit.
  QFont font = qwidget.font();
  font.setStretch(QFont::SemiCondensed);
  qwidget.setFont(font);
  W& w = *widget;
  placed_.push_back(Placed{std::string(design.name), design.index, design.tab, &w, &qwidget, design.tabIndex});
  owned_.push_back(std::move(widget));
  orderKeyboard();
  return w;
}

// Qt moves focus in the order widgets were made; the design's tab indexes say otherwise (the
// Interval box comes before the BoxWidthLock check box and the BoxWidth box). Only the widgets
// Tab stops at are chained: labels and frames take no focus, and the tab control, whose tab bar
// leads the page, holds every other widget (chaining a container moves all it holds). Widgets on
// a hidden tab are passed over until their tab shows.
void PageSite::orderKeyboard() {
  std::vector<const Placed*> order;
  for (const Placed& p : placed_)
    if ((p.qwidget->focusPolicy() & Qt::TabFocus) != 0 && (tabs_ == nullptr || p.widget != tabs_)) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(),
                   [](const Placed* a, const Placed* b) { return a->tabIndex < b->tabIndex; });
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1]->qwidget, order[i]->qwidget);
}

host::TabControl& PageSite::createTabControl(const host::WidgetDesign& design,
                                             std::span<const std::string_view> tabCaptions) {
  if (tabs_ != nullptr || tabCaptions.empty()) values::raiseError(values::err::InvalidProcedureCall);
  auto tabs = std::make_unique<TabControl>(*page_);
  tabs->setTabs(static_cast<std::int16_t>(tabCaptions.size()));
  for (std::size_t i = 0; i < tabCaptions.size(); ++i)
    tabs->setTabCaption(static_cast<std::int16_t>(i), std::string(tabCaptions[i]));
  tabs->setTab(0);
  QWidget& q = tabs->tabWidget();
  host::WidgetDesign onPage = design;
  onPage.tab = 0;
  tabs_ = &place(std::move(tabs), q, onPage);
  return *tabs_;
}

host::Frame& PageSite::createFrame(const host::WidgetDesign& design) {
  auto frame = std::make_unique<Frame>(parentFor(design));
  frame->setCaption(std::string(design.caption));
  QWidget& q = frame->groupBox();
  return place(std::move(frame), q, design);
}

host::TextBox& PageSite::createTextBox(const host::WidgetDesign& design, host::TextBoxEvents* sink) {
  auto box = std::make_unique<TextBox>(parentFor(design), TextBox::Look::Framed, delivery_);
  box->setText(std::string(design.caption));
  QWidget& q = box->lineEdit();
  TextBox& placed = place(std::move(box), q, design);
  placed.setEventSink(sink, design.index);
  return placed;
}

host::ComboBox& PageSite::createComboBox(const host::WidgetDesign& design, std::span<const std::string_view> items,
                                         host::ListEvents* sink) {
  auto list = std::make_unique<ComboBox>(parentFor(design), delivery_);
  for (std::string_view item : items) list->addItem(std::string(item));
  QWidget& q = list->comboBox();
  ComboBox& placed = place(std::move(list), q, design);
  placed.setEventSink(sink, design.index);
  return placed;
}

host::CheckBox& PageSite::createCheckBox(const host::WidgetDesign& design, host::ClickEvents* sink) {
  auto box = std::make_unique<CheckBox>(parentFor(design), delivery_);
  box->setCaption(std::string(design.caption));
  QWidget& q = box->checkBox();
  CheckBox& placed = place(std::move(box), q, design);
  showWholeCaption(q);
  placed.setEventSink(sink, design.index);
  return placed;
}

host::Label& PageSite::createLabel(const host::WidgetDesign& design) {
  // Sized to its caption; the design's size follows.
  auto label = std::make_unique<Label>(parentFor(design), std::string(design.caption));
  QWidget& q = label->qlabel();
  Label& placed = place(std::move(label), q, design);
  showWholeCaption(q);
  return placed;
}

QWidget* PageSite::find(std::string_view name, std::int16_t index) const {
  for (const Placed& p : placed_)
    if (p.index == index && values::equalsIgnoreCase(p.name, name)) return p.qwidget;
  return nullptr;
}

QTabWidget* PageSite::tabWidget() const { return tabs_ != nullptr ? &tabs_->tabWidget() : nullptr; }

}  // namespace kestrinx::qthost
