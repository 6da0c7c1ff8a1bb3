#!/usr/bin/env bash
# Sets everything up, builds Glimmet optimised and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release -DGLIMMET_BUILD_TESTS=OFF -DGLIMMET_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target glimmet
exec build/release/shell/glimmet
