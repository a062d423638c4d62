#!/usr/bin/env bash
# Installs what is missing, builds Horavis with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build build-tests --parallel 2
ctest --test-dir build-tests --output-on-failure
