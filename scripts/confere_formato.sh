#!/usr/bin/env bash
# Every C++ source of the tree laid out as its .clang-format says; names the files that
# differ. To lay them out: the same list with clang-format -i.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench fuzz tools \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror
