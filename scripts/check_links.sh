#!/usr/bin/env bash
# The link check of the folder layers. Every symbol an object file of the module takes from
# another object of the module must be defined in the object's own folder or in one below it in
# the section "Folder layers" of docs/architecture.md. A lower folder calls up only through a seam
# table, whose entries are plain function pointers filled at start-up and take no symbol, so seams
# pass by themselves. The check reads the objects the build made (nm), one directory per folder,
# and fails on a climb naming the symbol, the object that takes it, the object that defines it and
# both folders. An object whose source is gone (a file moved or deleted since that build) is left
# out, so a stale object never counts. Only strong definitions count: a weak one (an inline
# function or a template instance) stands in every object that uses it, and the include check
# already places its header.
#   scripts/check_links.sh [OBJECTS [ROOT]]  checks the objects below OBJECTS (default: the
#                                            module's objects in build/) against the layers of ROOT
#   scripts/check_links.sh --self-test       checks the verdicts on small planted objects
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/folder_order.sh"

# The folder (below the tree $2) of the files of the unity batch whose object is $1 (below the
# objects $3), from the batch's source beside it; nothing if a file of it is gone. A batch holds
# files of one folder only (scripts/unity_groups.py).
batch_folder() {
  local object=$1 root=$2 objects=$3 file folder=
  [ -f "$objects/${object%.o}" ] || return 0
  while IFS= read -r file; do
    [ -f "$file" ] || return 0
    folder=$(dirname "${file#"$root"/}")
  done < <(sed -n 's/^#include "\(.*\)"$/\1/p' "$objects/${object%.o}")
  printf '%s\n' "$folder"
}

# The objects below $1 (their paths below it) whose sources still stand in the tree $2, a unity
# batch's object as "OBJECT FOLDER".
live_objects() {
  local objects=$1 root=$2 object folder
  while IFS= read -r object; do
    if [ -f "$root/${object%.o}" ]; then
      printf '%s\n' "$object"
    elif [[ $object == Unity/unity_*.o ]]; then
      folder=$(batch_folder "$object" "$root" "$objects")
      if [ -n "$folder" ]; then printf '%s %s\n' "$object" "$folder"; fi
    fi
  done < <(cd "$objects" && find . -name '*.o' -printf '%P\n' | sort)
}

