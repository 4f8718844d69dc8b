#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the fuzz targets of the byte parsers (tests/fuzz) with clang++, libFuzzer and the
# address and undefined-behaviour sanitizers into build-fuzz/, and runs each for a fixed time
# over its committed corpus (tests/fuzz/corpus/<target>/, left as it is). A crash, a leak, a
# hang or a broken check fails the run; the input that did it is kept in
# build-fuzz/crashes/<target>/. Seconds per target: $KALMORA_FUZZ_SECONDS (default 20).
# Extra arguments go to every fuzzer (./scripts/fuzz.sh -jobs=2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${KALMORA_FUZZ_SECONDS:-20}
"$root/scripts/install-deps.sh"

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DKALMORA_FUZZ=ON -DBUILD_TESTING=OFF
fi
cmake --build build-fuzz -j "$(nproc)" --target kalmora_fuzz_targets

failed=()
for corpus in "$root"/tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  crashes="$root/build-fuzz/crashes/$target"
  found=$(mktemp -d /tmp/kalmora-fuzz-"$target".XXXXXX)
  mkdir -p "$crashes"
  echo "== $target: ${seconds} s over $(ls "$corpus" | wc -l) inputs"
  # New inputs go to the scratch folder named first; the committed corpus is only read.
  if ! "$root/build-fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$crashes/" -print_final_stats=1 "$@" \
      "$found" "$corpus" > "$root/build-fuzz/$target.log" 2>&1; then
    failed+=("$target")
    tail -n 40 "$root/build-fuzz/$target.log"
  fi
  grep -E '^stat::number_of_executed_units' "$root/build-fuzz/$target.log" || true
  rm -rf "$found"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]} (inputs in build-fuzz/crashes/, logs in build-fuzz/*.log)"
  exit 1
fi
echo "fuzzing: no failure"
