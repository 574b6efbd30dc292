// The Qt Designer plugin: KestrinWidget in Designer's widget box (group "KestrinX", with the
// library's own toolbox image), every published property in the property editor in the order a
// loaded control reads its saved properties (enumerations by member name), and "General..." in
// the control's context menu, which opens the General property page on the selected controls.
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
  // A control placed as a designer places a new one, at design time (UserMode False).
  QWidget* createWidget(QWidget* parent) override;
  bool isInitialized() const override { return initialized_; }
  // Registers the "General..." task menu with the form editor.
  void initialize(QDesignerFormEditorInterface* core) override;
  // What a new control is in a form: its class, object name and header, and its text
  // properties as not translatable.
  QString domXml() const override;

 private:
  bool initialized_ = false;
};

}  // namespace kestrinx::designer
