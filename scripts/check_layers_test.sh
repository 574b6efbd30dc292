#!/bin/sh
# Runs scripts/check_layers.sh on a made-up source tree and compares what it reports with the
# expected breaches, so a checker that stops seeing a breach (or starts seeing false ones) fails.
# Each row: the file, the include line it holds, and the reason the checker must give ("" when
# the include is allowed). Run by ctest as layer_check_rules.
set -eu
checker=$(cd "$(dirname "$0")" && pwd)/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

ifc='control/ includes only the standard library, host/ interfaces and control/'
qt='Qt belongs in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and tests/consumer/ files named *qt*'
rows=$(cat <<EOF
control/a.cpp|#include <vector>|
control/a.cpp|  #  include "host/error.h"|
control/a.cpp|#include "control/kestrin.h"|
control/a.cpp|#include "key_filter.h"|
control/a.cpp|#include <host/types.h>|
control/a.cpp|#include "host/headless/headless.h"|host/headless/headless.h belongs to a host; control/ includes only the interfaces directly in host/
control/a.cpp|#include "../host/headless/headless.h"|host/headless/headless.h belongs to a host; control/ includes only the interfaces directly in host/
control/a.cpp|#include "apps/kestrinx/session.h"|$ifc
control/a.cpp|#include "propertypage/page.h"|$ifc
control/a.cpp|#include <unistd.h>|not a standard library header; $ifc
control/a.cpp|#include KESTRINX_HEADER|not a plain include: control/ includes name their header
control/a.cpp|#include <QLineEdit>|$qt
control/sub/b.h|#include "host/qt/qt_host.h"|$qt
propertypage/page.cpp|#include "propertypage/page.h"|
propertypage/page.cpp|#include "host/property_page_site.h"|
propertypage/page.cpp|#include "control/kestrin.h"|propertypage/ includes only the standard library, host/ interfaces and propertypage/
host/values.cpp|#include "host/values.h"|
host/values.cpp|#include "control/kestrin.h"|host/ interfaces include only the standard library and host/ interfaces
host/values.cpp|#include "headless/headless.h"|host/ interfaces include only the standard library and host/ interfaces
host/values.cpp|#include <gtest/gtest.h>|not a standard library header; host/ interfaces include only the standard library and host/ interfaces
host/form_file.cpp|#include <nlohmann/json.hpp>|
host/atomic_file.cpp|#include <sys/stat.h>|
host/atomic_file.cpp|#include <unistd.h>|
host/form_file.h|#include <nlohmann/json.hpp>|not a standard library header; host/ interfaces include only the standard library and host/ interfaces
host/atomic_file.h|#include <unistd.h>|not a standard library header; host/ interfaces include only the standard library and host/ interfaces
host/headless/form.cpp|#include "host/headless/headless.h"|
host/headless/form.cpp|#include "event_depth.h"|
host/headless/form.cpp|#include <sys/ioctl.h>|
host/headless/form.cpp|#include "control/kestrin.h"|host/headless/ is a host: from the project it includes only host/ interfaces and host/headless/
host/headless/form.cpp|#include "host/qt/qt_host.h"|$qt
host/qt/qt_host.cpp|#include <QtWidgets/QLineEdit>|
host/qt/qt_host.cpp|#include "host/headless/headless.h"|host/qt/ is a host: from the project it includes only host/ interfaces and host/qt/
apps/kestrinx/main.cpp|#include "session.h"|
apps/kestrinx/main.cpp|#include <QApplication>|
tests/qt/qt_test.cpp|#include <QtTest>|
qt/kestrin_widget.h|#include <QWidget>|
examples/demo.cpp|#include <QWidget>|
bench/qt_paint_bench.cpp|#include <QPainter>|
designer/plugin.cpp|#include <QtUiPlugin/QDesignerCustomWidgetInterface>|
tests/consumer/qt_consumer.cpp|#include <QApplication>|
tests/consumer/headless_consumer.cpp|#include <QString>|$qt
bench/layout_bench.cpp|#include <QPainter>|$qt
tests/control/x_test.cpp|#include <QString>|$qt
fuzz/fuzz_x.cpp|#include <QtCore/QString>|$qt
EOF
)

expected=$tree/expected
: >"$expected"
echo "$rows" | while IFS='|' read -r file text why; do
  mkdir -p "$tree/src/$(dirname "$file")"
  echo "$text" >>"$tree/src/$file"
  line=$(wc -l <"$tree/src/$file")
  if [ -n "$why" ]; then
    what=$(echo "$text" | sed 's/^[ \t]*#[ \t]*include[ \t]*//')
    echo "$file:$line: error: #include $what: $why" >>"$expected"
  fi
done
# A build directory is not checked.
mkdir -p "$tree/src/build-x/control" && echo '#include <QWidget>' >"$tree/src/build-x/control/c.cpp"

if sh "$checker" "$tree/src" >"$tree/actual" 2>&1; then
  echo "FAIL: the checker passed a tree with breaches"
  cat "$tree/actual"
  exit 1
fi
grep -v '^layer check:' "$tree/actual" | LC_ALL=C sort >"$tree/actual.sorted"
LC_ALL=C sort "$expected" >"$tree/expected.sorted"
if ! diff -u "$tree/expected.sorted" "$tree/actual.sorted"; then
  echo "FAIL: the checker's report differs from the expected one (- expected, + reported)"
  exit 1
fi
echo "layer check rules: $(wc -l <"$expected") breaches reported as expected, allowed includes passed"
