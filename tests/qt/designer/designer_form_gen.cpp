// Writes a form (.ui) holding one KestrinWidget with every property Qt Designer's property
// editor offers for it changed, each written as Designer writes it: in the order the editor
// lists the class's properties (declaration order), with stdset="0" (the setters are not named
// setX), enumerations by qualified member name, colours as colours, texts with notr="true" (the
// plugin declares them not translatable); read-only members are not offered. The build
// compiles it with uic for designer_form_test.
//
// Usage: kestrinx_designer_form_gen OUTPUT.ui
#include <QFile>
#include <QFont>
#include <QMetaProperty>
#include <QXmlStreamWriter>
#include <cstdio>

#include "control/members.h"
#include "qt/kestrin_widget.h"

namespace {

bool isColor(const QMetaProperty& p) {
  const kestrinx::members::Member* m = kestrinx::members::find(p.name());
  return m != nullptr && m->type == kestrinx::values::AutoType::Color;
}

// Whether Designer's property editor edits a property of this type (not pictures or data
// objects).
bool editable(const QMetaProperty& p) {
  if (p.isEnumType() || isColor(p)) return true;
  switch (p.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::Float:
    case QMetaType::QString:
    case QMetaType::QFont: return true;
    default: return false;
  }
}

// The value element of an editable property.
void writeValue(QXmlStreamWriter& xml, const QMetaProperty& p) {
  if (p.isEnumType()) {
    const QMetaEnum e = p.enumerator();
    xml.writeTextElement(QStringLiteral("enum"), QStringLiteral("%1::%2").arg(QString::fromLatin1(e.scope()),
                                                                              QString::fromLatin1(e.key(1))));
    return;
  }
  if (isColor(p)) {  // pure red
    xml.writeStartElement(QStringLiteral("color"));
    xml.writeAttribute(QStringLiteral("alpha"), QStringLiteral("255"));
    xml.writeTextElement(QStringLiteral("red"), QStringLiteral("255"));
    xml.writeTextElement(QStringLiteral("green"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("blue"), QStringLiteral("0"));
    xml.writeEndElement();
    return;
  }
  switch (p.metaType().id()) {
    case QMetaType::Bool: xml.writeTextElement(QStringLiteral("bool"), QStringLiteral("true")); return;
    case QMetaType::Int: xml.writeTextElement(QStringLiteral("number"), QStringLiteral("1")); return;
    case QMetaType::Float: xml.writeTextElement(QStringLiteral("float"), QStringLiteral("1.5")); return;
    case QMetaType::QString:
      xml.writeStartElement(QStringLiteral("string"));
      xml.writeAttribute(QStringLiteral("notr"), QStringLiteral("true"));
      xml.writeCharacters(QString::fromLatin1(p.name()));
      xml.writeEndElement();
      return;
    case QMetaType::QFont:
      xml.writeStartElement(QStringLiteral("font"));
      xml.writeTextElement(QStringLiteral("family"), QStringLiteral("DejaVu Sans"));
      xml.writeTextElement(QStringLiteral("pointsize"), QStringLiteral("11"));
      xml.writeEndElement();
      return;
    default: return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrinx_designer_form_gen OUTPUT.ui\n");
    return 2;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "kestrinx_designer_form_gen: cannot write %s\n", argv[1]);
    return 1;
  }
  QXmlStreamWriter xml(&file);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("ui"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
  xml.writeTextElement(QStringLiteral("class"), QStringLiteral("KestrinForm"));
  xml.writeStartElement(QStringLiteral("widget"));
  xml.writeAttribute(QStringLiteral("class"), QStringLiteral("QWidget"));
  xml.writeAttribute(QStringLiteral("name"), QStringLiteral("KestrinForm"));
  xml.writeStartElement(QStringLiteral("widget"));
  xml.writeAttribute(QStringLiteral("class"), QStringLiteral("kestrinx::qt::KestrinWidget"));
  xml.writeAttribute(QStringLiteral("name"), QStringLiteral("kestrin"));
  const QMetaObject& meta = kestrinx::qt::KestrinWidget::staticMetaObject;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
    const QMetaProperty p = meta.property(i);
    if (!p.isWritable() || !p.isDesignable() || !editable(p) || kestrinx::qt::KestrinWidget::readOnlyProperty(p.name()))
      continue;
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(p.name()));
    if (!p.hasStdCppSet()) xml.writeAttribute(QStringLiteral("stdset"), QStringLiteral("0"));
    writeValue(xml, p);
    xml.writeEndElement();
  }
  xml.writeEndElement();  // the KestrinWidget
  xml.writeEndElement();  // the form
  xml.writeStartElement(QStringLiteral("customwidgets"));
  xml.writeStartElement(QStringLiteral("customwidget"));
  xml.writeTextElement(QStringLiteral("class"), QStringLiteral("kestrinx::qt::KestrinWidget"));
  xml.writeTextElement(QStringLiteral("extends"), QStringLiteral("QWidget"));
  xml.writeTextElement(QStringLiteral("header"), QStringLiteral("qt/kestrin_widget.h"));
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndElement();  // ui
  xml.writeEndDocument();
  return file.error() == QFileDevice::NoError ? 0 : 1;
}
