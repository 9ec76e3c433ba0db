#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tests that run a join on its own thread (CTest label "thread"), built
# with ThreadSanitizer: the join hands its display steps to the window's
# thread, and a race there shows in no other test.
# Usage: scripts/test-tsan.sh [build folder] [CMake options].
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-tsan}
shift || true
QUIBEX_TEST_TOOLS=1 QUIBEX_TARGET=quibex_thread_tests \
  bash scripts/setup.sh "$build" -DQUIBEX_TSAN=ON "$@"
# die_after_fork=0: the tests fork children that run joins of their own.
# ignore_noninstrumented_modules=1: Qt is not built with ThreadSanitizer, so
# what its own code reads, writes and frees (a path searched, an image
# converted on its thread pool) is left out; every access the program's own
# code makes, and every lock, is still seen.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 ignore_noninstrumented_modules=1 suppressions=$PWD/.ci/tsan.supp"
cd "$build"
# A crash under ThreadSanitizer is reported as it is: Qt Test's stack dump
# attaches gdb, which can hang on a process that large.
QTEST_DISABLE_STACK_DUMP=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L thread
