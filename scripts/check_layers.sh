#!/bin/sh
# Checks the include layers of docs/architecture.md and prints each breach as
# "path:line: error: ..." (paths from the repository root); exits 1 when there is any.
#   control/        the standard library, host/ interfaces (files directly in host/), control/
#   propertypage/   the standard library, host/ interfaces, propertypage/
#   host/*          the standard library and host/ interfaces only; host/*.cpp may also use
#                   POSIX headers (<unistd.h>, <sys/...>, ...) and <nlohmann/...>
#   host/<name>/    a host: never control/, propertypage/ or another host's folder
#   Qt              only in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and
#                   tests/consumer/ files named *qt*
# A quoted include is a path from the repository root when its first folder is a top-level
# folder of the repository, otherwise it is relative to the including file ("session.h").
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
awk -v tops="$tops" '
BEGIN {
  n = split(tops, t, " ")
  for (i = 1; i <= n; ++i) top[t[i]] = 1
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
  n = split("unistd.h fcntl.h dirent.h dlfcn.h pwd.h poll.h termios.h", s, " ")
  for (i = 1; i <= n; ++i) posix[s[i]] = 1
  files = 0
  breaches = 0
}

# "a/b/../c/./d.h" -> "a/c/d.h"
function normalize(path,    parts, n, i, out, k) {
  n = split(path, parts, "/")
  k = 0
  for (i = 1; i <= n; ++i) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == ".." && k > 0 && out[k] != "..") { --k; continue }
    out[++k] = parts[i]
  }
  path = ""
  for (i = 1; i <= k; ++i) path = path (i > 1 ? "/" : "") out[i]
  return path
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

function check(file, line, text,    rest, open, closing, name, what, target, dir, scope, own) {
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

  # The project file the include names, from the repository root ("" for other headers).
  target = ""
  dir = file
  sub(/\/?[^\/]*$/, "", dir)
  if (open == "\"" && name != "") {
    target = (firstFolder(name) in top) ? normalize(name) : normalize(dir "/" name)
  } else if (open == "<" && (firstFolder(name) in top)) {
    target = normalize(name)
  }

  if ((isQt(name) || target ~ /^host\/qt\//) && !qtAllowed(file)) {
    breach(file, line, what, "Qt belongs in host/qt/, qt/, designer/, apps/, tests/qt/, examples/, and bench/ and tests/consumer/ files named *qt*")
    return
  }

  if (file ~ /^(control|propertypage)\//) {
    scope = firstFolder(file)
    if (target == "" && open == "<" && (name in std)) return
    if (target ~ /^host\/[^\/]+$/ || index(target, scope "/") == 1) return
    if (name == "") {
      breach(file, line, what, "not a plain include: " scope "/ includes name their header")
    } else if (target ~ /^host\//) {
      breach(file, line, what, target " belongs to a host; " scope "/ includes only the interfaces directly in host/")
    } else if (target != "") {
      breach(file, line, what, scope "/ includes only the standard library, host/ interfaces and " scope "/")
    } else {
      breach(file, line, what, "not a standard library header; " scope "/ includes only the standard library, host/ interfaces and " scope "/")
    }
  } else if (file ~ /^host\/[^\/]+$/) {
    if (target == "" && open == "<" && (name in std)) return
    if (target ~ /^host\/[^\/]+$/) return
    # Implementation files of the host interfaces may use the system and the JSON library; their
    # headers may not.
    if (file ~ /\.cpp$/ && open == "<" && (name ~ /^nlohmann\// || name ~ /^sys\// || (name in posix))) return
    if (name == "") {
      breach(file, line, what, "not a plain include: host/ interfaces name their header")
    } else if (target != "") {
      breach(file, line, what, "host/ interfaces include only the standard library and host/ interfaces")
    } else {
      breach(file, line, what, "not a standard library header; host/ interfaces include only the standard library and host/ interfaces")
    }
  } else if (file ~ /^host\/[^\/]+\//) {
    own = file
    sub(/^host\//, "", own)
    own = "host/" firstFolder(own) "/"
    if (target ~ /^(control|propertypage)\// || (target ~ /^host\/[^\/]+\// && index(target, own) != 1)) {
      breach(file, line, what, own " is a host: from the project it includes only host/ interfaces and " own)
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
    printf "layer check: %d breach%s of the layers in docs/architecture.md (%d files checked)\n",
      breaches, breaches == 1 ? "" : "es", files
    exit 1
  }
  printf "layer check: %d files keep to the layers\n", files
}
' "$list"
