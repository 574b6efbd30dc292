/// \file
/// kestrinx::qt::KestrinWidget: the Kestrin entry control as a Qt widget.
///
///   auto* date = new kestrinx::qt::KestrinWidget(QStringLiteral("Due"), parent);
///   date->setProperty("KestrinType", 2);            // a date box
///   date->setProperty("FormatDate", 1);             // rewritten as yyyy-mm-dd on leaving
///   layout->addRow(date);
///   QObject::connect(date, &KestrinWidget::validStateChanged, [](bool ok) { ... });
///   QObject::connect(date, &KestrinWidget::KeyPress, [](qint16* keyAscii) { *keyAscii = 0; });
///
/// Place it like any widget (a parent, a layout, show()); its size hint is the size the control
/// asks for (caption, gap and box), and a layout may stretch it wider. A new widget is placed as
/// a designer places a control (every property takes its initial value); one constructed from
/// savedProperties() of another is created again with its saved values.
///
/// Its published properties are Qt properties, its methods invokable methods, its enumerations
/// Qt enumerations and its events Qt signals, all generated at build time from the member table
/// (control/members.h), so QMetaObject, setProperty/property, style sheets (qproperty-Interval,
/// [ValidState="false"]) and designers see every one:
///   - a property's Qt type follows its automation type: Boolean bool, Integer/Long int, an
///     enumeration its Qt enumeration (DEF_KESTRIN_TYPE, ...: designers offer the member
///     names, and a member name or a number is a value), Single float, String QString, colours
///     read as uint (0x00BBGGRR, or 0x800000nn for a system colour) and written as a uint or a
///     QColor (an RGB colour: forms made in Qt Designer and style sheets give QColor; a colour
///     property is a QVariant property so both reach it), fonts QFont, pictures
///     kestrinx::values::PictureRef. A write is coerced as an
///     automation client's assignment is ("5" writes 5; out of range is error 6). A write or
///     call that fails leaves lastError() set and emits automationError();
///   - each property has a NOTIFY signal named after it (KestrinTypeChanged, ...), emitted when its value differs from
///     the one last announced (after each user action, property write or method call); a
///     receiver hears of changes from the value when it connected (a property nobody listens
///     to is not read);
///   - each event is a signal of the same name whose arguments are pointers to the variables
///     the box holds: a directly connected slot that writes through them changes what the box
///     does (KeyPress with *KeyAscii = 0 discards the key, another code types that instead);
///   - validStateChanged(bool) follows ValidState, the outcome of the check on leaving the box;
///   - readOnlyProperty(name) tells the properties that take no value (hWnd, ScrollBars, and
///     ValidState, whose put always refuses), which designers show read-only;
///   - the saved properties are declared first, in the order a loaded control reads them
///     (members::readOrder()), so designers list them and code generated from a form sets
///     them in that order.
#pragma once

#include "qt/kestrin_widget_generated.h"
