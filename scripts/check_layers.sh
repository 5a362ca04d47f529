#!/usr/bin/env bash
# The include check of the folder layers. Reads the layers and their exceptions from the section
# "Folder layers" of docs/architecture.md and fails, naming file and line, when a module file
# includes a header of a folder above its own that no exception opens to it, or anything of host/
# other than its module-facing headers; host/ and runner/ include no module header at all.
#   scripts/check_layers.sh [ROOT]     checks the tree at ROOT (default: this repository)
#   scripts/check_layers.sh --self-test  plants includes into a copy and checks the verdicts
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)

# The host headers a module file may include.
host_header_allowed() {
  case "$1" in
    host/vantu*.hpp | host/words.hpp | host/tolerance.hpp) return 0 ;;
    *) return 1 ;;
  esac
}

check_tree() {
  local root=$1
  local doc="$root/docs/architecture.md"
  [ -f "$doc" ] || { echo "check_layers: $doc not found" >&2; return 2; }

  # The section "## Folder layers": numbered items name the folders bottom up; table rows name
  # the exceptions (including folders, then the headers they may include).
  local section
  section=$(awk '/^## /{on = ($0 ~ /^## Folder layers/)} on' "$doc")
  declare -A rank=()
  local order=0 folder
  while read -r folder; do
    order=$((order + 1))
    rank[$folder]=$order
  done < <(grep -E '^[0-9]+\. `[a-z_]+/`' <<<"$section" | sed -E 's/^[0-9]+\. `([a-z_]+)\/`.*/\1/')
  if [ "${rank[host]:-}" != 1 ]; then
    echo "check_layers: no layer list with host/ first in $doc" >&2
    return 2
  fi

  local -a rule_from=() rule_to=()
  local row from to
  while IFS= read -r row; do
    from=$(awk -F'|' '{print $2}' <<<"$row")
    to=$(awk -F'|' '{print $3}' <<<"$row")
    if grep -q 'every module folder' <<<"$from"; then from='*'
    else from=$(grep -oE '`[a-z_]+/`' <<<"$from" | tr -d '`/' | tr '\n' ' ' || true)
    fi
    to=$(grep -oE '`[a-z_]+/[^`]+`' <<<"$to" | tr -d '`' | tr '\n' ' ' || true)
    [ -n "$from" ] && [ -n "$to" ] || continue
    rule_from+=("$from")
    rule_to+=("$to")
  done < <(grep -E '^\| *(`|every)' <<<"$section")

  # Every project include of every file under the checked folders: file, line, header.
  declare -A includes_of=()
  local -a lines=()
  local dir
  local -a dirs=()
  for dir in "${!rank[@]}" runner; do [ -d "$root/$dir" ] && dirs+=("$dir"); done
  mapfile -t lines < <(cd "$root" && grep -rnE --include='*.cpp' --include='*.hpp' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/[^"]+"' "${dirs[@]}" |
    sed -E 's/^([^:]+):([0-9]+):.*"([^"]+)".*/\1 \2 \3/')
  local entry file line header
  for entry in "${lines[@]}"; do
    read -r file line header <<<"$entry"
    includes_of[$file]+="$header "
  done

  # Whether a file of folder $1 may include header $2 (depth $3 guards include cycles).
  may_include() {
    local own=$1 header=$2 depth=$3 target=${2%%/*} i pattern inner
    local -a patterns inners
    [ "$target" = "$own" ] && return 0
    if [ "$target" = host ]; then host_header_allowed "$header"; return; fi
    [ -n "${rank[$target]:-}" ] || return 1
    [ "${rank[$target]}" -lt "${rank[$own]}" ] && return 0
    [ "$depth" -lt 8 ] || return 1
    for i in "${!rule_from[@]}"; do
      [ "${rule_from[$i]}" = '*' ] || [[ " ${rule_from[$i]} " == *" $own "* ]] || continue
      read -ra patterns <<<"${rule_to[$i]}"
      for pattern in "${patterns[@]}"; do
        # shellcheck disable=SC2053
        [[ "$header" == $pattern ]] || continue
        # An opened header may include only what the including folder may include itself.
        read -ra inners <<<"${includes_of[$header]:-}"
        for inner in "${inners[@]}"; do
          may_include "$own" "$inner" $((depth + 1)) || return 1
        done
        return 0
      done
    done
    return 1
  }

  local failures=0 own
  for entry in "${lines[@]}"; do
    read -r file line header <<<"$entry"
    own=${file%%/*}
    if [ "$own" = host ] || [ "$own" = runner ]; then
      [ "${header%%/*}" = host ] || [ "${header%%/*}" = "$own" ] && continue
      echo "$file:$line: includes \"$header\": $own/ includes no module header"
    elif [ "${header%%/*}" = host ]; then
      host_header_allowed "$header" && continue
      echo "$file:$line: includes \"$header\": module files see only host/vantu*.hpp," \
           "host/words.hpp and host/tolerance.hpp"
    else
      may_include "$own" "$header" 0 && continue
      echo "$file:$line: includes \"$header\", above $own/ in the folder layers: not opened" \
           "to $own/, or it includes what $own/ may not (docs/architecture.md, \"Folder layers\")"
    fi
    failures=$((failures + 1))
  done
  if [ "$failures" -ne 0 ]; then
    echo "check_layers: $failures include(s) against the folder layers"
    return 1
  fi
}

# Plants files into a copy of the tree, checks it once and compares each planted file's verdict
# with the expected one.
self_test() {
  local work failed=0 d
  local -a present=()
  work=$(mktemp -d)
  for d in docs driver toolpath pocket pocket_arrays pocket_lanes tools listing surfaces cutter \
           clearing edit host runner; do
    [ -d "$here/$d" ] && present+=("$d")
  done
  (cd "$here" && find "${present[@]}" \( -name '*.hpp' -o -name '*.cpp' -o -name '*.md' \) |
     xargs cp --parents -t "$work")
  if ! check_tree "$work" >/dev/null; then
    echo "self-test: the tree as it stands fails the check"
    check_tree "$work" || true
    rm -rf "$work"
    return 1
  fi
  # folder of the planted file | its include | expected verdict (pass or fail)
  local -a cases=(
    'pocket_arrays|driver/proc_driver.hpp|fail'
    'pocket_arrays|host/core/trace.hpp|fail'
    'host|driver/proc_driver.hpp|fail'
    'toolpath|driver/nc_state_blocks.hpp|pass'
    'toolpath|pocket/pocket_callbacks.hpp|fail'
    'pocket_lanes|pocket/polbuf.hpp|pass'
    'pocket_arrays|surfaces/planted_service.hpp|pass'
    'pocket_arrays|surfaces/planted_heavy.hpp|fail'
    'driver|pocket_arrays/pokarr.hpp|pass'
  )
  mkdir -p "$work/surfaces"
  printf '#pragma once\n#include "host/words.hpp"\n' >"$work/surfaces/planted_service.hpp"
  printf '#pragma once\n#include "driver/proc_driver.hpp"\n' >"$work/surfaces/planted_heavy.hpp"
  local c folder header expect got report i=0
  for c in "${cases[@]}"; do
    IFS='|' read -r folder header expect <<<"$c"
    i=$((i + 1))
    printf '#include "%s"\n' "$header" >"$work/$folder/planted_$i.cpp"
  done
  report=$(check_tree "$work" || true)
  i=0
  for c in "${cases[@]}"; do
    IFS='|' read -r folder header expect <<<"$c"
    i=$((i + 1))
    if grep -q "^$folder/planted_$i.cpp:" <<<"$report"; then got=fail; else got=pass; fi
    if [ "$got" != "$expect" ]; then
      echo "self-test: $folder/ including $header: expected $expect, got $got"
      failed=1
    fi
  done
  rm -rf "$work"
  [ "$failed" -eq 0 ] && echo "self-test: ${#cases[@]} planted includes judged as expected"
  return "$failed"
}

if [ "${1:-}" = "--self-test" ]; then
  self_test
else
  check_tree "${1:-$here}"
fi
