#!/usr/bin/env bash
# tarkemo-cli count over many inputs: with stderr on a terminal (a pseudo-terminal made by
# `script`) a progress count "N/TOTAL Bilder" appears at most ten times a second and is erased at
# the end; stdout is the same as without a terminal, and without one stderr stays empty.
# Usage: count_progress_test.sh TARKEMO_CLI IMAGE
set -uo pipefail
cli=$1
image=$2
total=300
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
inputs=()
for _ in $(seq "$total"); do inputs+=("$image"); done

"$cli" count --jobs 1 "${inputs[@]}" > "$work/plain.out" 2> "$work/plain.err" || fail "count failed"
[ "$(wc -l < "$work/plain.out")" -eq "$total" ] || fail "not one line per image"
[ -s "$work/plain.err" ] && fail "stderr is not a terminal, yet count wrote to it: $(cat -v "$work/plain.err")"

quoted=$(printf '%q ' "$cli" count --jobs 1 "${inputs[@]}")
start=$(date +%s%N)
script -qec "$quoted > '$work/tty.out'" /dev/null > "$work/tty.err" || fail "count on a terminal failed"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
cmp -s "$work/plain.out" "$work/tty.out" || fail "stdout differs when stderr is a terminal"

# What the terminal got: drawings "\rN/TOTAL Bilder\e[K", then the erasing "\r\e[K".
rest=$(cat "$work/tty.err")
drawing=$'^\r([0-9]+)/([0-9]+) Bilder\e\\[K(.*)$'
counts=()
while [[ $rest =~ $drawing ]]; do
  [ "${BASH_REMATCH[2]}" -eq "$total" ] || fail "a drawing names the total ${BASH_REMATCH[2]}"
  [ "${BASH_REMATCH[1]}" -le "$total" ] || fail "a drawing counts ${BASH_REMATCH[1]} of $total"
  [ ${#counts[@]} -eq 0 ] || [ "${BASH_REMATCH[1]}" -ge "${counts[-1]}" ] || fail "the count went back"
  counts+=("${BASH_REMATCH[1]}")
  rest=${BASH_REMATCH[3]}
done
if [ ${#counts[@]} -gt 0 ]; then
  [ "$rest" = $'\r\e[K' ] || fail "the progress line is not erased at the end: $(printf %s "$rest" | cat -v)"
else
  [ -z "$rest" ] || fail "unexpected output on the terminal: $(printf %s "$rest" | cat -v)"
fi
[ ${#counts[@]} -le $((elapsed_ms / 100 + 1)) ] || fail "${#counts[@]} drawings in $elapsed_ms ms, more than ten a second"
[ "$elapsed_ms" -lt 500 ] || [ ${#counts[@]} -gt 0 ] || fail "no progress shown during $elapsed_ms ms"
echo "progress: ${#counts[@]} drawings in $elapsed_ms ms"
