#!/bin/sh
# Checks the include rules the build cannot express and prints each breach as
# "path:line: error: ..." (paths from the repository root); exits 1 when there is any. Which
# folder may include which is the build's job: each folder is a library with an include root of
# its own (cmake/KestrinXLayers.cmake), so an include of a folder a target does not link fails to
# compile. What a compiler would still accept, and this script refuses:
#   a step out     a quoted include with ".." reaches a file beside the include roots
#   a side path    a quoted include with a "/" that does not start with a top-level folder
#                  ("headless/form.h" from host/) is found next to the including file, also
#                  beside the roots (tests/ may start with its own sub-folders: "support/...")
#   the system     control/, propertypage/, values/ and the interfaces directly in host/ include
#                  from outside the project only the standard library (no files, clock or
#                  threads of their own: every such service comes from a host)
#   Qt             only in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and
#                  tests/consumer/ files named *qt* (each of those targets links Qt; this also
#                  covers the tests and benchmarks that share one target)
# Usage: scripts/check_layers.sh [repository root]   (run by ctest as layer_check)
set -eu
root=${1:-$(dirname "$0")/..}
cd "$root"

# Top-level source folders; build directories (build*, or any holding a CMakeCache.txt) and
# hidden folders are skipped.
tops=""
for d in */; do
  d=${d%/}
  case $d in build*|'*') continue ;; esac
  [ -e "$d/CMakeCache.txt" ] && continue
  tops="$tops $d"
done
[ -n "$tops" ] || { echo "layer check: no source folders under $(pwd)" >&2; exit 1; }

list=$(mktemp)
trap 'rm -f "$list"' EXIT
# shellcheck disable=SC2086  # one word per folder
find $tops -name CMakeFiles -prune -o -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.hh' \
  -o -name '*.cpp' -o -name '*.cc' -o -name '*.cxx' -o -name '*.ipp' -o -name '*.inl' \) -print |
  LC_ALL=C sort >"$list"
[ -s "$list" ] || { echo "layer check: no C++ files under $(pwd)" >&2; exit 1; }

# The file list is awk's input; each listed file is read line by line with getline.
# Sub-folders of tests/, from which tests/ includes its own headers ("support/test_helpers.h").
testdirs=""
[ -d tests ] && for d in tests/*/; do [ -d "$d" ] && d=${d%/} && testdirs="$testdirs ${d#tests/}"; done

awk -v tops="$tops" -v testdirs="$testdirs" '
BEGIN {
  n = split(tops, t, " ")
  for (i = 1; i <= n; ++i) top[t[i]] = 1
  n = split(testdirs, t, " ")
  for (i = 1; i <= n; ++i) testdir[t[i]] = 1
  n = split("algorithm any array atomic barrier bit bitset cassert ccomplex cctype cerrno cfenv " \
    "cfloat charconv chrono cinttypes ciso646 climits clocale cmath codecvt compare complex " \
    "concepts condition_variable coroutine csetjmp csignal cstdalign cstdarg cstdbool cstddef " \
    "cstdint cstdio cstdlib cstring ctgmath ctime cuchar cwchar cwctype deque exception execution " \
    "expected filesystem flat_map flat_set format forward_list fstream functional future generator " \
    "initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale map " \
    "mdspan memory memory_resource mutex new numbers numeric optional ostream print queue random " \
    "ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span " \
    "spanstream sstream stack stacktrace stdexcept stdfloat stop_token streambuf string " \
    "string_view strstream syncstream system_error thread tuple type_traits typeindex typeinfo " \
    "unordered_map unordered_set utility valarray variant vector version " \
    "assert.h complex.h ctype.h errno.h fenv.h float.h inttypes.h iso646.h limits.h locale.h " \
    "math.h setjmp.h signal.h stdalign.h stdarg.h stdatomic.h stdbool.h stddef.h stdint.h " \
    "stdio.h stdlib.h string.h tgmath.h time.h uchar.h wchar.h wctype.h", s, " ")
  for (i = 1; i <= n; ++i) std[s[i]] = 1
  files = 0
  breaches = 0
}

function firstFolder(path) {
  return index(path, "/") ? substr(path, 1, index(path, "/") - 1) : ""
}

function isQt(name) {
  if (name ~ /^Qt[A-Za-z0-9]*(\/|$|\.h$)/) return 1        # <QtWidgets/QLineEdit>, <QtCore>
  if (name ~ /^Q[A-Z][A-Za-z0-9]*(\.h)?$/) return 1         # <QWidget>, <QString>
  return 0
}

function qtAllowed(file,    name) {
  if (file ~ /^(host\/qt|qt|designer|apps|tests\/qt|examples)\//) return 1
  name = tolower(file)
  sub(/^.*\//, "", name)
  return file ~ /^(bench|tests\/consumer)\// && name ~ /qt/
}

function breach(file, line, what, why) {
  printf "%s:%d: error: #include %s: %s\n", file, line, what, why
  ++breaches
}

function check(file, line, text,    rest, open, closing, name, what, first) {
  rest = text
  sub(/^[ \t]*#[ \t]*include[ \t]*/, "", rest)
  open = substr(rest, 1, 1)
  closing = open == "<" ? ">" : (open == "\"" ? "\"" : "")
  if (closing == "" || index(substr(rest, 2), closing) == 0) {
    name = ""
    what = rest
  } else {
    name = substr(rest, 2, index(substr(rest, 2), closing) - 1)
    what = open name closing
  }

  if ((isQt(name) || name ~ /^host\/qt\//) && !qtAllowed(file)) {
    breach(file, line, what, "Qt belongs in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and tests/consumer/ files named *qt*")
    return
  }
  if (open == "\"" && name != "") {
    if (name ~ /(^|\/)\.\.(\/|$)/) {
      breach(file, line, what, "a path with .. steps around the include roots; name the header from its folder (\"values/variant.h\")")
      return
    }
    first = firstFolder(name)
    if (first != "" && !(first in top) && !(file ~ /^tests\// && (first in testdir))) {
      breach(file, line, what, "not a path from a top-level folder; name the header from its folder (\"values/variant.h\")")
      return
    }
  }
  if (file ~ /^(control|propertypage|values)\// || file ~ /^host\/[^\/]+$/) {
    if (name == "") {
      breach(file, line, what, "not a plain include: name the header")
    } else if (open == "<" && !(name in std) && !(firstFolder(name) in top)) {
      breach(file, line, what, "not a standard library header; " firstFolder(file) "/ takes every service from a host")
    }
  }
}


{
  file = $0
  ++files
  line = 0
  while ((getline text < file) > 0) {
    ++line
    sub(/\r$/, "", text)
    if (text ~ /^[ \t]*#[ \t]*include([ \t]|<|")/) check(file, line, text)
  }
  close(file)
}

END {
  if (breaches) {
    printf "layer check: %d breach%s of the include rules (%d files checked)\n",
      breaches, breaches == 1 ? "" : "es", files
    exit 1
  }
  printf "layer check: %d files keep to the include rules\n", files
}
' "$list"
