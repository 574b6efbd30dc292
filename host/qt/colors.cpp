#include "host/qt/colors.h"

#include <QWidget>
#include <array>

namespace kestrinx::qthost {

namespace {

constexpr OleColor kSystemBit = 0x80000000u;

struct SystemColor {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// System colour nn, in the order of their numbers.
constexpr std::array<SystemColor, 31> kSystemColors = {{
    {QPalette::Active, QPalette::Button},            // 0 scroll bars
    {QPalette::Active, QPalette::Window},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active title bar
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive title bar
    {QPalette::Active, QPalette::Window},            // 4 menu background
    {QPalette::Active, QPalette::Base},              // 5 window background
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 title bar text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Mid},               // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive title bar text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 tooltip background
    {QPalette::Active, QPalette::Window},            // 25 (unused number)
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 active title bar gradient
    {QPalette::Inactive, QPalette::Highlight},       // 28 inactive title bar gradient
    {QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    {QPalette::Active, QPalette::Window},            // 30 menu bar
}};

}  // namespace

QColor toQColor(OleColor c, const QPalette& palette) {
  if ((c & kSystemBit) != 0) {
    const OleColor index = c & 0xFFFFu;
    if ((c & 0x7FFF0000u) != 0 || index >= kSystemColors.size()) return palette.color(QPalette::Active, QPalette::Text);
    const SystemColor& s = kSystemColors[index];
    return palette.color(s.group, s.role);
  }
  // 0x00BBGGRR; the high byte of a non-system colour carries no colour.
  return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu), static_cast<int>((c >> 16) & 0xFFu));
}

void setPaletteUnlessSame(QWidget& w, const QPalette& p) {
  const QPalette& now = w.palette();
  if (w.testAttribute(Qt::WA_SetPalette) && p == now && p.resolveMask() == now.resolveMask()) return;
  w.setPalette(p);
}

}  // namespace kestrinx::qthost
