#include "designer/kestrin_widget_plugin.h"

#include <QIcon>
#include <QMetaProperty>
#include <QPixmap>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/private/qdesigner_propertysheet_p.h>
#include <QtDesigner/private/qdesigner_utils_p.h>

#include "designer/general_task_menu.h"
#include "designer/kestrin_property_sheet.h"
#include "packaging/toolbox_bitmap.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::designer {

namespace {

// A control's caption and text start as its instance name, and follow its object name while
// they still are that name: Designer names a new control after the form's other controls
// (kestrin, kestrin_2), and a rename carries over to a caption nobody changed. On a form the
// change goes through the property sheet and is marked changed, so that the form saves it and
// the program built from the form shows the same.
void followName(qt::KestrinWidget& w, const QString& previous, const QString& name) {
  QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(&w);
  QDesignerPropertySheetExtension* sheet =
      form != nullptr ? qt_extension<QDesignerPropertySheetExtension*>(form->core()->extensionManager(), &w) : nullptr;
  for (const char* property : {"Caption", "Text"}) {
    if (w.property(property).toString() != previous) continue;
    const int index = sheet != nullptr ? sheet->indexOf(QString::fromLatin1(property)) : -1;
    if (index < 0) {
      w.setProperty(property, name);
      continue;
    }
    auto text = qvariant_cast<qdesigner_internal::PropertySheetStringValue>(sheet->property(index));
    text.setValue(name);
    sheet->setProperty(index, QVariant::fromValue(text));
    sheet->setChanged(index, true);
  }
}

}  // namespace

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
  auto* w = new qt::KestrinWidget(design, parent);
  QObject::connect(w, &QObject::objectNameChanged, w, [w, previous = w->objectName()](const QString& name) mutable {
    followName(*w, previous, name);
    previous = name;
  });
  return w;
}

void KestrinWidgetPlugin::initialize(QDesignerFormEditorInterface* core) {
  if (initialized_) return;
  initialized_ = true;
  if (core == nullptr || core->extensionManager() == nullptr) return;
  QExtensionManager* manager = core->extensionManager();
  manager->registerExtensions(new GeneralTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
  // Registered after Designer's own sheets, so asked first for a KestrinWidget.
  QDesignerPropertySheetFactory<qt::KestrinWidget, KestrinPropertySheet>::registerExtension(manager);
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
