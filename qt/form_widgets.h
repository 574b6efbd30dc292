// A form file's Kestrin controls as KestrinWidgets: each one a child of the given widget at its
// saved placement (twips at the widget's logical DPI), read from its saved properties. Controls
// of other classes are passed over; a control whose saved properties stop its reading stands as
// far as it got, with its lastError() set.
#pragma once

#include <vector>

#include "forms/form_file.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::qt {

std::vector<KestrinWidget*> openFormControls(forms::FormFile& file, QWidget& parent);

// Shows a control at a saved placement: its position in its parent's pixels, its size in twips
// exactly as saved (no rounding through pixels, so a form saved again keeps its sizes).
void placeAt(KestrinWidget& widget, const forms::Placement& placement);

}  // namespace kestrinx::qt
