#!/bin/sh
# Installs what is missing, builds Quorvex and starts it.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh build -DQUORVEX_TESTS=OFF
exec ./build/quorvex "$@"
