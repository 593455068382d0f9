#!/usr/bin/env bash
# The tree checks must be able to fail: each is run on small trees with one fault of each kind
# it looks for, and must exit 1 naming the fault, then on a clean tree, and must pass.
#   tests/check_scripts_test.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect STATUS PATTERN COMMAND...: the command's status and a line of its stderr.
expect() {
  local status=$1 pattern=$2
  shift 2
  local got=0
  "$@" >"$work/out" 2>"$work/err" || got=$?
  if [ "$got" -ne "$status" ] || ! grep -q -- "$pattern" "$work/err" "$work/out"; then
    echo "FAIL: $* gave status $got, expected $status with '$pattern':" >&2
    cat "$work/err" >&2
    failures=$((failures + 1))
  fi
}

# A src tree: one file per layer, each including only what it may.
tree() {
  rm -rf "$work/src"
  mkdir -p "$work/src"/{platform,memory,core,mesh,graph,render/gfx,startup}
  echo '#include <cstdint>' >"$work/src/platform/a.h"
  echo '#include "platform/a.h"' >"$work/src/memory/b.h"
  echo '#include "memory/b.h"' >"$work/src/core/c.h"
  echo '#include <core/c.h>' >"$work/src/mesh/d.h"
  echo '#include "core/c.h"' >"$work/src/graph/e.h"
  echo '#include "render/gfx/f.h"' >"$work/src/render/g.h"
  echo '#include <cstdint>' >"$work/src/render/gfx/f.h"
}

tree
expect 0 "runs downward" "$here/check_includes.sh" "$work/src"
for fault in 'core/c.h:#include "render/g.h"' 'platform/a.h:#include <memory/b.h>' \
             'mesh/d.h:  #  include "graph/e.h"' 'render/gfx/f.h:#include<startup/h.h>'; do
  tree
  echo "${fault#*:}" >>"$work/src/${fault%%:*}"
  expect 1 "${fault%%:*}:2:" "$here/check_includes.sh" "$work/src"
done
tree
touch "$work/src/stray.cpp"
expect 1 "stray.cpp: not in any layer folder" "$here/check_includes.sh" "$work/src"

# A repository root whose README and data name paths.
mkdir -p "$work/root/data/scenes" "$work/root/src/operators"
touch "$work/root/src/operators/node_table.cpp"
printf 'Type names: src/operators/node_table.cpp; build/x/src/gone.cpp is a build path.\n' \
  >"$work/root/README.md"
printf '# see data/scenes/*.scene\n' >"$work/root/data/scenes/a.scene"
expect 0 "every repository path" "$here/check_paths.sh" "$work/root"
printf '# Type names: src/graph/gone.cpp.\n' >>"$work/root/data/scenes/a.scene"
expect 1 "a.scene: names src/graph/gone.cpp" "$here/check_paths.sh" "$work/root"
printf 'and tests/*.none\n' >>"$work/root/README.md"
expect 1 "README.md: names tests/\*.none" "$here/check_paths.sh" "$work/root"

[ "$failures" -eq 0 ] && echo "check_scripts_test: every check fails where it should"
exit "$failures"
