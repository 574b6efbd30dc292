// The widgets of a property page on the Qt host that the control itself never uses: the tab
// control (QTabWidget), frames (QGroupBox), check boxes (QCheckBox) and drop-down lists
// (QComboBox). Each is placed in twips like the control's boxes (element.h) and raises its
// events to its sink with its array index, as the headless host's do:
//   - a check box raises Click when code changes Value and when the user clicks it; a click
//     unchecks a checked box and checks an unchecked or grayed one;
//   - a list raises Change, then Click, whenever ListIndex changes, by code or by the user's pick.
// Events from the user go through the page's Delivery, so a failing handler ends only its event.
// The page's text boxes and labels are the control's own (text_box.h, label.h).
#pragma once

#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

#include "host/qt/delivery.h"
#include "host/qt/element.h"
#include "host/widgets.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QTabWidget;

namespace kestrinx::qthost {

// A tab control whose tabs each hold a canvas in the tab control's own coordinates: a widget
// placed at (left, top) on a tab stands at (left, top) from the tab control's origin, as the
// page's design measures it, whatever room the tab bar takes.
class TabControl final : public Element<host::TabControl> {
 public:
  explicit TabControl(QWidget& page);
  ~TabControl() override;
  TabControl(const TabControl&) = delete;
  TabControl& operator=(const TabControl&) = delete;

  std::int16_t tabs() const override;
  void setTabs(std::int16_t n) override;  // error 380 below 1
  std::int16_t tab() const override;
  void setTab(std::int16_t v) override;  // error 380 outside 0..tabs-1
  std::string tabCaption(std::int16_t tab) const override;  // error 381 outside the tabs
  void setTabCaption(std::int16_t tab, const std::string& v) override;

  QTabWidget& tabWidget() const;
  // Where the widgets of tab `tab` stand (error 380 outside the tabs).
  QWidget& canvas(std::int16_t tab) const;

 private:
  class Canvas;
  QWidget& widget() const override;
  QPointer<QTabWidget> tabs_;
  std::vector<QPointer<QWidget>> canvases_;
};

// A frame: a QGroupBox with a caption, in whose coordinates the widgets inside it stand.
class Frame final : public Element<host::Frame> {
 public:
  explicit Frame(QWidget& parent);
  ~Frame() override;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  std::string caption() const override;
  void setCaption(const std::string& v) override;
  QGroupBox& groupBox() const;

 private:
  QWidget& widget() const override;
  QPointer<QGroupBox> box_;
};

class CheckBox final : public Element<host::CheckBox> {
 public:
  CheckBox(QWidget& parent, Delivery& delivery);
  ~CheckBox() override;
  CheckBox(const CheckBox&) = delete;
  CheckBox& operator=(const CheckBox&) = delete;

  std::string caption() const override;
  void setCaption(const std::string& v) override;
  std::int16_t value() const override { return value_; }
  void setValue(std::int16_t v) override;  // error 380 outside 0..2
  void setEventSink(host::ClickEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }
  QCheckBox& checkBox() const;

 private:
  class Box;
  QWidget& widget() const override;
  int minimumHeight() const override;
  void show();  // the box shows value_
  void userClicked();
  void raiseClick();

  Delivery& delivery_;
  QPointer<Box> box_;
  std::int16_t value_ = 0;
  host::ClickEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

class ComboBox final : public Element<host::ComboBox> {
 public:
  ComboBox(QWidget& parent, Delivery& delivery);
  ~ComboBox() override;
  ComboBox(const ComboBox&) = delete;
  ComboBox& operator=(const ComboBox&) = delete;

  void addItem(const std::string& item) override;
  void clear() override;  // no event
  std::int32_t listCount() const override;
  std::string list(std::int32_t index) const override;  // error 381 outside the list
  std::int32_t listIndex() const override { return listIndex_; }
  void setListIndex(std::int32_t v) override;  // error 380 outside -1..listCount-1
  std::string text() const override;
  void setEventSink(host::ListEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }
  QComboBox& comboBox() const;

 private:
  QWidget& widget() const override;
  int minimumHeight() const override;
  // ListIndex becomes `v`: the list shows it, then Change and Click (when it changed).
  void change(std::int32_t v);

  Delivery& delivery_;
  QPointer<QComboBox> combo_;
  std::int32_t listIndex_ = -1;
  bool showing_ = false;  // the list is being told what to show
  host::ListEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

}  // namespace kestrinx::qthost
