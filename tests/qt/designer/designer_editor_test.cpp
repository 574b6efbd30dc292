// The plugin in Qt Designer's own form editor, made in process (QDesignerComponents) with the
// plugin registered as Designer finds it: what the property sheet shows of the control, what a
// saved form (.ui) holds, the names and captions of new controls, and "General..." as a step
// of the form's undo stack.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QClipboard>
#include <QDomDocument>
#include <QFileInfo>
#include <QMap>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtDesigner/private/pluginmanager_p.h>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>
#include <memory>

namespace kestrinx::testing {
namespace {

constexpr const char* kClass = "kestrinx::qt::KestrinWidget";

// A form with one control, "amount", whose caption and text the form does not set.
const char* kForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect></property>
  <widget class="kestrinx::qt::KestrinWidget" name="amount">
   <property name="geometry"><rect><x>10</x><y>10</y><width>200</width><height>24</height></rect></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget>
   <class>kestrinx::qt::KestrinWidget</class>
   <extends>QWidget</extends>
   <header>qt/kestrin_widget.h</header>
  </customwidget>
 </customwidgets>
 <resources/>
 <connections/>
</ui>
)";

// What Designer wrote for each control of a form: property name to value element name.
QMap<QString, QMap<QString, QString>> savedProperties(const QString& ui) {
  QDomDocument dom;
  dom.setContent(ui);
  QMap<QString, QMap<QString, QString>> saved;
  const QDomNodeList widgets = dom.elementsByTagName(QStringLiteral("widget"));
  for (int i = 0; i < widgets.size(); ++i) {
    const QDomElement w = widgets.at(i).toElement();
    if (w.attribute(QStringLiteral("class")) != QLatin1String(kClass)) continue;
    QMap<QString, QString>& properties = saved[w.attribute(QStringLiteral("name"))];
    for (QDomElement p = w.firstChildElement(QStringLiteral("property")); !p.isNull();
         p = p.nextSiblingElement(QStringLiteral("property")))
      properties.insert(p.attribute(QStringLiteral("name")), p.firstChildElement().tagName());
  }
  return saved;
}

QStringList warnings;
void keepWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg) warnings << message;
}

class DesignerEditorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One form editor for the program, as Designer has; it lives as long as the program.
    core = QDesignerComponents::createFormEditor(nullptr);
    // Designer looks for plugins in its plugin folders: here, the one the plugin is built in.
    core->pluginManager()->setPluginPaths({QFileInfo(QStringLiteral(KESTRINX_DESIGNER_PLUGIN_PATH)).absolutePath()});
    QDesignerComponents::initializePlugins(core);
    core->setPropertyEditor(QDesignerComponents::createPropertyEditor(core, nullptr));
    new QDesignerIntegration(core, core);  // what forms need of the application around them
  }
  void SetUp() override {
    form = core->formWindowManager()->createFormWindow(nullptr);
    ASSERT_TRUE(form->setContents(QString::fromLatin1(kForm)));
    core->formWindowManager()->setActiveFormWindow(form);
    amount = form->mainContainer()->findChild<QWidget*>(QStringLiteral("amount"));
    ASSERT_NE(amount, nullptr);
    ASSERT_STREQ(amount->metaObject()->className(), kClass);
  }
  void TearDown() override { delete form; }

  QDesignerPropertySheetExtension* sheet(QObject* w) const {
    return qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), w);
  }
  QList<QWidget*> controls() const {
    QList<QWidget*> found;
    for (QWidget* w : form->mainContainer()->findChildren<QWidget*>())
      if (w->inherits(kClass)) found << w;
    return found;
  }

  static inline QDesignerFormEditorInterface* core = nullptr;
  QDesignerFormWindowInterface* form = nullptr;
  QWidget* amount = nullptr;
};

