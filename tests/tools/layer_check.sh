#!/bin/sh
# The include rules between the engine's layers, which the compiler does
# not check:
#   - nothing under objects/, expr/ or extcall/ includes interp/;
#   - a control family (objects/controls/) and the automation objects (ole/)
#     reach the machine only through objects/member_operands.h: they include
#     neither interp/ nor core/machine.h;
#   - only toolkit/qt/ includes Qt.
# Usage: layer_check.sh SRC_DIR
src=${1:?usage: layer_check.sh SRC_DIR}
status=0

forbid() {  # forbid PATTERN WHY DIR...
  pattern=$1
  why=$2
  shift 2
  found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" "$@")
  if [ -n "$found" ]; then
    echo "layer_check: $why:"
    echo "$found"
    status=1
  fi
}

forbid 'interp/' "objects, expr and extcall must not include the interpreter" \
  "$src/objects" "$src/expr" "$src/extcall"
forbid 'interp/' "automation objects must not include the interpreter" "$src/ole"
forbid 'core/machine\.h' "control families reach the machine through objects/member_operands.h" \
  "$src/objects/controls" "$src/ole"
qt_users=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$src" | grep -v "^$src/toolkit/qt/")
if [ -n "$qt_users" ]; then
  echo "layer_check: only toolkit/qt includes Qt:"
  echo "$qt_users"
  status=1
fi
exit $status
