#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer. Layers, lowest first:
# core's folders in their own order, subspec, lineshapes, relaxation, the catalogue, the
# window layer, plot, ui. The one exception: core/model (and the document above it) holds
# its components through the subspectrum interface, so it may include subspec/subspec.h
# and the headers that one includes.
# The model in turn holds subspectra, so the model formulas below the catalogue may not
# include it. Tests, benchmarks and fuzz targets may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(core/text core/numerics core/spectrum core/fit core/model core/document core/calibration subspec lineshapes
        relaxation catalogue wingui plot ui)
rank() {
  local path=$1 best=-1 i
  for i in "${!layers[@]}"; do
    case "$path" in "${layers[$i]}"/*) best=$i ;; esac
  done
  echo "$best"
}

allowed_up=(subspec/subspec.h subspec/param_info.h)
status=0
while IFS= read -r file; do
  from=$(rank "$file")
  if [ "$from" -lt 0 ]; then
    echo "layers: $file is in no layer; add its folder to scripts/check-layers.sh"; status=1; continue
  fi
  while IFS= read -r inc; do
    to=$(rank "$inc")
    [ "$to" -lt 0 ] && continue          # a system or library header
    if [[ ( "$inc" == core/model/* || "$inc" == core/document/* ) && "$file" =~ ^(subspec|lineshapes|relaxation)/ ]]; then
      echo "layers: $file includes $inc, but the model holds the subspectra"; status=1; continue
    fi
    [ "$to" -le "$from" ] && continue
    if [[ "$file" == core/* ]]; then
      for ok in "${allowed_up[@]}"; do [ "$inc" = "$ok" ] && continue 2; done
    fi
    echo "layers: $file includes $inc from a higher layer"; status=1
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard -- core subspec lineshapes relaxation catalogue wingui plot ui \
           | grep -E '\.(h|hpp|cpp|c)$')
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
