#!/bin/sh
# Installs what is missing, builds Quorvex and starts it from the build tree,
# where data/ sits beside the executable (the game reads ./data/).
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh build
cd build
exec ./quorvex "$@"
