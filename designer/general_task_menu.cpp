#include "designer/general_task_menu.h"

#include <QMetaProperty>
#include <QVariant>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>
#include <vector>

#include "qt/general_dialog.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::designer {

namespace {

// The values of a control's writable published properties, in declaration order.
std::vector<QVariant> writableValues(const QObject& w) {
  const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
  std::vector<QVariant> values;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
    values.push_back(meta.property(i).isWritable() ? meta.property(i).read(&w) : QVariant());
  return values;
}

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
  for (qt::KestrinWidget* k : selection) before.push_back(writableValues(*k));
  {
    qt::GeneralDialog page(selection, form != nullptr ? static_cast<QWidget*>(form) : widget_->window());
    page.exec();
  }
  if (form == nullptr) return;

  // What the page applied (OK or Apply) is the form's change: marked so the form saves it.
  const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
  bool changed = false;
  for (qsizetype s = 0; s < selection.size(); ++s) {
    const std::vector<QVariant> after = writableValues(*selection[s]);
    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(form->core()->extensionManager(), selection[s]);
    for (std::size_t p = 0; p < after.size(); ++p) {
      if (after[p] == before[static_cast<std::size_t>(s)][p]) continue;
      changed = true;
      const QString name = QString::fromLatin1(meta.property(meta.propertyOffset() + static_cast<int>(p)).name());
      if (sheet != nullptr && sheet->indexOf(name) >= 0) sheet->setChanged(sheet->indexOf(name), true);
    }
  }
  if (changed) {
    form->setDirty(true);
    form->emitSelectionChanged();  // the property editor shows the new values
  }
}

QObject* GeneralTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const {
  if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
  if (auto* k = qobject_cast<qt::KestrinWidget*>(object)) return new GeneralTaskMenu(k, parent);
  return nullptr;
}

}  // namespace kestrinx::designer
