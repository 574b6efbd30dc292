#include "designer/kestrin_widget_plugin.h"

#include <QIcon>
#include <QMetaProperty>
#include <QPixmap>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include "designer/general_task_menu.h"
#include "packaging/toolbox_bitmap.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::designer {

KestrinWidgetPlugin::KestrinWidgetPlugin(QObject* parent) : QObject(parent) {}

QString KestrinWidgetPlugin::name() const { return QStringLiteral("kestrinx::qt::KestrinWidget"); }

QString KestrinWidgetPlugin::group() const { return QStringLiteral("KestrinX"); }

QString KestrinWidgetPlugin::toolTip() const {
  return QStringLiteral("Kestrin: an entry box with a caption for text, numbers, dates or times");
}

QString KestrinWidgetPlugin::whatsThis() const {
  return QStringLiteral(
      "A single-line entry box with a caption label. It knows whether it holds text, a number, a date or a "
      "time, checks its entry when the user leaves it and shows the outcome as a colour and ValidState.");
}

QString KestrinWidgetPlugin::includeFile() const { return QStringLiteral("qt/kestrin_widget.h"); }

QIcon KestrinWidgetPlugin::icon() const {
  const std::vector<std::uint8_t> bmp = packaging::toolboxBitmapFile();
  QPixmap pixmap;
  pixmap.loadFromData(bmp.data(), static_cast<uint>(bmp.size()), "BMP");
  return QIcon(pixmap);
}

QWidget* KestrinWidgetPlugin::createWidget(QWidget* parent) {
  qt::KestrinWidgetSetup design;
  design.userMode = false;  // a designer shows it: design time
  return new qt::KestrinWidget(design, parent);
}

void KestrinWidgetPlugin::initialize(QDesignerFormEditorInterface* core) {
  if (initialized_) return;
  initialized_ = true;
  if (core == nullptr || core->extensionManager() == nullptr) return;
  QExtensionManager* manager = core->extensionManager();
  manager->registerExtensions(new GeneralTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
}

QString KestrinWidgetPlugin::domXml() const {
  // Text properties are not translatable, so Designer writes them with notr="true" and the code
  // uic generates sets them in setupUi in their place, not afterwards in retranslateUi.
  QString untranslated;
  const QMetaObject& meta = qt::KestrinWidget::staticMetaObject;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
    const QMetaProperty p = meta.property(i);
    if (p.isWritable() && p.metaType().id() == QMetaType::QString)
      untranslated += QStringLiteral("     <stringpropertyspecification name=\"%1\" notr=\"true\" type=\"singleline\"/>\n")
                            .arg(QString::fromLatin1(p.name()));
  }
  return QStringLiteral(
             "<ui language=\"c++\">\n"
             " <widget class=\"kestrinx::qt::KestrinWidget\" name=\"kestrin\"/>\n"
             " <customwidgets>\n"
             "  <customwidget>\n"
             "   <class>kestrinx::qt::KestrinWidget</class>\n"
             "   <extends>QWidget</extends>\n"
             "   <header>qt/kestrin_widget.h</header>\n"
             "   <propertyspecifications>\n%1"
             "   </propertyspecifications>\n"
             "  </customwidget>\n"
             " </customwidgets>\n"
             "</ui>\n")
      .arg(untranslated);
}

}  // namespace kestrinx::designer
