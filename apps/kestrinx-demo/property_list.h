// The designer's property list: a row for every published property with a get, in slot order,
// showing the values of one control (the first selected) and editing them in place the way a
// designer's property list does:
//   - an enumeration from a drop-down of its members ("8 RightBottom"), nothing typed;
//   - a colour with a swatch of it, from a drop-down of the system colours by name
//     ("Window background") or a colour dialog for any other;
//   - a Boolean as a check box;
//   - any other value as text (a font as "Name,size[,bold][,italic]");
//   - read-only members (hWnd, ScrollBars, and ValidState, whose put always refuses) greyed,
//     with no editor.
// An edit is not applied here: the list tells edited(property, text) and the designer sets the
// property, then shows the control's values again with showValues(), so each row shows what the
// control reads back.
#pragma once

#include <QString>
#include <QTableWidget>
#include <string_view>

#include "qt/kestrin_widget.h"

namespace kestrinx::members {
struct Member;
}

namespace kestrinx::demo {

class PropertyList final : public QTableWidget {
  Q_OBJECT

 public:
  explicit PropertyList(QWidget* parent = nullptr);

  // Shows the values of `control`, or empty rows (none editable) for nullptr.
  void showValues(qt::KestrinWidget* control);
  // The member a row shows.
  const members::Member& member(int row) const;
  // The row of the property `name`, or -1.
  int rowOf(std::string_view name) const;
  // Whether a row's property takes no value from a designer.
  static bool readOnly(const members::Member& m);

  // A colour as the list shows it: a system colour by name, any other as 0x00BBGGRR.
  static QString colorText(quint32 color);

 Q_SIGNALS:
  // The user set `property` to `text` (valueFromText's form: a member name, "True", a colour's
  // number, a font, or the text typed).
  void edited(const QString& property, const QString& text);

 private:
  class Delegate;
  bool showing_ = false;  // the list is being filled, not edited
};

}  // namespace kestrinx::demo
