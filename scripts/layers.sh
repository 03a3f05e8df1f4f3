#!/usr/bin/env bash
# Checks every #include "..." under src/ against the program's layers, lowest first: a folder
# includes only folders below it, or beside it where its layer allows that, and no two folders
# include each other. Lists each include that points the wrong way and fails when there is one;
# with --graph it prints which folder includes which.
#
#   scripts/layers.sh [--graph]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

# folder  layer  beside (whether folders of the same layer may include one another)
layers='
text              1 no
platform          2 no
command           3 yes
profile           3 yes
inf               3 yes
ipp               3 yes
forms             4 no
platform/sim      5 yes
platform/sim/ui   5 yes
platform/win32    5 yes
platform/win32/ui 5 yes
engine            6 no
maker             6 no
tools             6 no
ui                7 no
app               8 no
scenario          9 no
winmain           9 no
'

# Every include as "from-folder to-folder file:line", folders by the longest listed prefix.
edges=$(grep -rnE '^#include "[^"]+"' --include='*.h' --include='*.cpp' . |
  sed -E 's|^\./||; s|^([^:]+):([0-9]+):#include "([^"]+)".*|\1 \2 \3|' |
  awk -v layers="$layers" '
    BEGIN {
      n = split(layers, rows, "\n")
      for (i = 1; i <= n; i++) if (split(rows[i], f, " ") == 3) { known[f[1]] = 1 }
    }
    function folder(path,   best, k) {
      best = ""
      for (k in known)
        if (index(path, k "/") == 1 && length(k) > length(best)) best = k
      return best
    }
    {
      from = folder($1); to = folder($3)
      if (to == "") next   # a header of the same folder, named without its folder
      if (from == "") from = "?" $1
      print from, to, $1 ":" $2
    }')

if [ "${1:-}" = "--graph" ]; then
  awk '$1 != $2 { print $1 " -> " $2 }' <<<"$edges" | sort | uniq -c | sort -k2
  exit 0
fi

breaches=$(awk -v layers="$layers" '
  BEGIN {
    n = split(layers, rows, "\n")
    for (i = 1; i <= n; i++) if (split(rows[i], f, " ") == 3) { level[f[1]] = f[2]; beside[f[1]] = f[3] }
  }
  $1 == $2 { next }
  {
    pair[$1 " " $2] = $3
    if (!($1 in level)) { print $3 ": " $1 " is in no layer"; next }
    if (level[$2] > level[$1])
      print $3 ": " $1 " (layer " level[$1] ") includes " $2 " (layer " level[$2] ")"
    else if (level[$2] == level[$1] && beside[$1] != "yes")
      print $3 ": " $1 " includes " $2 ", beside it in layer " level[$1]
  }
  END {
    for (p in pair) {
      split(p, ft, " ")
      if ((ft[2] " " ft[1]) in pair && ft[1] < ft[2])
        print pair[p] " and " pair[ft[2] " " ft[1]] ": " ft[1] " and " ft[2] " include each other"
    }
  }' <<<"$edges" | sort)

if [ -n "$breaches" ]; then
  echo "Includes against the layers:"
  echo "$breaches"
  exit 1
fi
echo "layers: $(wc -l <<<"$edges") includes, none against the layers"
