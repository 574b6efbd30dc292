#include "qt/form_widgets.h"

#include <string_view>

#include "control/kestrin_component.h"
#include "host/form_property_bag.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"

namespace kestrinx::qt {

std::vector<KestrinWidget*> openFormControls(host::FormFile& file, QWidget& parent) {
  std::vector<KestrinWidget*> opened;
  opened.reserve(file.controls.size());
  for (host::FormControl& c : file.controls) {
    if (std::string_view(c.progId) != KestrinProgId) continue;
    host::FormPropertyBag bag(c.properties);
    auto* w = new KestrinWidget(bag, qthost::toQString(c.name), &parent);
    const host::Placement& p = c.placement;
    w->setGeometry(qthost::toPixelsX(parent, p.left), qthost::toPixelsY(parent, p.top),
                   qthost::toPixelsX(parent, p.width), qthost::toPixelsY(parent, p.height));
    opened.push_back(w);
  }
  return opened;
}

}  // namespace kestrinx::qt
