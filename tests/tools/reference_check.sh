#!/bin/sh
# docs/reference.md is what `kestrel doc` makes from the tables, and every
# member of every object type says what it means.
# Usage: reference_check.sh KESTREL PROJECT_DIR
kestrel=${1:?usage: reference_check.sh KESTREL PROJECT_DIR}
root=${2:?usage: reference_check.sh KESTREL PROJECT_DIR}
made=$(mktemp)
trap 'rm -f "$made"' EXIT
"$kestrel" doc -o "$made" || exit 1
status=0
if ! diff -u "$root/docs/reference.md" "$made"; then
  echo "reference_check: docs/reference.md is out of date: run kestrel doc -o docs/reference.md"
  status=1
fi
# Member rows (| code | name | statement | expression | meaning |) with no meaning.
silent=$(sed -n '/^## Object types/,/^## Events/p' "$made" | grep -E '^\| [0-9]+ \|.*\|  \|$')
if [ -n "$silent" ]; then
  echo "reference_check: members without a meaning (the row's about):"
  echo "$silent"
  status=1
fi
exit $status
