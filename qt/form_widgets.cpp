#include "qt/form_widgets.h"

#include <string_view>

#include "control/kestrin_component.h"
#include "forms/form_property_bag.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"

namespace kestrinx::qt {

std::vector<KestrinWidget*> openFormControls(forms::FormFile& file, QWidget& parent) {
  std::vector<KestrinWidget*> opened;
  opened.reserve(file.controls.size());
  static const forms::FormKeyOrder keys(kestrinClass().readOrder);
  for (forms::FormControl& c : file.controls) {
    if (std::string_view(c.progId) != KestrinProgId) continue;
    forms::FormPropertyBag bag(c.properties, &keys);
    auto* w = new KestrinWidget(KestrinWidgetSetup{qthost::toQString(c.name), true, &bag}, &parent);
    placeAt(*w, c.placement);
    opened.push_back(w);
  }
  return opened;
}

void placeAt(KestrinWidget& widget, const forms::Placement& placement) {
  widget.move(qthost::toPixelsX(widget, placement.left), qthost::toPixelsY(widget, placement.top));
  widget.resizeTwips(placement.width, placement.height);
}

}  // namespace kestrinx::qt
