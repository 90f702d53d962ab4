#!/usr/bin/env bash
# Fails when a source under src/ includes a header of a module it may not use, going by
# scripts/module_arrows.txt: `#include "<module>/..."` is allowed from the module itself and
# from any module that reaches <module> along the arrows. Prefixes that name no folder of src/
# (the generated "config/") are not modules and are left alone.
#
#   bash scripts/check-arrows.sh [ROOT]     (ROOT: the tree to check, the repository by default)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${1:-"$here/.."}
table="$here/module_arrows.txt"

declare -A uses=()
while IFS= read -r line; do
  line=${line%%#*}
  [[ $line =~ ^[[:space:]]*([a-z_]+):(.*)$ ]] || continue
  uses[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
done <"$table"

# Every module reachable from $1 along the arrows, itself included.
reachable() {
  local -A seen=([$1]=1)
  local queue=("$1") next module
  while ((${#queue[@]})); do
    module=${queue[0]}
    queue=("${queue[@]:1}")
    for next in ${uses[$module]-}; do
      if [[ -z ${seen[$next]-} ]]; then
        seen[$next]=1
        queue+=("$next")
      fi
    done
  done
  echo "${!seen[@]}"
}

failed=0
declare -A allowed=()
for folder in "$root"/src/*/; do
  module=$(basename "$folder")
  if [[ -z ${uses[$module]+set} ]]; then
    echo "src/$module: no line for it in scripts/module_arrows.txt" >&2
    failed=1
    continue
  fi
  allowed[$module]=" $(reachable "$module") "
done

while IFS= read -r -d '' file; do
  relative=${file#"$root"/}
  module=${relative#src/}
  module=${module%%/*}
  [[ -n ${allowed[$module]-} ]] || continue
  number=0
  while IFS= read -r line; do
    number=$((number + 1))
    [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]] || continue
    used=${BASH_REMATCH[1]}
    [[ -d $root/src/$used ]] || continue
    if [[ ${allowed[$module]} != *" $used "* ]]; then
      echo "$relative:$number: $module may not include \"$used/...\" (no arrow $module -> $used)" >&2
      failed=1
    fi
  done <"$file"
done < <(find "$root/src" -type f \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' -o -name '*.cc' \) -print0)

if ((failed)); then
  echo "module arrows check failed (see scripts/module_arrows.txt)" >&2
  exit 1
fi
