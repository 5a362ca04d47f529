# The order of the module's folders, read from the section "## Folder layers" of
# docs/architecture.md; sourced by the include check (check_layers.sh) and the link check
# (check_links.sh). The numbered items name the folders bottom up. An item may order its folder's
# sub-folders in a sentence "Sub-folders bottom up: `a/x/`, `a/y/`." Then each of them is a unit
# of the order of its own, and the folder's own files stand above all of them; without such a
# sentence the folder is one unit with its sub-folders.

# Prints one line "unit rank" per unit of the order in the document $1, bottom up, host/ first: a
# folder ranks 100 times its place in the list, its ordered sub-folders 1, 2, ... above that and
# its own files 99 above it.
folder_order() {
  awk '
    function flush(   list, name, n) {
      if (text == "") return
      if (match(text, /Sub-folders bottom up:[^.]*\./)) {
        list = substr(text, RSTART, RLENGTH)
        while (match(list, /`[a-z_]+\/[a-z_]+\/`/)) {
          name = substr(list, RSTART + 1, RLENGTH - 3)
          list = substr(list, RSTART + RLENGTH)
          if (index(name, order[place] "/") == 1) print name, place * 100 + (++n)
        }
      }
      print order[place], place * 100 + 99
      text = ""
    }
    /^## / { flush(); on = ($0 ~ /^## Folder layers/); next }
    !on { next }
    /^[0-9]+\. `[a-z_]+\/`/ {
      flush()
      name = $0
      sub(/^[0-9]+\. `/, "", name)
      sub(/\/`.*/, "", name)
      order[++place] = name
      text = $0
      next
    }
    /^ +[^ ]/ && text != "" { text = text " " $0; next }
    { flush() }
    END { flush() }' "$1"
}

# Sets REPLY to the unit of the order that the file or header path $1 belongs to, given the
# units of folder_order as the keys of the associative array named $2.
unit_of() {
  local path=$1 rest two
  local -n known=$2
  rest=${path#*/}
  two=${path%%/*}/${rest%%/*}
  if [[ "$rest" == */* && -n "${known[$two]:-}" ]]; then REPLY=$two; else REPLY=${path%%/*}; fi
}
