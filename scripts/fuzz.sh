#!/usr/bin/env bash
# Runs one fuzz target under libFuzzer with AddressSanitizer + UBSan:
#   scripts/fuzz.sh TARGET [SECONDS]      (default 180; targets: the names in fuzz/CMakeLists.txt)
# Builds build-fuzz/ (clang, the fuzz preset) for that target only, seeds the run from the
# corpus the release build makes (build/fuzz/corpus/TARGET, built here if missing) and keeps
# what the fuzzer adds in build-fuzz/work/TARGET. Findings land in build-fuzz/findings/TARGET;
# turn each into fuzz/regressions/TARGET/NAME.hex (od -An -tx1 -v FILE) once it is fixed. The run is
# niced so that builds and tests beside it keep going.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}"
seconds="${2:-180}"

[ -f build-fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j2 --target "fuzz_$target"
[ -f build/build.ninja ] || cmake --preset release >/dev/null
cmake --build build -j2 --target "fuzz_${target}_corpus"

work=build-fuzz/work/$target
findings=build-fuzz/findings/$target
mkdir -p "$work" "$findings"
args=(-max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048
      -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$findings/")
[ -f "fuzz/dict/$target.dict" ] && args+=(-dict="fuzz/dict/$target.dict")
exec nice -n 19 "build-fuzz/fuzz/fuzz_$target" "${args[@]}" "$work" "build/fuzz/corpus/$target"
