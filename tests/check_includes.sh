#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own, in either include
# form ("..." or <...>). Layers, lowest first:
#   platform, render/gfx | memory | core | mesh, graph + operators | render | startup | authoring
# mesh and graph + operators stand side by side and do not include each other.
#   tests/check_includes.sh [SRC_DIR]
set -euo pipefail
src="${1:-$(cd "$(dirname "$0")/../src" && pwd)}"

# The layer of a path relative to src/ (render/gfx before render).
layer() {
  case "$1" in
    platform/*) echo "0 platform" ;;
    render/gfx/*) echo "0 gfx" ;;
    memory/*) echo "1 memory" ;;
    core/*) echo "2 core" ;;
    mesh/*) echo "3 mesh" ;;
    graph/* | operators/*) echo "3 graph" ;;
    render/*) echo "4 render" ;;
    startup/*) echo "5 startup" ;;
    authoring/*) echo "6 authoring" ;;
    *) echo "" ;;
  esac
}

faults=0
while IFS= read -r file; do
  rel="${file#"$src"/}"
  read -r rank name <<<"$(layer "$rel")" || true
  if [ -z "${rank:-}" ]; then
    echo "$rel: not in any layer folder" >&2
    faults=$((faults + 1))
    continue
  fi
  while IFS=: read -r line target; do
    read -r trank tname <<<"$(layer "$target")" || true
    [ -z "${trank:-}" ] && continue  # a third-party or system header
    if [ "$trank" -gt "$rank" ] || { [ "$trank" -eq "$rank" ] && [ "$tname" != "$name" ] &&
         { [ "$name" = mesh ] || [ "$tname" = mesh ]; }; }; then
      echo "$rel:$line: $name includes \"$target\" ($tname)" >&2
      faults=$((faults + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$file" |
           sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"].*/\1:\2/')
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)

if [ "$faults" -ne 0 ]; then
  echo "check_includes: $faults include(s) against the layer order" >&2
  exit 1
fi
echo "check_includes: every include under $src runs downward or sideways"
