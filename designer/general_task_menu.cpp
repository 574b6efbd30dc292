#include "designer/general_task_menu.h"

#include <QMetaProperty>
#include <QPointer>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVariant>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>
#include <QtDesigner/private/qdesigner_utils_p.h>
#include <vector>

#include "qt/general_dialog.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::designer {

namespace {

// The values of a control's settable published properties, by index in its class's
// declaration order (the order a loaded control reads them); invalid for the others.
std::vector<QVariant> settableValues(const QObject& w) {
  const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
  std::vector<QVariant> values;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
    const QMetaProperty p = meta.property(i);
    values.push_back(p.isWritable() && !qt::KestrinWidget::readOnlyProperty(p.name()) ? p.read(&w) : QVariant());
  }
  return values;
}

// One apply of the General page on Designer's undo stack: the properties it changed on each
// control, before and after. Redo and undo set them through the property sheet in declaration
// order, the order ReadProperties reads them, so that a property one put rewrites (Text, when
// KestrinType changes) ends as it was.
class GeneralApplyCommand final : public QUndoCommand {
 public:
  struct Value {
    QString name;
    QVariant before, after;
    bool wasChanged = false;  // marked changed on the sheet before the apply
  };
  struct Control {
    QPointer<qt::KestrinWidget> widget;
    std::vector<Value> values;
  };

  GeneralApplyCommand(QDesignerFormWindowInterface& form, const QString& text, std::vector<Control> controls)
      : QUndoCommand(text), form_(&form), controls_(std::move(controls)) {}

  void redo() override { apply(true); }
  void undo() override { apply(false); }

 private:
  void apply(bool forward) {
    if (!form_) return;
    QDesignerFormEditorInterface* core = form_->core();
    for (Control& c : controls_) {
      if (!c.widget) continue;
      auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), c.widget.data());
      if (sheet == nullptr) continue;
      for (const Value& v : c.values) {
        const int index = sheet->indexOf(v.name);
        if (index < 0) continue;
        // The first redo finds the page's values in place; setting them again is harmless and
        // lets the sheet keep its own form of each value (a text's translation settings).
        QVariant value = forward ? v.after : v.before;
        const QVariant held = sheet->property(index);
        if (held.canConvert<qdesigner_internal::PropertySheetStringValue>()) {
          auto text = qvariant_cast<qdesigner_internal::PropertySheetStringValue>(held);
          text.setValue(value.toString());
          value = QVariant::fromValue(text);
        }
        sheet->setProperty(index, value);
        sheet->setChanged(index, forward || v.wasChanged);
        if (QDesignerPropertyEditorInterface* editor = core->propertyEditor(); editor && editor->object() == c.widget)
          editor->setPropertyValue(v.name, sheet->property(index), sheet->isChanged(index));
      }
    }
  }

  QPointer<QDesignerFormWindowInterface> form_;
  std::vector<Control> controls_;
};

}  // namespace

GeneralTaskMenu::GeneralTaskMenu(qt::KestrinWidget* widget, QObject* parent)
    : QObject(parent), widget_(widget), general_(new QAction(QStringLiteral("General..."), this)) {
  connect(general_, &QAction::triggered, this, &GeneralTaskMenu::openGeneral);
}

void GeneralTaskMenu::openGeneral() {
  QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_);
  QList<qt::KestrinWidget*> selection;
  if (form != nullptr && form->cursor() != nullptr) {
    QDesignerFormWindowCursorInterface* cursor = form->cursor();
    for (int i = 0; i < cursor->selectedWidgetCount(); ++i)
      if (auto* k = qobject_cast<qt::KestrinWidget*>(cursor->selectedWidget(i))) selection.append(k);
  }
  if (selection.isEmpty()) selection.append(widget_);

  std::vector<std::vector<QVariant>> before;
  for (qt::KestrinWidget* k : selection) before.push_back(settableValues(*k));
  qt::GeneralDialog page(selection, form != nullptr ? static_cast<QWidget*>(form) : widget_->window());
  QStringList names;
  for (qt::KestrinWidget* k : selection) names << k->objectName();
  QObject::connect(&page, &qt::GeneralDialog::applied, &page, [&] {
    if (form == nullptr) return;
    const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
    std::vector<GeneralApplyCommand::Control> changed;
    for (qsizetype s = 0; s < selection.size(); ++s) {
      const std::vector<QVariant> after = settableValues(*selection[s]);
      std::vector<QVariant>& was = before[static_cast<std::size_t>(s)];
      auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(form->core()->extensionManager(), selection[s]);
      GeneralApplyCommand::Control control{selection[s], {}};
      for (std::size_t p = 0; p < after.size(); ++p) {
        if (after[p] == was[p]) continue;
        const QString name = QString::fromLatin1(meta.property(meta.propertyOffset() + static_cast<int>(p)).name());
        const bool wasChanged = sheet != nullptr && sheet->indexOf(name) >= 0 && sheet->isChanged(sheet->indexOf(name));
        control.values.push_back({name, was[p], after[p], wasChanged});
      }
      was = after;
      if (!control.values.empty()) changed.push_back(std::move(control));
    }
    if (changed.empty()) return;
    form->commandHistory()->push(new GeneralApplyCommand(
        *form, QStringLiteral("General page on %1").arg(names.join(QStringLiteral(", "))), std::move(changed)));
  });
  page.exec();
}

QObject* GeneralTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const {
  if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
  if (auto* k = qobject_cast<qt::KestrinWidget*>(object)) return new GeneralTaskMenu(k, parent);
  return nullptr;
}

}  // namespace kestrinx::designer
