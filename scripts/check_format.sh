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

# Files go to clang-format in batches (its start costs more than checking a file); it reports
# every line off the layout as "FILE:LINE:COLUMN: error: code should be clang-formatted".
report=$(printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 50 clang-format --dry-run --Werror 2>&1) && checked=0 ||
  checked=$?
off=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ "$checked" -ne 0 ] && [ -z "$off" ]; then
  echo "check_format: clang-format failed:" >&2
  echo "$report" >&2
  exit 1
fi
if [ -n "$off" ]; then
  echo "check_format: these files are off the layout of .clang-format (scripts/check_format.sh --fix):" >&2
  echo "$off" >&2
  exit 1
fi
echo "check_format: ${#files[@]} files laid out as .clang-format pins"
