#!/usr/bin/env bash
# Sets everything up, builds the tests and runs them with CTest.
#   VAZEZAV_TSAN=1   also builds and runs the concurrency tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

juce_dir=$(bash scripts/setup.sh | tail -n1)
jobs=$(nproc)

cmake -S . -B build/tests -DCMAKE_BUILD_TYPE=Release -DVAZEZAV_BUILD_TESTS=ON \
      -DVAZEZAV_JUCE_DIR="$juce_dir" >/dev/null
cmake --build build/tests --target vazezav_tests VazezavPlugin_Standalone -j"$jobs"
ctest --test-dir build/tests --output-on-failure -j"$jobs"

if [[ "${VAZEZAV_TSAN:-0}" == 1 ]]; then
    cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAZEZAV_BUILD_TESTS=ON -DVAZEZAV_TSAN=ON \
          -DVAZEZAV_JUCE_DIR="$juce_dir" >/dev/null
    cmake --build build/tsan --target vazezav_tests -j"$jobs"
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        ctest --test-dir build/tsan --output-on-failure -R 'Concurrency|Learning|Tap'
fi
