#!/bin/sh
# Configures and builds one build tree: scripts/build.sh <dir> [cmake options...]
set -e
dir=${1:-build}
[ $# -gt 0 ] && shift
cd "$(dirname "$0")/.."
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
