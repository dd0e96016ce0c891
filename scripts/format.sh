#!/bin/sh
# Formats every C++ source of the tree with the committed .clang-format
# (Debian's clang-format, installed by scripts/deps.sh). With --check it only
# reports what would change and fails if anything would (CI runs that).
set -e
cd "$(dirname "$0")/.."
files=$(find runtime host framework game music tools tests \( -name '*.cpp' -o -name '*.h' \) | sort)
if [ "$1" = "--check" ]; then
  exec clang-format --dry-run -Werror $files
fi
clang-format -i $files
