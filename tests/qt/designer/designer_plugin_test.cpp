// The Qt Designer plugin as Designer loads it: found by QPluginLoader, the custom widget's
// description (name, group, toolbox image, header, form XML) and the control it creates.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDomDocument>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPluginLoader>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <cstdint>
#include <vector>

#include "control/members.h"
#include "packaging/toolbox_bitmap.h"

namespace kestrinx::testing {
namespace {

// The part of Designer's form editor a plugin meets in initialize(): its extension manager.
class FormEditor : public QDesignerFormEditorInterface {
 public:
  FormEditor() { setExtensionManager(new QExtensionManager(this)); }
};

class DesignerPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QObject* instance = loader.instance();
    ASSERT_NE(instance, nullptr) << loader.errorString().toStdString();
    plugin = qobject_cast<QDesignerCustomWidgetInterface*>(instance);
    ASSERT_NE(plugin, nullptr);
  }

  QPluginLoader loader{QStringLiteral(KESTRINX_DESIGNER_PLUGIN_PATH)};
  QDesignerCustomWidgetInterface* plugin = nullptr;
};

TEST_F(DesignerPluginTest, DescribesTheControlForTheWidgetBox) {
  EXPECT_EQ(plugin->name(), QStringLiteral("kestrinx::qt::KestrinWidget"));
  EXPECT_EQ(plugin->group(), QStringLiteral("KestrinX"));
  EXPECT_EQ(plugin->includeFile(), QStringLiteral("qt/kestrin_widget.h"));
  EXPECT_FALSE(plugin->isContainer());
  EXPECT_FALSE(plugin->toolTip().isEmpty());

  // The toolbox image of libKestrinX.so, pixel for pixel.
  const QIcon icon = plugin->icon();
  ASSERT_FALSE(icon.isNull());
  const std::vector<std::uint8_t> bmp = packaging::toolboxBitmapFile();
  const QImage library = QImage::fromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
  ASSERT_EQ(library.size(), QSize(packaging::kToolboxWidth, packaging::kToolboxHeight));
  const QImage shown = icon.pixmap(library.size()).toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, library.convertToFormat(QImage::Format_RGB32));

  // The form XML names the class and its header, as uic needs them.
  QDomDocument dom;
  ASSERT_TRUE(dom.setContent(plugin->domXml()));
  const QDomElement widget = dom.documentElement().firstChildElement(QStringLiteral("widget"));
  EXPECT_EQ(widget.attribute(QStringLiteral("class")), plugin->name());
  EXPECT_FALSE(widget.attribute(QStringLiteral("name")).isEmpty());
  const QDomElement custom = dom.documentElement()
                                 .firstChildElement(QStringLiteral("customwidgets"))
                                 .firstChildElement(QStringLiteral("customwidget"));
  EXPECT_EQ(custom.firstChildElement(QStringLiteral("class")).text(), plugin->name());
  EXPECT_EQ(custom.firstChildElement(QStringLiteral("header")).text(), plugin->includeFile());
  // Every text property is declared not translatable, so setupUi sets it in its place.
  QStringList untranslated;
  for (QDomElement entry = custom.firstChildElement(QStringLiteral("propertyspecifications"))
                              .firstChildElement(QStringLiteral("stringpropertyspecification"));
       !entry.isNull(); entry = entry.nextSiblingElement(QStringLiteral("stringpropertyspecification"))) {
    if (entry.attribute(QStringLiteral("notr")) == QStringLiteral("true"))
      untranslated << entry.attribute(QStringLiteral("name"));
  }
  QStringList texts;
  for (const members::Member& m : members::kMembers)
    if (m.type == values::AutoType::String && m.has(members::Put))
      texts << QString::fromLatin1(m.name.data(), static_cast<qsizetype>(m.name.size()));
  untranslated.sort();
  texts.sort();
  EXPECT_EQ(untranslated, texts);
}

TEST_F(DesignerPluginTest, CreatesANewlyPlacedControl) {
  QWidget form;
  QWidget* w = plugin->createWidget(&form);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->parentWidget(), &form);
  EXPECT_STREQ(w->metaObject()->className(), "kestrinx::qt::KestrinWidget");
  EXPECT_TRUE(w->inherits("kestrinx::qt::KestrinWidgetBase"));
  // Placed as a designer places one: its initial values, at design time (the read-only
  // ValidState refuses a write with the design-time error).
  EXPECT_EQ(w->property("KestrinType").toInt(), 0);
  EXPECT_EQ(w->property("Interval").toInt(), 80);
  EXPECT_EQ(w->property("Caption").toString(), QStringLiteral("Kestrin1"));
  QSignalSpy errors(w, SIGNAL(automationError(int, QString)));
  w->setProperty("ValidState", true);
  ASSERT_EQ(errors.count(), 1);
  EXPECT_EQ(errors.at(0).at(0).toInt(), 382);
}

// "General..." in the control's task menu opens the General page on it; OK applies the page.
TEST_F(DesignerPluginTest, GeneralInTheTaskMenuOpensThePageAndApplies) {
  FormEditor core;
  plugin->initialize(&core);
  EXPECT_TRUE(plugin->isInitialized());
  QWidget form;
  QWidget* w = plugin->createWidget(&form);
  auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), w);
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->taskActions();
  ASSERT_EQ(actions.size(), 1);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("General..."));
  EXPECT_EQ(menu->preferredEditAction(), actions[0]);

  const bool editUse = w->property("ColorEditUse").toBool();
  QString opened;
  QTimer::singleShot(0, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(top);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      opened = QString::fromLatin1(dialog->metaObject()->className());
      if (auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("chkGeneral(2)"))) check->click();  // ColorEditUse
      if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) buttons->button(QDialogButtonBox::Ok)->click();
      dialog->reject();  // closes it whatever happened
    }
  });
  actions[0]->trigger();
  EXPECT_EQ(opened, QStringLiteral("kestrinx::qt::GeneralDialog"));
  EXPECT_NE(w->property("ColorEditUse").toBool(), editUse);
}

}  // namespace
}  // namespace kestrinx::testing
