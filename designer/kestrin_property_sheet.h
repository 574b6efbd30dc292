// What Qt Designer's property editor shows of a KestrinWidget, and what Designer saves of it in
// a form (.ui): Designer's own property sheet for widgets, with these differences:
//   - the properties that take no value (hWnd, ScrollBars, and ValidState, whose put always
//     refuses; KestrinWidget::readOnlyProperty) are shown greyed, refuse a value, and are never
//     marked changed, so no form holds them;
//   - each property has one name: QWidget's enabled and font are hidden, as the control's own
//     Enabled and Font are what the control saves and lays itself out for (a form that sets the
//     hidden ones still loads and keeps them);
//   - colours are QColor values, edited with Designer's colour editor (a system colour shows as
//     the palette's colour; an edit sets an RGB colour);
//   - MouseIcon, a picture Designer has no editor for, is hidden.
#pragma once

#include <QSet>
#include <QtDesigner/private/qdesigner_propertysheet_p.h>

namespace kestrinx::designer {

class KestrinPropertySheet final : public QDesignerPropertySheet {
  Q_OBJECT

 public:
  KestrinPropertySheet(QWidget* widget, QObject* parent);

  bool isVisible(int index) const override;
  bool isEnabled(int index) const override;
  bool isChanged(int index) const override;
  void setChanged(int index, bool changed) override;
  QVariant property(int index) const override;
  void setProperty(int index, const QVariant& value) override;

  // Whether the property at `index` is one the sheet shows but refuses a value for.
  bool isReadOnly(int index) const { return readOnly_.contains(index); }

 private:
  QWidget* widget_;
  QSet<int> readOnly_, hidden_, colors_;
};

}  // namespace kestrinx::designer
