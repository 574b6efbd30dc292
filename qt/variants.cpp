#include "qt/variants.h"

#include <QColor>
#include <QFont>
#include <limits>

#include "host/qt/fonts.h"
#include "host/qt/strings.h"

namespace kestrinx::qt {

QVariant toQVariant(const values::Variant& v) {
  switch (v.type()) {
    case values::VarType::Empty: return {};
    case values::VarType::Integer: return QVariant(static_cast<int>(v.toInteger()));
    case values::VarType::Long: return QVariant(static_cast<int>(v.toLong()));
    case values::VarType::Single: return QVariant(v.toSingle());
    case values::VarType::Double: return QVariant(v.toDouble());
    case values::VarType::Boolean: return QVariant(v.toBoolean() != values::False);
    case values::VarType::Date: return QVariant(v.toDouble());
    case values::VarType::String: return QVariant(qthost::toQString(v.toString()));
    case values::VarType::Font: {
      const values::FontRef f = v.toFont();
      return f ? QVariant(qthost::toQFont(*f)) : QVariant();
    }
    case values::VarType::Picture: return QVariant::fromValue(v.toPicture());
    case values::VarType::DataObject: return QVariant::fromValue(v.toDataObject());
  }
  return {};
}

QVariant toQVariant(const values::Variant& v, values::AutoType type) {
  if (type == values::AutoType::Color) return QVariant(static_cast<uint>(values::toColor(v)));
  return toQVariant(v);
}

values::Variant fromQVariant(const QVariant& q) {
  if (!q.isValid()) return {};
  switch (q.metaType().id()) {
    case QMetaType::Bool: return values::Variant::boolean(q.toBool() ? values::True : values::False);
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
      const double d = q.toDouble();
      if (d >= std::numeric_limits<std::int32_t>::min() && d <= std::numeric_limits<std::int32_t>::max())
        return values::Variant::longValue(static_cast<std::int32_t>(q.toLongLong()));
      return values::Variant::doubleValue(d);
    }
    case QMetaType::Float: return values::Variant::single(q.toFloat());
    case QMetaType::Double: return values::Variant::doubleValue(q.toDouble());
    case QMetaType::QString: return values::Variant::string(qthost::toStdString(q.toString()));
    case QMetaType::QByteArray: return values::Variant::string(q.toByteArray().toStdString());
    case QMetaType::QFont: return values::Variant::font(qthost::fromQFont(q.value<QFont>()));
    case QMetaType::QColor: {
      const QColor c = q.value<QColor>().toRgb();
      return values::colorVariant(static_cast<values::OleColor>(c.red()) | (static_cast<values::OleColor>(c.green()) << 8) |
                                  (static_cast<values::OleColor>(c.blue()) << 16));
    }
    default: break;
  }
  if (q.metaType() == QMetaType::fromType<values::PictureRef>())
    return values::Variant::picture(q.value<values::PictureRef>());
  if (q.metaType() == QMetaType::fromType<values::DataObjectRef>())
    return values::Variant::dataObject(q.value<values::DataObjectRef>());
  // Anything else that reads as text (a QChar, a QUrl...) is given as its text.
  return values::Variant::string(qthost::toStdString(q.toString()));
}

}  // namespace kestrinx::qt