# The climbs of the objects below $1 from the tree $2 against the folder order $3 ("folder rank"
# lines): one line each, then a last line "references N" with the number of references between
# two folders.
climbs() {
  local objects=$1 root=$2 order=$3
  local live renames
  live=$(live_objects "$objects" "$root")
  # a unity batch's object is named as if it stood in its files' folder
  renames=$(awk 'NF == 2 { printf "s|^%s:|%s/%s:|\n", $1, $2, substr($1, 7) }' <<<"$live")
  cut -d' ' -f1 <<<"$live" | (cd "$objects" && tr '\n' '\0' | xargs -0 -r nm -P -A 2>&1) |
    sed "$renames" | awk -v order="$order" '
      # The unit of the order a path belongs to: its ordered sub-folder, else its folder.
      function unit(file,   two) {
        two = file
        if (match(two, /^[^\/]+\/[^\/]+\//)) {
          two = substr(two, 1, RLENGTH - 1)
          if (two in rank) return two
        }
        sub(/\/.*/, "", file)
        return file
      }
      BEGIN {
        n = split(order, rows, "\n")
        for (i = 1; i <= n; i++) { split(rows[i], f, " "); rank[f[1]] = f[2] }
      }
      /: no symbols$/ { next }
      {
        file = $1; sub(/:$/, "", file)
        if (!(file in seen)) {
          seen[file] = 1
          if (!(unit(file) in rank)) print file ": " unit(file) "/ is no folder of the layers"
        }
        if ($3 == "U") { taker[++refs] = file; taken[refs] = $2 }
        else if ($3 ~ /^[TDBRGSC]$/) definer[$2] = file
      }
      END {
        between = 0
        for (i = 1; i <= refs; i++) {
          if (!(taken[i] in definer)) continue
          own = unit(taker[i]); up = unit(definer[taken[i]])
          if (own == up) continue
          between++
          if ((own in rank) && (up in rank) && rank[up] + 0 > rank[own] + 0)
            print taker[i] ": takes " taken[i] " from " definer[taken[i]] ": " up "/ stands above " own "/ in the folder layers"
        }
        print "references " between
      }' | c++filt
}

check_objects() {
  local objects=$1 root=$2 order report faults
  local doc="$root/docs/architecture.md"
  [ -f "$doc" ] || { echo "check_links: $doc not found" >&2; return 2; }
  order=$(folder_order "$doc")
  [ "$(head -1 <<<"$order" | cut -d' ' -f1)" = host ] ||
    { echo "check_links: no layer list with host/ first in $doc" >&2; return 2; }
  [ -n "$(live_objects "$objects" "$root" 2>/dev/null)" ] ||
    { echo "check_links: no object files of $root below $objects (build the module first)" >&2; return 2; }
  report=$(climbs "$objects" "$root" "$order")
  faults=$(grep -vc '^references ' <<<"$report" || true)
  grep -v '^references ' <<<"$report" || true
  echo "check_links: $(grep '^references ' <<<"$report" | cut -d' ' -f2) references between folders," \
       "$faults against the folder layers"
  [ "$faults" -eq 0 ]
}

# Planted objects in $1: folders low/, mid/, high/ (its sub-folders base/ and upper/ in this
# order) above a host/, one source each that defines what the cases take, and a seam table of
# low/ that high/ fills.
plant_objects() {
  local root=$1
  mkdir -p "$root"/{docs,low,mid,high/base,high/upper}
  printf '# Architecture\n\n## Folder layers\n\n1. `host/`: the host.\n2. `low/`: the lowest.\n' >"$root/docs/architecture.md"
  printf '3. `mid/`: between.\n4. `high/`: the top.\n   Sub-folders bottom up: `high/base/`, `high/upper/`.\n\n' \
    >>"$root/docs/architecture.md"
  printf '## Next section\n' >>"$root/docs/architecture.md"
  printf 'int ground_service() { return 4; }\n' >"$root/high/base/ground.cpp"
  printf 'int roof_service() { return 5; }\n' >"$root/high/upper/roof.cpp"
  printf 'struct low_seams { int (*above)(); };\nlow_seams& low_seam_table() { static low_seams t{}; return t; }\n' \
    >"$root/low/seams.cpp"
  printf 'int low_service() { return 1; }\n' >"$root/low/low.cpp"
  printf 'int low_service();\nint mid_service() { return low_service() + 1; }\n' >"$root/mid/mid.cpp"
  printf 'int high_value = 3;\nint high_service() { return high_value; }\n' >"$root/high/high.cpp"
  printf 'struct low_seams { int (*above)(); };\nlow_seams& low_seam_table();\nint high_service();\n%s\n' \
    'static const int filled = (low_seam_table().above = &high_service, 0);' >"$root/high/seam_fills.cpp"
}

# Compiles every source of the planted tree $1 into $1/obj, keeping the folders.
compile_planted() {
  local root=$1 source
  while IFS= read -r source; do
    mkdir -p "$root/obj/$(dirname "$source")"
    "${CXX:-c++}" -std=c++20 -O0 -c "$root/$source" -o "$root/obj/$source.o"
  done < <(cd "$root" && find . -name '*.cpp' -not -path './obj/*' -printf '%P\n')
}

self_test() {
  local work failed=0 cases=0
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN

  # Link verdicts, one planted object each: folder | its code (planted_N names its function) |
  # expected verdict. The fifth loses its source after the build.
  local -a takes=(
    'mid|int low_service(); int planted_N() { return low_service(); }|pass'
    'high|int mid_service(); int planted_N() { return mid_service(); }|pass'
    'low|int high_service(); int planted_N() { return high_service(); }|fail'
    'mid|int high_service(); int planted_N() { return high_service(); }|fail'
    'low|int high_service(); int planted_N() { return high_service(); }|pass'
    'low|extern int high_value; int planted_N() { return high_value; }|fail'
    'low|struct low_seams { int (*above)(); }; low_seams& low_seam_table(); int planted_N() { return low_seam_table().above(); }|pass'
    'loose|int low_service(); int planted_N() { return low_service(); }|fail'
    'high/upper|int ground_service(); int planted_N() { return ground_service(); }|pass'
    'high/base|int roof_service(); int planted_N() { return roof_service(); }|fail'
    'high/base|int high_service(); int planted_N() { return high_service(); }|fail'
    'high|int roof_service(); int planted_N() { return roof_service(); }|pass'
  )
  plant_objects "$work/takes"
  local c folder code expect got report i=0
  for c in "${takes[@]}"; do
    IFS='|' read -r folder code expect <<<"$c"
    i=$((i + 1))
    mkdir -p "$work/takes/$folder"
    sed "s/planted_N/planted_$i/" <<<"$code" >"$work/takes/$folder/planted_$i.cpp"
  done
  compile_planted "$work/takes"
  # A climb left behind by a source that is gone: its object does not count.
  rm "$work/takes/low/planted_5.cpp"
  # A unity batch of low/ that climbs: its object counts as low/'s.
  mkdir -p "$work/takes/obj/Unity"
  printf 'int high_service();\nint batched() { return high_service(); }\n' >"$work/takes/low/batched.cpp"
  printf '#include "%s"\n' "$work/takes/low/batched.cpp" >"$work/takes/obj/Unity/unity_t_1_cxx.cxx"
  "${CXX:-c++}" -std=c++20 -O0 -c "$work/takes/obj/Unity/unity_t_1_cxx.cxx" -o "$work/takes/obj/Unity/unity_t_1_cxx.cxx.o"
  report=$(check_objects "$work/takes/obj" "$work/takes" 2>&1 || true)
  cases=$((cases + 1))
  if ! grep -q '^low/unity_t_1_cxx.cxx.o: takes high_service' <<<"$report"; then
    echo "self-test: a climb of a unity batch of low/ went unreported"
    failed=1
  fi
  i=0
  for c in "${takes[@]}"; do
    IFS='|' read -r folder code expect <<<"$c"
    i=$((i + 1))
    cases=$((cases + 1))
    if grep -q "^$folder/planted_$i.cpp.o: " <<<"$report"; then got=fail; else got=pass; fi
    if [ "$got" != "$expect" ]; then
      echo "self-test: $folder/ with \"$code\": expected $expect, got $got"
      failed=1
    fi
  done

  # Whole-tree verdicts: a climb fails naming the symbol and both folders; a tree that keeps the
  # order passes; no objects at all is no pass.
  local climb='^low/planted_3.cpp.o: takes high_service\(\) from high/high.cpp.o: high/ stands above low/'
  if ! grep -qE "$climb" <<<"$report"; then
    echo "self-test: the report lacks /$climb/"
    printf '%s\n' "$report"
    failed=1
  fi
  plant_objects "$work/clean"
  compile_planted "$work/clean"
  if ! report=$(check_objects "$work/clean/obj" "$work/clean" 2>&1) ||
     ! grep -q '^check_links: 2 references between folders, 0 against' <<<"$report"; then
    echo "self-test: planted objects that keep the order: expected a pass with 2 references"
    printf '%s\n' "$report"
    failed=1
  fi
  mkdir -p "$work/empty"
  if check_objects "$work/empty" "$work/clean" >/dev/null 2>&1; then
    echo "self-test: a folder without objects passed"
    failed=1
  fi
  cases=$((cases + 3))

  [ "$failed" -eq 0 ] && echo "self-test: $cases verdicts as expected"
  return "$failed"
}

if [ "${1:-}" = "--self-test" ]; then
  self_test
else
  check_objects "${1:-$here/build/CMakeFiles/drelan.dir}" "${2:-$here}"
fi
