#!/usr/bin/env bash
# check_layers.sh: tolvarin-sim's folders are layers, lowest first:
#
#   circuit  engine  design  analysis  report  cli
#
# A file may include its own layer and the layers below it, never one
# above, and nothing outside cli/ includes cli/ (it holds main and the
# command line).  The simulator reaches the calculator only through its
# computations, never its terminal or pages.  Prints each include that
# breaks a rule as file:line and exits 1; exits 0 when there is none.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

layers=(circuit engine design analysis report cli)
rank() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  echo -1
}

# The calculator's files that draw on the terminal; the simulator must
# not include them.
ui='^(console/(console|console_internal)\.h|app/(main_loop|main_menu|main_screen|help_pages|help_text|command_line|page_rows)\.h|coils/(coil_editor|coil_table|wire_table)\.h|topologies/alternate_page\.h|sweep/sweep_pages\.h)$'

status=0
while IFS= read -r file; do
  layer="${file#sim/}"; layer="${layer%%/*}"
  own=$(rank "$layer")
  if [ "$own" -lt 0 ]; then
    echo "$file: not in a layer folder (${layers[*]})"
    status=1
    continue
  fi
  while IFS=: read -r line target; do
    if [[ "$target" == sim/* ]]; then
      to="${target#sim/}"; to="${to%%/*}"
      other=$(rank "$to")
      if [ "$other" -lt 0 ]; then
        echo "$file:$line: includes $target, which is in no layer"
        status=1
      elif [ "$other" -gt "$own" ]; then
        echo "$file:$line: includes $target, a layer above ($layer < $to)"
        status=1
      fi
    elif [[ "$target" =~ $ui ]]; then
      echo "$file:$line: includes $target, the calculator's terminal or pages"
      status=1
    fi
  done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(find sim -name '*.h' -o -name '*.cpp' | sort)
exit $status
