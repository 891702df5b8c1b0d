#!/usr/bin/env bash
# Sets up a Debian 12 machine (as root, installing only what is missing), builds everything,
# runs every test, then builds the engine and CLI with the sanitizers and runs their tests, then
# builds them with clang and runs each fuzz target briefly (tests/fuzz/run.sh SECONDS runs longer).
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

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tests/fuzz/run.sh 20
echo "All tests passed."