TEST_F(DesignerEditorTest, TheSheetShowsEachPropertyOnceReadOnlyMembersGreyedAndColoursAsColours) {
  QDesignerPropertySheetExtension* s = sheet(amount);
  ASSERT_NE(s, nullptr);
  QMap<QString, QStringList> shown;  // by name in lower case: no enabled beside Enabled
  for (int i = 0; i < s->count(); ++i)
    if (s->isVisible(i)) shown[s->propertyName(i).toLower()] << s->propertyName(i);
  for (auto it = shown.cbegin(); it != shown.cend(); ++it)
    EXPECT_EQ(it.value().size(), 1) << it.value().join(", ").toStdString();
  EXPECT_EQ(shown.value("enabled"), QStringList{"Enabled"});
  EXPECT_EQ(shown.value("font"), QStringList{"Font"});
  EXPECT_FALSE(shown.contains("mouseicon"));  // a picture: Designer has no editor for it

  for (const char* name : {"hWnd", "ScrollBars", "ValidState"}) {
    const int index = s->indexOf(QString::fromLatin1(name));
    ASSERT_GE(index, 0) << name;
    EXPECT_TRUE(s->isVisible(index)) << name;
    EXPECT_FALSE(s->isEnabled(index)) << name;
  }
  for (const char* name : {"Caption", "Interval", "KestrinType", "Enabled"})
    EXPECT_TRUE(s->isEnabled(s->indexOf(QString::fromLatin1(name)))) << name;
  for (const char* name : {"BackColor", "ColorValid", "ColorInValid", "ColorEdit", "LabelForeColor", "ForeColor"})
    EXPECT_EQ(s->property(s->indexOf(QString::fromLatin1(name))).typeId(), QMetaType::QColor) << name;
}

TEST_F(DesignerEditorTest, ThePropertyEditorShowsTheControlWithoutWarnings) {
  QDesignerPropertyEditorInterface* editor = core->propertyEditor();
  ASSERT_NE(editor, nullptr);
  warnings.clear();
  const QtMessageHandler before = qInstallMessageHandler(keepWarnings);
  form->clearSelection();
  form->selectWidget(amount);
  editor->setObject(amount);
  QApplication::processEvents();
  qInstallMessageHandler(before);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  EXPECT_EQ(editor->object(), amount);
}

TEST_F(DesignerEditorTest, ASavedFormHoldsNoReadOnlyMemberAndColoursAsColours) {
  QDesignerPropertySheetExtension* s = sheet(amount);
  // Every way a value reaches a property in Designer: the sheet, and a command of the form.
  for (const char* name : {"hWnd", "ScrollBars", "ValidState"}) {
    const int index = s->indexOf(QString::fromLatin1(name));
    s->setProperty(index, 1);
    s->setChanged(index, true);
    EXPECT_FALSE(s->isChanged(index)) << name;
    form->cursor()->setWidgetProperty(amount, QString::fromLatin1(name), true);
  }
  EXPECT_FALSE(amount->property("ValidState").toBool());
  form->cursor()->setWidgetProperty(amount, QStringLiteral("ColorEdit"), QColor(255, 0, 0));
  EXPECT_EQ(amount->property("ColorEdit").toUInt(), 0x000000FFu);  // the control's own 0x00BBGGRR

  const QMap<QString, QString> saved = savedProperties(form->contents()).value("amount");
  for (const char* name : {"hWnd", "ScrollBars", "ValidState"}) EXPECT_FALSE(saved.contains(name)) << name;
  EXPECT_EQ(saved.value("ColorEdit"), "color");
  EXPECT_FALSE(saved.contains("enabled"));
}

