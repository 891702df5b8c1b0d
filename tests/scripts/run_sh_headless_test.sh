#!/usr/bin/env bash
# ./run.sh on a machine without a display: exit status 0, the one line saying so, the count, the
# three exported files and the hint on the VNC platform. Takes the programs already built.
# Usage: run_sh_headless_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir=$1
build_dir=$(cd "$2" && pwd)
fail() { echo "FAIL: $*"; echo "--- output of run.sh ---"; cat "$log"; exit 1; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
folder=$build_dir/sample-count
rm -rf "$folder"

env -u DISPLAY -u WAYLAND_DISPLAY TARKEMO_BUILD_DIR="$build_dir" "$source_dir/run.sh" > "$log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"

head -n 1 "$log" | grep -q '^Keine Anzeige gefunden (weder DISPLAY noch WAYLAND_DISPLAY gesetzt)' ||
  fail "the first line does not say that there is no display"
expected=$("$build_dir/src/cli/tarkemo-cli" count "$source_dir/samples/particles.bmp" | cut -f2)
[ -n "$expected" ] && [ "$expected" -gt 0 ] || fail "the sample has no particles"
grep -q "^Partikel in samples/particles.bmp .*: $expected\$" "$log" || fail "the count $expected is not printed"
for ext in bmp dat txt; do
  file=$folder/particles_c.$ext
  [ -s "$file" ] || fail "$file is missing or empty"
  grep -qF "$file" "$log" || fail "the path $file is not printed"
done
grep -q 'QT_QPA_PLATFORM=vnc' "$log" || fail "no word on the VNC platform"
echo "run.sh without a display: count $expected, three files in $folder"
