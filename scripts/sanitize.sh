#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, the
# database engine included, into build-sanitize/ (or $BUILD_DIR) and runs every
# test there, then `talviks-carddb info` on a card database of 200,004
# expansions. Any report fails. Far slower than scripts/test.sh, so not part of it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build_dir=${BUILD_DIR:-build-sanitize}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVIKS_SANITIZE=ON -DTALVIKS_TESTS=ON \
  -DTALVIKS_BENCH=ON "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1
(cd "$build_dir" && ctest --output-on-failure)

# Many expansions: the engine builds and balances large temporary b-trees.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -n 5 data/sets.csv >"$work/sets.csv"
{
  head -n 1 data/cards.csv
  for set in $(tail -n +2 "$work/sets.csv" | cut -d, -f1); do grep -m 1 "^$set," data/cards.csv; done
} >"$work/cards.csv"
"$build_dir/talviks-carddb" build --cards "$work/cards.csv" --sets "$work/sets.csv" --repeat 50001 -o "$work/cards.db"
"$build_dir/talviks-carddb" info "$work/cards.db" >"$work/info.txt"
head -n 12 "$work/info.txt"
echo "sanitizer run: clean"
