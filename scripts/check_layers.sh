#!/usr/bin/env bash
# The include check of the folder layers. Reads the layers and their exceptions from the section
# "Folder layers" of docs/architecture.md and fails, naming file and line, when a module file
# includes a header of a folder above its own that no exception opens to it, or anything of host/
# other than its module-facing headers; host/ and runner/ include no module header at all. Each
# exception row opens one header and says why; two folders never include each other. Where a
# folder orders its sub-folders, each of them counts as a folder of its own, below the folder's
# own files. It prints the number of upward includes, and each of them.
#   scripts/check_layers.sh [ROOT]     checks the tree at ROOT (default: this repository)
#   scripts/check_layers.sh --self-test  checks the verdicts on small planted trees
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/folder_order.sh"

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
  # the exceptions (including folders, the one header they may include, the reason).
  local section
  section=$(awk '/^## /{on = ($0 ~ /^## Folder layers/)} on' "$doc")
  declare -A rank=()
  local order folder
  while read -r folder order; do rank[$folder]=$order; done < <(folder_order "$doc")
  if [ "$(folder_order "$doc" | head -1 | cut -d' ' -f1)" != host ]; then
    echo "check_layers: no layer list with host/ first in $doc" >&2
    return 2
  fi

  local failures=0
  local -a rule_from=() rule_to=()
  local row from to because headers
  while IFS= read -r row; do
    from=$(awk -F'|' '{print $2}' <<<"$row")
    to=$(awk -F'|' '{print $3}' <<<"$row")
    because=$(awk -F'|' '{print $4}' <<<"$row" | tr -d '[:space:]')
    from=$(grep -oE '`[a-z_]+/`' <<<"$from" | tr -d '`/' | tr '\n' ' ' || true)
    headers=$(grep -oE '`[^`]+`' <<<"$to" | tr -d '`' || true)
    if [ -z "$from" ] || [ "$(grep -c . <<<"$headers")" -ne 1 ] || ! grep -qE '^[a-z_]+/[a-z0-9_/]+\.hpp$' <<<"$headers" ||
       [ -z "$because" ]; then
      echo "docs/architecture.md: exception row \"$(tr -s ' ' <<<"$row" | cut -c1-100)\": a row names the" \
           "including folders, exactly one header (no wildcard) and why"
      failures=$((failures + 1))
      continue
    fi
    rule_from+=("$from")
    rule_to+=("$headers")
  done < <(grep -E '^\| *[^-| ]' <<<"$section" | grep -vE '^\| *files of *\|')

  # Every project include of every file under the checked folders: file, line, header.
  declare -A includes_of=()
  local -a lines=()
  local dir
  local -a dirs=()
  for dir in "${!rank[@]}" runner; do [[ "$dir" != */* && -d "$root/$dir" ]] && dirs+=("$dir"); done
  mapfile -t lines < <(cd "$root" && grep -rnE --include='*.cpp' --include='*.hpp' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/[^"]+"' "${dirs[@]}" |
    sed -E 's/^([^:]+):([0-9]+):.*"([^"]+)".*/\1 \2 \3/')
  local entry file line header
  for entry in "${lines[@]}"; do
    read -r file line header <<<"$entry"
    includes_of[$file]+="$header "
  done

  # Whether a file of the unit $1 (a folder, or an ordered sub-folder) may include header $2: 0
  # below or in its own unit, 3 opened by an exception row, 1 not at all (depth $3 guards include
  # cycles).
  may_include() {
    local own=$1 header=$2 depth=$3 target i inner
    local -a inners
    unit_of "$header" rank
    target=$REPLY
    [ "$target" = "$own" ] && return 0
    if [ "$target" = host ]; then host_header_allowed "$header"; return; fi
    [ -n "${rank[$target]:-}" ] || return 1
    [ "${rank[$target]}" -lt "${rank[$own]}" ] && return 0
    [ "$depth" -lt 8 ] || return 1
    for i in "${!rule_from[@]}"; do
      [[ " ${rule_from[$i]} " == *" ${own%%/*} "* ]] && [ "$header" = "${rule_to[$i]}" ] || continue
      # An opened header may include only what the including folder may include itself.
      read -ra inners <<<"${includes_of[$header]:-}"
      for inner in "${inners[@]}"; do
        may_include "$own" "$inner" $((depth + 1)) || [ $? -eq 3 ] || return 1
      done
      return 3
    done
    return 1
  }

  local own target verdict
  local -a upward=()
  declare -A pair_count=()
  for entry in "${lines[@]}"; do
    read -r file line header <<<"$entry"
    unit_of "$file" rank
    own=$REPLY
    unit_of "$header" rank
    target=$REPLY
    if [ "$own" = host ] || [ "$own" = runner ]; then
      [ "${header%%/*}" = host ] || [ "${header%%/*}" = "$own" ] && continue
      echo "$file:$line: includes \"$header\": $own/ includes no module header"
    elif [ "${header%%/*}" = host ]; then
      host_header_allowed "$header" && continue
      echo "$file:$line: includes \"$header\": module files see only host/vantu*.hpp," \
           "host/words.hpp and host/tolerance.hpp"
    else
      [ "$target" != "$own" ] && pair_count["$own $target"]=$((${pair_count["$own $target"]:-0} + 1))
      verdict=0
      may_include "$own" "$header" 0 || verdict=$?
      [ "$verdict" -eq 3 ] && upward+=("$file:$line: $header")
      [ "$verdict" -ne 1 ] && continue
      echo "$file:$line: includes \"$header\", above $own/ in the folder layers: not opened" \
           "to $own/, or it includes what $own/ may not (docs/architecture.md, \"Folder layers\")"
    fi
    failures=$((failures + 1))
  done

  # Two folders that include each other, whichever way the includes were allowed.
  local pair a b
  for pair in "${!pair_count[@]}"; do
    read -r a b <<<"$pair"
    [ -n "${pair_count["$b $a"]:-}" ] && [[ "$a" < "$b" ]] || continue
    echo "check_layers: $a/ and $b/ include each other ($a/ -> $b/: ${pair_count[$pair]}," \
         "$b/ -> $a/: ${pair_count["$b $a"]})"
    failures=$((failures + 1))
  done

  if [ "${#upward[@]}" -eq 0 ]; then
    echo "check_layers: 0 upward includes"
  else
    echo "check_layers: ${#upward[@]} upward include(s), each opened by a row of the table:"
    printf '  %s\n' "${upward[@]}"
  fi
  if [ "$failures" -ne 0 ]; then
    echo "check_layers: $failures fault(s) against the folder layers"
    return 1
  fi
}

# A planted tree in $1: layers host/, low/, mid/, high/ and the exception rows given after it.
plant_tree() {
  local root=$1 row
  shift
  mkdir -p "$root"/{docs,host/core,low,mid,high/base,high/upper,runner}
  {
    printf '# Architecture\n\n## Folder layers\n\n'
    printf '1. `host/`: the host.\n2. `low/`: the lowest.\n3. `mid/`: between.\n4. `high/`: the top.\n'
    printf '   Sub-folders bottom up: `high/base/`, `high/upper/`.\n\n'
    printf '| files of | may include | because |\n|---|---|---|\n'
    for row in "$@"; do printf '%s\n' "$row"; done
    printf '\n## Next section\n'
  } >"$root/docs/architecture.md"
  printf '#pragma once\n' >"$root/host/vantu.hpp"
  printf '#pragma once\n' >"$root/host/core/trace.hpp"
  printf '#pragma once\n#include "host/vantu.hpp"\n' >"$root/low/base.hpp"
  printf '#pragma once\n#include "low/base.hpp"\n' >"$root/mid/middle.hpp"
  printf '#pragma once\n#include "host/vantu.hpp"\n' >"$root/high/service.hpp"
  printf '#pragma once\n#include "high/top.hpp"\n' >"$root/high/heavy.hpp"
  printf '#pragma once\n#include "mid/middle.hpp"\n' >"$root/high/top.hpp"
  printf '#pragma once\n' >"$root/high/base/ground.hpp"
  printf '#pragma once\n' >"$root/high/upper/roof.hpp"
}

# Checks the planted tree $1 and compares the verdict with $2 (pass or fail) and, when given, the
# report with the pattern $3. Sets failed=1 on a mismatch, naming the case $4.
expect_tree() {
  local root=$1 expect=$2 pattern=$3 name=$4 report got=pass
  report=$(check_tree "$root" 2>&1) || got=fail
  if [ "$got" != "$expect" ]; then
    echo "self-test: $name: expected $expect, got $got"
    printf '%s\n' "$report"
    failed=1
  elif [ -n "$pattern" ] && ! grep -qE "$pattern" <<<"$report"; then
    echo "self-test: $name: the report lacks /$pattern/"
    printf '%s\n' "$report"
    failed=1
  fi
}

self_test() {
  local work failed=0 cases=0
  work=$(mktemp -d)
  local service_row='| `low/` | `high/service.hpp` | the service that low/ calls |'
  local heavy_row='| `low/` | `high/heavy.hpp` | a header that drags the top in |'

  # Include verdicts, one planted file each: folder | its include | expected verdict.
  local -a includes=(
    'low|mid/middle.hpp|fail'
    'low|host/core/trace.hpp|fail'
    'host|low/base.hpp|fail'
    'runner|low/base.hpp|fail'
    'mid|low/base.hpp|pass'
    'high|host/vantu.hpp|pass'
    'low|high/service.hpp|pass'
    'low|high/heavy.hpp|fail'
    'mid|high/service.hpp|fail'
    'high/upper|high/base/ground.hpp|pass'
    'high|high/upper/roof.hpp|pass'
    'high/base|high/upper/roof.hpp|fail'
    'high/base|high/top.hpp|fail'
    'mid|high/base/ground.hpp|fail'
    'low/inner|low/base.hpp|pass'
  )
  plant_tree "$work/includes" "$service_row" "$heavy_row"
  local c folder header expect got report i=0
  for c in "${includes[@]}"; do
    IFS='|' read -r folder header expect <<<"$c"
    i=$((i + 1))
    mkdir -p "$work/includes/$folder"
    printf '#include "%s"\n' "$header" >"$work/includes/$folder/planted_$i.cpp"
  done
  report=$(check_tree "$work/includes" || true)
  i=0
  for c in "${includes[@]}"; do
    IFS='|' read -r folder header expect <<<"$c"
    i=$((i + 1))
    cases=$((cases + 1))
    if grep -q "^$folder/planted_$i.cpp:[0-9]*: includes" <<<"$report"; then got=fail; else got=pass; fi
    if [ "$got" != "$expect" ]; then
      echo "self-test: $folder/ including $header: expected $expect, got $got"
      failed=1
    fi
  done

  # Whole-tree verdicts: the rows of the table, the count of upward includes, folders that
  # include each other.
  plant_tree "$work/clean"
  expect_tree "$work/clean" pass '^check_layers: 0 upward include' 'a tree without upward includes'
  plant_tree "$work/opened" "$service_row"
  printf '#include "high/service.hpp"\n' >"$work/opened/low/user.cpp"
  expect_tree "$work/opened" pass '^  low/user.cpp:1: high/service.hpp$' 'an include opened by a row'
  plant_tree "$work/wildcard" '| `low/` | `high/*` | every service |'
  expect_tree "$work/wildcard" fail 'exactly one header' 'a wildcard row'
  plant_tree "$work/two" '| `low/` | `high/service.hpp`, `high/top.hpp` | two services |'
  expect_tree "$work/two" fail 'exactly one header' 'a row of two headers'
  plant_tree "$work/reasonless" '| `low/` | `high/service.hpp` |  |'
  expect_tree "$work/reasonless" fail 'exactly one header' 'a row without a reason'
  plant_tree "$work/everyone" '| every module folder | `high/service.hpp` | for all |'
  expect_tree "$work/everyone" fail 'exactly one header' 'a row for every folder'
  plant_tree "$work/pair" "$service_row"
  printf '#include "high/service.hpp"\n' >"$work/pair/low/user.cpp"
  printf '#include "low/base.hpp"\n' >"$work/pair/high/user.cpp"
  expect_tree "$work/pair" fail '^check_layers: high/ and low/ include each other' 'two folders including each other'
  cases=$((cases + 7))

  rm -rf "$work"
  [ "$failed" -eq 0 ] && echo "self-test: $cases verdicts as expected"
  return "$failed"
}

if [ "${1:-}" = "--self-test" ]; then
  self_test
else
  check_tree "${1:-$here}"
fi
