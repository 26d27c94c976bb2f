#!/usr/bin/env bash
# Builds the tsan preset (thread sanitizer, Debug) and runs the tests that
# build projects on several threads under it. Only the book's tests, the
# desktop program's logic tests (the window's build thread, without a widget)
# the parse's and page's tests (a source built alone uses two threads) and
# the support tests (the sort of a large range, on two threads) are built:
# they are the ones that start threads. Any report fails the test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset tsan
cmake --build --preset tsan
# The filter of the preset leaves out the tests that start the help compiler
# (IncrementalBuild.everySettingChanges... and .nothingChangedWritesNoFile start one,
# so they are excluded by name):
# after such a fork GCC 12's sanitizer reports races on the pool's fields that
# it does not report without the fork (each access is under the pool's
# mutex), and clang 14's stops on Qt's clone().
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
ctest --preset tsan --timeout 900
