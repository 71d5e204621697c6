#!/bin/sh
# The tutorial as a reader meets it: every program it quotes is, verbatim,
# the file under examples/ that it names, and every command of its console
# blocks prints exactly what the page shows after it.
#   tutorial_tests.sh KESTREL SOURCE_DIR
kestrel=$1
src=$2
page="$src/docs/tutorial.md"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Blocks: quoted files (after "<!-- file: NAME -->") and console blocks.
awk -v out="$tmp" '
  /^<!-- file: / { name = $3; want = 1; next }
  /^```/ {
    if (inblock) { inblock = 0; close(f); next }
    if (want) { n++; f = out "/quoted" n; print name > (f ".name"); close(f ".name"); printf "" > f; inblock = 1; want = 0; next }
    if ($0 == "```console") { n++; f = out "/console" n; printf "" > f; inblock = 1; next }
    skip = !skip; next
  }
  inblock { print > f }
' "$page"

quoted=0
for block in "$tmp"/quoted*; do
  case "$block" in *.name) continue ;; esac
  name=$(cat "$block.name")
  quoted=$((quoted + 1))
  cmp -s "$block" "$src/$name" || { fail "the tutorial's copy of $name differs from the file:"; diff "$src/$name" "$block"; }
done
[ "$quoted" -ge 5 ] || fail "only $quoted quoted programs found"

# Commands run in a folder of their own, with kestrel on the path and the
# examples where the page expects them.
mkdir "$tmp/bin" "$tmp/work"
printf '#!/bin/sh\nexec "%s" "$@"\n' "$kestrel" >"$tmp/bin/kestrel"
chmod +x "$tmp/bin/kestrel"
ln -s "$src/examples" "$tmp/work/examples"
commands=0
check() {  # runs $command and compares with the expected lines
  [ -n "$command" ] || return
  commands=$((commands + 1))
  # The sanitizers' own notes on standard error are not the program's.
  (cd "$tmp/work" && PATH="$tmp/bin:$PATH" sh -c "$command") 2>&1 | grep -v '^==[0-9]*==WARNING: ASan' >"$tmp/actual"
  printf '%s' "$expected" >"$tmp/expected"
  cmp -s "$tmp/expected" "$tmp/actual" || { fail "\$ $command"; diff "$tmp/expected" "$tmp/actual"; }
}
for block in "$tmp"/console*; do
  command=""
  expected=""
  while IFS= read -r line; do
    case "$line" in
      '$ '*)
        check
        command=${line#??}
        expected=""
        ;;
      *) expected="$expected$line
" ;;
    esac
  done <"$block"
  check
done
[ "$commands" -ge 6 ] || fail "only $commands commands found"

[ $failures -eq 0 ] || exit 1
echo "the tutorial's $quoted programs and $commands commands are as it shows them"