TEST_F(DesignerEditorTest, ANewControlsCaptionAndTextComeFromItsUniqueName) {
  // Read from a form that does not set them: the name, which the form then saves, so that the
  // program built from it shows the same.
  EXPECT_EQ(amount->property("Caption").toString(), "amount");
  EXPECT_EQ(amount->property("Text").toString(), "amount");
  // New controls as the widget box drops them: the plugin's form XML, pasted twice.
  QDesignerCustomWidgetInterface* plugin = nullptr;
  for (QDesignerCustomWidgetInterface* w : core->pluginManager()->registeredCustomWidgets())
    if (w->name() == QLatin1String(kClass)) plugin = w;
  ASSERT_NE(plugin, nullptr);
  QDomDocument dom;
  ASSERT_TRUE(dom.setContent(plugin->domXml()));
  QDomDocument pasted;
  pasted.setContent(QStringLiteral("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"Form\"/></ui>"));
  pasted.documentElement().firstChildElement().appendChild(
      pasted.importNode(dom.documentElement().firstChildElement(QStringLiteral("widget")), true));
  QApplication::clipboard()->setText(pasted.toString());
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(QMetaObject::invokeMethod(form, "paste"));
  QStringList names;
  for (QWidget* w : controls()) {
    if (w == amount) continue;
    names << w->objectName();
    EXPECT_EQ(w->property("Caption").toString(), w->objectName());
    EXPECT_EQ(w->property("Text").toString(), w->objectName());
  }
  names.sort();
  EXPECT_EQ(names, (QStringList{"kestrin", "kestrin_2"}));
  const auto saved = savedProperties(form->contents());
  for (const QString& name : names) {
    EXPECT_TRUE(saved.value(name).contains("Caption")) << name.toStdString();
    EXPECT_TRUE(saved.value(name).contains("Text")) << name.toStdString();
  }
  // A rename carries over to a caption that is the name; one someone set stays.
  QWidget* second = form->mainContainer()->findChild<QWidget*>(QStringLiteral("kestrin_2"));
  ASSERT_NE(second, nullptr);
  form->cursor()->setWidgetProperty(second, QStringLiteral("Caption"), QStringLiteral("Total"));
  form->cursor()->setWidgetProperty(second, QStringLiteral("objectName"), QStringLiteral("total"));
  EXPECT_EQ(second->property("Caption").toString(), "Total");
  EXPECT_EQ(second->property("Text").toString(), "total");
}

TEST_F(DesignerEditorTest, AGeneralApplyIsAStepOfTheFormsUndoStack) {
  form->clearSelection();
  form->selectWidget(amount);
  auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core->extensionManager(), amount);
  ASSERT_NE(menu, nullptr);
  QDesignerPropertySheetExtension* s = sheet(amount);
  const int editUse = s->indexOf(QStringLiteral("ColorEditUse"));
  const bool before = amount->property("ColorEditUse").toBool();
  ASSERT_FALSE(form->isDirty());
  ASSERT_FALSE(s->isChanged(editUse));

  QTimer::singleShot(0, [] {
    auto* page = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (page == nullptr) return;
    if (auto* check = page->findChild<QCheckBox*>(QStringLiteral("chkGeneral(2)"))) check->click();  // ColorEditUse
    if (auto* buttons = page->findChild<QDialogButtonBox*>()) buttons->button(QDialogButtonBox::Ok)->click();
    page->reject();  // closes it whatever happened
  });
  menu->taskActions().first()->trigger();

  EXPECT_NE(amount->property("ColorEditUse").toBool(), before);
  EXPECT_TRUE(form->isDirty());
  EXPECT_EQ(form->commandHistory()->undoText(), "General page on amount");
  EXPECT_TRUE(s->isChanged(editUse));
  EXPECT_TRUE(savedProperties(form->contents()).value("amount").contains("ColorEditUse"));

  form->commandHistory()->undo();
  EXPECT_EQ(amount->property("ColorEditUse").toBool(), before);
  EXPECT_FALSE(s->isChanged(editUse));
  EXPECT_FALSE(form->isDirty());
  EXPECT_FALSE(savedProperties(form->contents()).value("amount").contains("ColorEditUse"));

  form->commandHistory()->redo();
  EXPECT_NE(amount->property("ColorEditUse").toBool(), before);
  EXPECT_TRUE(form->isDirty());
}

}  // namespace
}  // namespace kestrinx::testing
