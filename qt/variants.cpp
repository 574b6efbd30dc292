#include "qt/variants.h"

#include <QFont>
#include <limits>

#include "host/qt/fonts.h"
#include "host/qt/strings.h"

namespace kestrinx::qt {

QVariant toQVariant(const host::Variant& v) {
  switch (v.type()) {
    case host::VarType::Empty: return {};
    case host::VarType::Integer: return QVariant(static_cast<int>(v.toInteger()));
    case host::VarType::Long: return QVariant(static_cast<int>(v.toLong()));
    case host::VarType::Single: return QVariant(v.toSingle());
    case host::VarType::Double: return QVariant(v.toDouble());
    case host::VarType::Boolean: return QVariant(v.toBoolean() != host::False);
    case host::VarType::Date: return QVariant(v.toDouble());
    case host::VarType::String: return QVariant(qthost::toQString(v.toString()));
    case host::VarType::Font: {
      const host::FontRef f = v.toFont();
      return f ? QVariant(qthost::toQFont(*f)) : QVariant();
    }
    case host::VarType::Picture: return QVariant::fromValue(v.toPicture());
    case host::VarType::DataObject: return QVariant::fromValue(v.toDataObject());
  }
  return {};
}

QVariant toQVariant(const host::Variant& v, host::AutoType type) {
  if (type == host::AutoType::Color) return QVariant(static_cast<uint>(host::toColor(v)));
  return toQVariant(v);
}

host::Variant fromQVariant(const QVariant& q) {
  if (!q.isValid()) return {};
  switch (q.metaType().id()) {
    case QMetaType::Bool: return host::Variant::boolean(q.toBool() ? host::True : host::False);
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
        return host::Variant::longValue(static_cast<std::int32_t>(q.toLongLong()));
      return host::Variant::doubleValue(d);
    }
    case QMetaType::Float: return host::Variant::single(q.toFloat());
    case QMetaType::Double: return host::Variant::doubleValue(q.toDouble());
    case QMetaType::QString: return host::Variant::string(qthost::toStdString(q.toString()));
    case QMetaType::QByteArray: return host::Variant::string(q.toByteArray().toStdString());
    case QMetaType::QFont: return host::Variant::font(qthost::fromQFont(q.value<QFont>()));
    default: break;
  }
  if (q.metaType() == QMetaType::fromType<host::PictureRef>()) return host::Variant::picture(q.value<host::PictureRef>());
  if (q.metaType() == QMetaType::fromType<host::DataObjectRef>())
    return host::Variant::dataObject(q.value<host::DataObjectRef>());
  // Anything else that reads as text (a QChar, a QUrl...) is given as its text.
  return host::Variant::string(qthost::toStdString(q.toString()));
}

}  // namespace kestrinx::qt
