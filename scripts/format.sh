#!/usr/bin/env bash
# Formats the C++ sources with .clang-format. CMake files are not C++: the
# formatter is never run on them.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format -i
