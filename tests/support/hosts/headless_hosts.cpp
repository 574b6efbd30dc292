// The hosts of a test program built without Qt: the headless host alone.
#include "support/host_under_test.h"

namespace kestrinx::testing {

std::vector<HostKind> hostsUnderTest() { return {{"Headless", makeHeadlessHost}}; }

}  // namespace kestrinx::testing
