#!/usr/bin/env bash
# Builds the fuzzing harnesses (the "fuzz" preset) and runs each one on its
# seed corpus for a while. Fails on any crash, leak, sanitizer report, failed
# property or timeout. Needs clang and its runtime libraries (install-deps.sh).
#
#   scripts/fuzz-smoke.sh                 every harness, 60 s each
#   FUZZ_SECONDS=600 scripts/fuzz-smoke.sh paths tag_reader
#   FUZZ_BUILD_DIR=/tmp/fuzz scripts/fuzz-smoke.sh   build elsewhere
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${FUZZ_SECONDS:-60}"
JOBS="${FUZZ_JOBS:-2}"
HARNESSES=("$@")
if [ ${#HARNESSES[@]} -eq 0 ]; then
    HARNESSES=(single_file project_file tag_reader command_line paths)
fi

cd "$ROOT"
cmake --preset fuzz -B "$BUILD"
cmake --build "$BUILD" -j"$JOBS" --target $(printf 'fuzz_%s ' "${HARNESSES[@]}")

# A report must end the run with an error; leaks are checked at exit too.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

# Per-input limits under the sanitizers. The build itself must stay within 1 s
# for 64 KB and 5 s for 1 MB; the sanitizers slow it five- to sevenfold (see
# fuzz/README.md), hence the larger figures here.
declare -A MAX_LEN=([single_file]=65536 [project_file]=65536 [tag_reader]=65536 [command_line]=4096 [paths]=4096)
declare -A TIMEOUT=([single_file]=8 [project_file]=10 [tag_reader]=10 [command_line]=2 [paths]=2)

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failed=()
for name in "${HARNESSES[@]}"; do
    binary="$BUILD/fuzz/fuzz_$name"
    corpus="$WORK/$name"
    mkdir -p "$corpus" "$WORK/artifacts-$name"
    echo "==== $name: ${SECONDS_EACH} s"
    # New inputs go to a scratch corpus; the seeds in the tree stay as they are.
    if "$binary" "$corpus" "$ROOT/fuzz/corpus/$name" \
        -max_total_time="$SECONDS_EACH" -max_len="${MAX_LEN[$name]}" -timeout="${TIMEOUT[$name]}" \
        -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$WORK/artifacts-$name/" \
        >"$WORK/$name.log" 2>&1; then
        grep -E '^#[0-9]+.*DONE' "$WORK/$name.log" || true
    else
        echo "---- $name FAILED; the end of its log:"
        tail -n 60 "$WORK/$name.log"
        for artifact in "$WORK/artifacts-$name"/*; do
            [ -e "$artifact" ] || continue
            mkdir -p "$BUILD/fuzz-artifacts"
            cp "$artifact" "$BUILD/fuzz-artifacts/$name-$(basename "$artifact")"
            echo "input kept as $BUILD/fuzz-artifacts/$name-$(basename "$artifact")"
        done
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing failed: ${failed[*]}"
    exit 1
fi
echo "fuzzing passed: ${HARNESSES[*]}"
