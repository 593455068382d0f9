#!/usr/bin/env bash
# Fails when the README or a file under data/ names a path of the repository that does not
# exist (a glob must match something). Paths inside build folders are not the repository's.
#   tests/check_paths.sh [ROOT]
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

faults=0
while IFS=: read -r file path; do
  if [[ "$path" == *'*'* ]]; then
    compgen -G "$path" >/dev/null && continue
  elif [ -e "$path" ]; then
    continue
  fi
  echo "$file: names $path, which is not in the repository" >&2
  faults=$((faults + 1))
done < <(grep -rIoP '(?<![\w./$-])(\.ci|bench|cmake|data|media_tessorin2012|scripts|src|tests|tools)/[\w./*-]*[\w*/-]' \
           README.md data | sort -u)

if [ "$faults" -ne 0 ]; then
  echo "check_paths: $faults path(s) named but missing" >&2
  exit 1
fi
echo "check_paths: every repository path the README and data/ name exists"
