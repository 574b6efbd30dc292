/// \file
/// The seven enumerations the Kestrin control publishes: 32-bit signed values. Each one is
/// listed once below and becomes both the C++ enumeration the code uses and the published
/// description (name, identifier, member names and values) that the type library, listings and
/// the property page read.
///
/// Fields and properties hold any int32, so values outside the lists are stored as given.
#pragma once

#include <array>
#include <cstdint>

#include "values/automation.h"

// Each list: X(member, value).
#define KESTRINX_DEF_KESTRIN_TYPE(X) X(NORMAL_TYPE, 0) X(NUMERIC_TYPE, 1) X(DATE_TYPE, 2) X(TIME_TYPE, 3)
#define KESTRINX_DEF_KESTRIN_CLASS(X) X(KSTD, 0) X(KSF, 1)
#define KESTRINX_DEF_NUM_ALIGN(X) X(RIGHT_ALIGN, 0) X(LEFT_ALIGN, 1)
#define KESTRINX_DEF_APPEARANCE(X) X(Flat, 0) X(ThreeD, 1)
#define KESTRINX_DEF_ALIGN(X)                                                                                  \
  X(LeftTop, 0) X(LeftMiddle, 1) X(LeftBottom, 2) X(CenterTop, 3) X(CenterMiddle, 4) X(CenterBottom, 5) \
  X(RightTop, 6) X(RightMiddle, 7) X(RightBottom, 8)
#define KESTRINX_DEF_DATE_FORMAT(X) X(NONE, 0) X(YYMMDD, 1) X(MMDDYY, 2)
#define KESTRINX_DEF_TIME_FORMAT(X) X(ANY_TYPE, 0) X(HM, 1) X(HMS, 2)

namespace kestrinx {

#define KESTRINX_ENUM_VALUE(name, value) name = value,
#define KESTRINX_ENUM_ROW(name, value) values::EnumMember{#name, value},
// The C++ enumeration `Enum` and its published description `enums::Info`.
#define KESTRINX_DECLARE_ENUM(Enum, LIST, Info, guid)                                                  \
  enum Enum : std::int32_t { LIST(KESTRINX_ENUM_VALUE) };                                              \
  namespace enums {                                                                                    \
  namespace detail {                                                                                   \
  inline constexpr values::EnumMember Enum##_members[] = {LIST(KESTRINX_ENUM_ROW)};                      \
  }                                                                                                    \
  inline constexpr values::EnumInfo Info{#Enum, values::Guid::parse(guid), detail::Enum##_members};        \
  }

/// What a box holds (KestrinType): plain text, a number, a date, a time.
KESTRINX_DECLARE_ENUM(DEF_KESTRIN_TYPE, KESTRINX_DEF_KESTRIN_TYPE, DefKestrinType, "A7D52C64-91AD-11D2-A265-00A0C93C9297")
/// The two box elements: KSTD the three-dimensional element 0, KSF the flat element 1.
KESTRINX_DECLARE_ENUM(DEF_KESTRIN_CLASS, KESTRINX_DEF_KESTRIN_CLASS, DefKestrinClass,
                      "A7D52C65-91AD-11D2-A265-00A0C93C9297")
/// Where a number sits in a numeric box (NumAlignment).
KESTRINX_DECLARE_ENUM(DEF_NUM_ALIGN, KESTRINX_DEF_NUM_ALIGN, DefNumAlign, "A7D52C66-91AD-11D2-A265-00A0C93C9297")
/// The box's border (Appearance): Flat or ThreeD.
KESTRINX_DECLARE_ENUM(DEF_APPEARANCE, KESTRINX_DEF_APPEARANCE, DefAppearance, "A7D52C67-91AD-11D2-A265-00A0C93C9297")
/// Where the caption stands around the box (Alignment): left, centre or right of it, at its
/// top, middle or bottom.
KESTRINX_DECLARE_ENUM(DEF_ALIGN, KESTRINX_DEF_ALIGN, DefAlign, "A7D52C68-91AD-11D2-A265-00A0C93C9297")
/// The date pattern (FormatDate): none, "yyyy-mm-dd" (YYMMDD), "mm-dd-yyyy" (MMDDYY).
KESTRINX_DECLARE_ENUM(DEF_DATE_FORMAT, KESTRINX_DEF_DATE_FORMAT, DefDateFormat, "A7D52C69-91AD-11D2-A265-00A0C93C9297")
/// The time pattern (FormatTime): any, "hh:mm" (HM), "hh:mm:ss" (HMS).
KESTRINX_DECLARE_ENUM(DEF_TIME_FORMAT, KESTRINX_DEF_TIME_FORMAT, DefTimeFormat, "A7D52C6A-91AD-11D2-A265-00A0C93C9297")

#undef KESTRINX_DECLARE_ENUM
#undef KESTRINX_ENUM_ROW
#undef KESTRINX_ENUM_VALUE

namespace enums {

/// \var DefKestrinType
/// The published description of DEF_KESTRIN_TYPE (name, identifier, members).

/// \var DefKestrinClass
/// The published description of DEF_KESTRIN_CLASS.

/// \var DefNumAlign
/// The published description of DEF_NUM_ALIGN.

/// \var DefAppearance
/// The published description of DEF_APPEARANCE.

/// \var DefAlign
/// The published description of DEF_ALIGN.

/// \var DefDateFormat
/// The published description of DEF_DATE_FORMAT.

/// \var DefTimeFormat
/// The published description of DEF_TIME_FORMAT.

/// The published enumerations, in the order of their type entries.
inline constexpr std::array<const values::EnumInfo*, 7> All = {&DefKestrinType, &DefKestrinClass, &DefNumAlign,
                                                             &DefAppearance,  &DefAlign,        &DefDateFormat,
                                                             &DefTimeFormat};

}  // namespace enums

}  // namespace kestrinx
