#!/usr/bin/env bash
# The format check: every C++ file the repository tracks is laid out as .clang-format pins it. It
# names each file that is off and fails; with --fix it formats them in place instead.
#   scripts/check_format.sh          checks
#   scripts/check_format.sh --fix    formats
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.hpp')
if [ "${1:-}" = --fix ]; then
  printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 40 clang-format -i
  exit 0
fi

off=$(printf '%s\n' "${files[@]}" |
      xargs -P "$(nproc)" -I{} sh -c 'clang-format --dry-run --Werror "$1" >/dev/null 2>&1 || echo "$1"' _ {} |
      sort)
if [ -n "$off" ]; then
  echo "check_format: these files are off the layout of .clang-format (scripts/check_format.sh --fix):" >&2
  echo "$off" >&2
  exit 1
fi
echo "check_format: ${#files[@]} files laid out as .clang-format pins"
