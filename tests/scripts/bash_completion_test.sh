#!/usr/bin/env bash
# Loads the bash completion of tarkemo-cli as bash does and asks it for completions: commands,
# options, option choices, steps, step choices and file names.
# Usage: bash_completion_test.sh COMPLETION_SCRIPT
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch image.bmp other.bmp smooth.lft
mkdir results

# shellcheck disable=SC1090
source "$script" || { echo "FAIL: the script does not load"; exit 1; }
complete -p tarkemo-cli | grep -q -- '-F _tarkemo_cli' || { echo "FAIL: tarkemo-cli has no completion"; exit 1; }

failures=0
# expect LINE EXPECTED...: completing at the end of LINE offers exactly EXPECTED (in any order).
expect() {
  local line=$1
  shift
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _tarkemo_cli
  local got want
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
  want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  if [ "$got" != "$want" ]; then
    echo "FAIL: [$line] offers [$got], expected [$want]"
    failures=$((failures + 1))
  fi
}

expect "tarkemo-cli cou" count
expect "tarkemo-cli co" convert count completion
expect "tarkemo-cli --ve" --version
expect "tarkemo-cli help ap" apply
expect "tarkemo-cli count --max" --max-area
expect "tarkemo-cli count --method s" stripes
expect "tarkemo-cli count --method=b" binarise
expect "tarkemo-cli count --jobs 2 im" image.bmp
expect "tarkemo-cli count --export-dir r" results
expect "tarkemo-cli count --min-gray " 
expect "tarkemo-cli apply --yes image.bmp out.bmp loc" local-normalize=
expect "tarkemo-cli apply image.bmp out.bmp rotate-" rotate-left rotate-right rotate-180
expect "tarkemo-cli apply image.bmp out.bmp kernel=unsharp" unsharp3 unsharp5
expect "tarkemo-cli apply image.bmp out.bmp filter=sm" smooth.lft
expect "tarkemo-cli apply image.bmp out.bmp combine=sub,ot" sub,other.bmp
expect "tarkemo-cli apply im" image.bmp
expect "tarkemo-cli palette " export
expect "tarkemo-cli palette export ot" other.bmp
[ "$failures" -eq 0 ] || exit 1
echo "bash completion: all completions as expected"
