#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan (the libraries they reach carry
# coverage counters too) and runs each for the given number of seconds (default 60), one after
# the other, starting from its seed corpus and dictionary. New inputs go to build/fuzz/corpus,
# crashes to build/fuzz/artifacts. Usage: fuzz/run-fuzzers.sh [seconds] [target...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    targets=(fuzz_stream_replies fuzz_hid_reports fuzz_hid_descriptor fuzz_simulator_config
             fuzz_telegrams fuzz_trace_files)
fi

# clang, and its libFuzzer runtime, which the clang package only recommends.
"$root/scripts/ensure-packages.sh"
"$root/scripts/ensure-packages.sh" clang
"$root/scripts/ensure-packages.sh" "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"

build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZYR_BUILD_FUZZERS=ON -DZYR_BUILD_TESTS=OFF -DZYR_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" --parallel "${ZYR_BUILD_JOBS:-4}" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target for ${seconds}s"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -dict="$root/fuzz/$target.dict" \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "$root/fuzz/corpus/$target"
done
