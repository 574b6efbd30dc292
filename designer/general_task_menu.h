// "General..." in a KestrinWidget's context menu in Qt Designer: opens the General property page
// (kestrinx::qt::GeneralDialog) on the selected controls of the form. Each apply of the page
// (Apply, or OK after a change) is one step on the form's undo stack ("General page on
// kestrin"), made through the controls' property sheets: the form is marked changed, the
// properties the page set are saved with it, and Edit > Undo puts every control back as it was.
#pragma once

#include <QAction>
#include <QList>
#include <QObject>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

namespace kestrinx::qt {
class KestrinWidget;
}

namespace kestrinx::designer {

class GeneralTaskMenu final : public QObject, public QDesignerTaskMenuExtension {
  Q_OBJECT
  Q_INTERFACES(QDesignerTaskMenuExtension)

 public:
  GeneralTaskMenu(qt::KestrinWidget* widget, QObject* parent);

  QAction* preferredEditAction() const override { return general_; }
  QList<QAction*> taskActions() const override { return {general_}; }

 private:
  // The page over the form's selected KestrinWidgets (the one whose menu it is when none is
  // selected).
  void openGeneral();

  qt::KestrinWidget* widget_;
  QAction* general_;
};

// Gives every KestrinWidget on a form its task menu.
class GeneralTaskMenuFactory final : public QExtensionFactory {
  Q_OBJECT

 public:
  explicit GeneralTaskMenuFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

 protected:
  QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

}  // namespace kestrinx::designer
