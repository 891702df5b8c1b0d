#!/usr/bin/env bash
# Sets up a Debian 12 machine (as root, installing only what is missing), builds everything,
# runs every test, then builds the engine and CLI with the sanitizers and runs their tests.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

jobs=$(nproc)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
echo "All tests passed."
