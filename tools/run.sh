#!/usr/bin/env bash
# Installs what is missing, builds Horavis and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build --parallel 2 --target Horavis
exec build/Horavis
