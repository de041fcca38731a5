#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it, when a shell script of
# scripts/ (or CI's) draws a word from shellcheck, or when a C++ source that the change in hand or
# the last commit touched draws one from clang-tidy (.clang-tidy). clang-tidy reads the strict
# tree's compile commands (build/test, `cmake --preset strict`); the sources only the Windows
# build compiles are left to that build's own warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
shellcheck -x scripts/*.sh .ci/run

commands=build/test/compile_commands.json
[ -f "$commands" ] || { echo "no $commands: configure with cmake --preset strict" >&2; exit 2; }
base=HEAD
git rev-parse -q --verify HEAD~1 >/dev/null && base=HEAD~1
mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' |
  while read -r file; do
    grep -q "\"file\": \"$PWD/$file\"" "$commands" && echo "$file"
  done)
[ ${#changed[@]} -eq 0 ] || clang-tidy -p build/test --quiet "${changed[@]}"
