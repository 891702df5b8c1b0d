#!/usr/bin/env bash
# Sets up the machine, builds Tarkemo and starts it on the bundled sample image.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
sample=samples/particles.bmp
if [ -x build/release/src/app/tarkemo ]; then
  exec build/release/src/app/tarkemo "$sample"
fi
exec build/release/src/cli/tarkemo-cli info "$sample"
