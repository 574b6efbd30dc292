// The property page's tab control, frames, check boxes and lists over Qt widgets.
#include "host/qt/page_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QTabWidget>

#include "host/event_depth.h"
#include "host/qt/strings.h"
#include "values/error.h"

namespace kestrinx::qthost {

// ---- tab control --------------------------------------------------------------------------------

// A tab's canvas: a child of the tab's page, moved up and left by the page's offset in the tab
// widget and as large as the tab widget, so its coordinates are the tab control's. It follows
// the page whenever the page moves or resizes.
class TabControl::Canvas final : public QWidget {
 public:
  Canvas(QWidget& page, QTabWidget& tabs) : QWidget(&page), tabs_(&tabs) {
    page.installEventFilter(this);
    follow();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == parent() && (e->type() == QEvent::Resize || e->type() == QEvent::Move || e->type() == QEvent::Show))
      follow();
    return QWidget::eventFilter(watched, e);
  }

 private:
  void follow() {
    if (!tabs_) return;
    const QPoint offset = parentWidget()->mapTo(tabs_.data(), QPoint(0, 0));
    setGeometry(-offset.x(), -offset.y(), tabs_->width(), tabs_->height());
  }
  QPointer<QTabWidget> tabs_;
};

TabControl::TabControl(QWidget& page) : tabs_(new QTabWidget(&page)) {}

TabControl::~TabControl() { delete tabs_.data(); }

QTabWidget& TabControl::tabWidget() const { return *tabs_; }
QWidget& TabControl::widget() const { return *tabs_; }

std::int16_t TabControl::tabs() const { return static_cast<std::int16_t>(tabs_->count()); }

void TabControl::setTabs(std::int16_t n) {
  if (n < 1) values::raiseError(values::err::InvalidPropertyValue);
  while (tabs_->count() > n) {
    QWidget* page = tabs_->widget(tabs_->count() - 1);
    tabs_->removeTab(tabs_->count() - 1);
    delete page;
    canvases_.pop_back();
  }
  while (tabs_->count() < n) {
    auto* page = new QWidget;
    tabs_->addTab(page, QString());
    canvases_.emplace_back(new Canvas(*page, *tabs_));
  }
}

std::int16_t TabControl::tab() const { return static_cast<std::int16_t>(tabs_->currentIndex()); }

void TabControl::setTab(std::int16_t v) {
  if (v < 0 || v >= tabs()) values::raiseError(values::err::InvalidPropertyValue);
  tabs_->setCurrentIndex(v);
}

std::string TabControl::tabCaption(std::int16_t tab) const {
  if (tab < 0 || tab >= tabs()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  return toStdString(tabs_->tabText(tab));
}

void TabControl::setTabCaption(std::int16_t tab, const std::string& v) {
  if (tab < 0 || tab >= tabs()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  tabs_->setTabText(tab, toQString(v));
}

QWidget& TabControl::canvas(std::int16_t tab) const {
  if (tab < 0 || tab >= tabs()) values::raiseError(values::err::InvalidPropertyValue);
  return *canvases_[static_cast<std::size_t>(tab)];
}

// ---- frame ----------------------------------------------------------------------------------------

Frame::Frame(QWidget& parent) : box_(new QGroupBox(&parent)) {}
Frame::~Frame() { delete box_.data(); }
QGroupBox& Frame::groupBox() const { return *box_; }
QWidget& Frame::widget() const { return *box_; }
std::string Frame::caption() const { return toStdString(box_->title()); }
void Frame::setCaption(const std::string& v) { box_->setTitle(toQString(v)); }

// ---- check box ------------------------------------------------------------------------------------

// A user's click checks an unchecked or grayed box and unchecks a checked one.
class CheckBox::Box final : public QCheckBox {
 public:
  Box(QWidget& parent, CheckBox& owner) : QCheckBox(&parent), owner_(owner) {}

 protected:
  void nextCheckState() override { owner_.userClicked(); }

 private:
  CheckBox& owner_;
};

CheckBox::CheckBox(QWidget& parent, Delivery& delivery) : delivery_(delivery), box_(new Box(parent, *this)) {}
CheckBox::~CheckBox() { delete box_.data(); }
QCheckBox& CheckBox::checkBox() const { return *box_; }
QWidget& CheckBox::widget() const { return *box_; }
int CheckBox::minimumHeight() const { return box_->sizeHint().height(); }

std::string CheckBox::caption() const { return toStdString(box_->text()); }
void CheckBox::setCaption(const std::string& v) { box_->setText(toQString(v)); }

void CheckBox::show() {
  const QSignalBlocker quiet(box_.data());
  box_->setTristate(value_ == 2);
  box_->setCheckState(value_ == 1 ? Qt::Checked : value_ == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void CheckBox::setValue(std::int16_t v) {
  if (v < 0 || v > 2) values::raiseError(values::err::InvalidPropertyValue);
  if (v == value_) return;
  value_ = v;
  show();
  raiseClick();
}

void CheckBox::userClicked() {
  value_ = value_ == 1 ? 0 : 1;
  show();
  delivery_.deliver([&] { raiseClick(); });
}

void CheckBox::raiseClick() {
  host::detail::raiseEvent(sink_, [&](host::ClickEvents& s) { s.onClick(index_); });
}

// ---- drop-down list -------------------------------------------------------------------------------

ComboBox::ComboBox(QWidget& parent, Delivery& delivery) : delivery_(delivery), combo_(new QComboBox(&parent)) {
  combo_->setEditable(false);
  QObject::connect(combo_.data(), &QComboBox::currentIndexChanged, combo_.data(), [this](int index) {
    if (showing_) return;
    delivery_.deliver([&] { change(index); });
  });
}

ComboBox::~ComboBox() { delete combo_.data(); }
QComboBox& ComboBox::comboBox() const { return *combo_; }
QWidget& ComboBox::widget() const { return *combo_; }
int ComboBox::minimumHeight() const { return combo_->minimumSizeHint().height(); }

void ComboBox::addItem(const std::string& item) {
  showing_ = true;
  combo_->addItem(toQString(item));
  combo_->setCurrentIndex(listIndex_);  // a first item is not chosen by being added
  showing_ = false;
}

void ComboBox::clear() {
  showing_ = true;
  combo_->clear();
  showing_ = false;
  listIndex_ = -1;
}

std::int32_t ComboBox::listCount() const { return combo_->count(); }

std::string ComboBox::list(std::int32_t index) const {
  if (index < 0 || index >= listCount()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  return toStdString(combo_->itemText(index));
}

void ComboBox::setListIndex(std::int32_t v) {
  if (v < -1 || v >= listCount()) values::raiseError(values::err::InvalidPropertyValue);
  change(v);
}

std::string ComboBox::text() const {
  return listIndex_ >= 0 && listIndex_ < listCount() ? list(listIndex_) : std::string();
}

void ComboBox::change(std::int32_t v) {
  if (v == listIndex_) return;
  listIndex_ = v;
  showing_ = true;
  combo_->setCurrentIndex(v);
  showing_ = false;
  host::detail::raiseEvent(sink_, [&](host::ListEvents& s) { s.onChange(index_); });
  host::detail::raiseEvent(sink_, [&](host::ListEvents& s) { s.onClick(index_); });
}

}  // namespace kestrinx::qthost
