#include "designer/kestrin_property_sheet.h"

#include <string>

#include "control/members.h"
#include "host/qt/colors.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::designer {

namespace {

// QWidget's properties that a published member of the control also is.
constexpr const char* kWidgetDuplicates[] = {"enabled", "font"};

}  // namespace

KestrinPropertySheet::KestrinPropertySheet(QWidget* widget, QObject* parent)
    : QDesignerPropertySheet(widget, parent), widget_(widget) {
  for (const char* name : kWidgetDuplicates)
    if (const int index = indexOf(QString::fromLatin1(name)); index >= 0) hidden_.insert(index);
  const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
    const std::string name = meta.property(i).name();
    const members::Member* m = members::find(name);
    if (m == nullptr || m->name != name) continue;  // an opt-in of the widget, not a member
    const int index = indexOf(QString::fromStdString(name));
    if (index < 0) continue;
    if (qt::KestrinWidget::readOnlyProperty(name)) readOnly_.insert(index);
    if (m->type == values::AutoType::Color) colors_.insert(index);
    if (m->type == values::AutoType::Picture) hidden_.insert(index);
  }
}

bool KestrinPropertySheet::isVisible(int index) const {
  if (hidden_.contains(index)) return false;
  if (readOnly_.contains(index)) return true;  // shown, greyed (isEnabled)
  return QDesignerPropertySheet::isVisible(index);
}

bool KestrinPropertySheet::isEnabled(int index) const {
  return !readOnly_.contains(index) && QDesignerPropertySheet::isEnabled(index);
}

bool KestrinPropertySheet::isChanged(int index) const {
  return !readOnly_.contains(index) && QDesignerPropertySheet::isChanged(index);
}

void KestrinPropertySheet::setChanged(int index, bool changed) {
  QDesignerPropertySheet::setChanged(index, changed && !readOnly_.contains(index));
}

QVariant KestrinPropertySheet::property(int index) const {
  const QVariant value = QDesignerPropertySheet::property(index);
  if (!colors_.contains(index) || !value.isValid()) return value;
  return QVariant(qthost::toQColor(value.toUInt(), widget_->palette()));
}

void KestrinPropertySheet::setProperty(int index, const QVariant& value) {
  if (readOnly_.contains(index)) return;
  QDesignerPropertySheet::setProperty(index, value);
}

}  // namespace kestrinx::designer
