// The Qt Designer plugin: KestrinWidget in Designer's widget box (group "KestrinX", with the
// library's own toolbox image), every published property in the property editor in the order a
// loaded control reads its saved properties (enumerations by member name, colours as colours,
// read-only members greyed and never saved, one name per property: see
// kestrin_property_sheet.h), a new control's caption and text from its object name, and
// "General..." in the control's context menu, which opens the General property page on the
// selected controls as a step of the form's undo stack (general_task_menu.h).
//
// The property sheet is Designer's own (QDesignerPropertySheet, from Designer's private
// headers), so the plugin is built for the Qt version it is installed into, as every Designer
// plugin must be.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace kestrinx::designer {

class KestrinWidgetPlugin final : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  explicit KestrinWidgetPlugin(QObject* parent = nullptr);

  // "kestrinx::qt::KestrinWidget": the class code generated from a form creates.
  QString name() const override;
  QString group() const override;
  QString toolTip() const override;
  QString whatsThis() const override;
  // "qt/kestrin_widget.h", as forms include it from an installed tree or the source tree.
  QString includeFile() const override;
  // The toolbox bitmap of libKestrinX.so (16 by 15 pixels).
  QIcon icon() const override;
  bool isContainer() const override { return false; }
  // A control placed as a designer places a new one, at design time (UserMode False); its
  // caption and text follow the object name Designer gives it.
  QWidget* createWidget(QWidget* parent) override;
  bool isInitialized() const override { return initialized_; }
  // Registers the "General..." task menu and the control's property sheet with the form editor.
  void initialize(QDesignerFormEditorInterface* core) override;
  // What a new control is in a form: its class, object name and header, and its text
  // properties as not translatable.
  QString domXml() const override;

 private:
  bool initialized_ = false;
};

}  // namespace kestrinx::designer
