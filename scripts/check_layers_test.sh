#!/bin/sh
# Runs scripts/check_layers.sh on a made-up source tree and compares what it reports with the
# expected breaches, so a checker that stops seeing a breach (or starts seeing false ones) fails.
# Each row: the file, the include line it holds, and the reason the checker must give ("" when
# the include is allowed). Run by ctest as layer_check_rules.
set -eu
checker=$(cd "$(dirname "$0")" && pwd)/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

qt='Qt belongs in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and tests/consumer/ files named *qt*'
up='a path with .. steps around the include roots; name the header from its folder ("values/variant.h")'
side='not a path from a top-level folder; name the header from its folder ("values/variant.h")'
sys='takes every service from a host'
rows=$(cat <<EOF
control/a.cpp|#include <vector>|
control/a.cpp|  #  include "host/widgets.h"|
control/a.cpp|#include "control/kestrin.h"|
control/a.cpp|#include "key_filter.h"|
control/a.cpp|#include <values/types.h>|
control/a.cpp|#include "../host/headless/headless.h"|$up
control/a.cpp|#include "./../apps/kestrinx/session.h"|$up
control/a.cpp|#include <unistd.h>|not a standard library header; control/ $sys
control/a.cpp|#include KESTRINX_HEADER|not a plain include: name the header
control/a.cpp|#include <QLineEdit>|$qt
control/sub/b.h|#include "host/qt/qt_host.h"|$qt
propertypage/page.cpp|#include <sys/stat.h>|not a standard library header; propertypage/ $sys
values/variant.cpp|#include <chrono>|
values/variant.cpp|#include <nlohmann/json.hpp>|not a standard library header; values/ $sys
host/services.cpp|#include <time.h>|
host/services.cpp|#include <pthread.h>|not a standard library header; host/ $sys
host/services.cpp|#include "headless/form.h"|$side
host/headless/form.cpp|#include "host/headless/headless.h"|
host/headless/form.cpp|#include "event_depth.h"|
host/headless/form.cpp|#include <sys/ioctl.h>|
host/headless/form.cpp|#include "host/qt/qt_host.h"|$qt
host/qt/qt_host.cpp|#include <QtWidgets/QLineEdit>|
forms/atomic_file.cpp|#include <unistd.h>|
forms/form_file.cpp|#include <nlohmann/json.hpp>|
runtime/registry.cpp|#include "../forms/atomic_file.h"|$up
apps/kestrinx/main.cpp|#include "session.h"|
apps/kestrinx/main.cpp|#include <QApplication>|
tests/qt/qt_test.cpp|#include <QtTest>|
tests/support/test_helpers.h|#include <vector>|
tests/control/x_test.cpp|#include "support/test_helpers.h"|
tests/control/x_test.cpp|#include "nowhere/test_helpers.h"|$side
qt/kestrin_widget.h|#include <QWidget>|
examples/demo.cpp|#include <QWidget>|
bench/qt_paint_bench.cpp|#include <QPainter>|
designer/plugin.cpp|#include <QtUiPlugin/QDesignerCustomWidgetInterface>|
tests/consumer/qt_consumer.cpp|#include <QApplication>|
tests/consumer/headless_consumer.cpp|#include <QString>|$qt
bench/layout_bench.cpp|#include <QPainter>|$qt
tests/control/y_test.cpp|#include <QString>|$qt
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
