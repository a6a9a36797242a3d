#!/usr/bin/env bash
# Builds the GUI test program with ThreadSanitizer and runs it, so that the
# send worker, the progress dialog and the outcome box run under the race
# detector. Arguments go to the test program (--gtest_filter=SendPath* ...).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELORIN_BUILD_BENCH=OFF -DPELORIN_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build/tsan --target pelorin_gui_tests pelorin-phone pelorin
# The tests start pelorin-phone and the editor as processes after threads exist.
export TSAN_OPTIONS="die_after_fork=0 suppressions=$PWD/tests/gui/tsan.supp ${TSAN_OPTIONS:-}"
QT_QPA_PLATFORM=offscreen exec build/tsan/tests/pelorin_gui_tests "$@"
