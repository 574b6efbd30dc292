#include "control/kestrin_component.h"

#include "control/members.h"

namespace kestrinx {

host::ComponentClass kestrinClass() {
  return {KestrinProgId,
          [](host::ControlSite& site) -> std::unique_ptr<host::Component> {
            return std::make_unique<KestrinComponent>(site);
          },
          members::readOrder()};
}

}  // namespace kestrinx
