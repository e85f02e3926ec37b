#!/usr/bin/env bash
# The whole test suite a second time, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, LeakSanitizer on, in a checked build (GL errors
# read every frame, texture sets reported). The real programs the tests start
# inherit the same options, so a leak or a fault in any of them fails its test.
set -euo pipefail
build=${ORRELIA_ASAN_BUILD:-$ORRELIA_BUILD-asan}
cmake -S "$ORRELIA_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIA_SANITIZE=ON -DORRELIA_CHECKED_BUILD=ON
cmake --build "$build" -j "$(nproc)"
suppressions=$ORRELIA_ROOT/tests/reliability/lsan-suppressions.txt
# Mesa unloads its driver before the leak check at exit, which hides whose
# memory is whose; keep libraries loaded (see the file). Built without
# sanitizers: it is preloaded into the X server and tools as well.
cc -shared -fPIC -O1 -o "$build/keep_libraries_loaded.so" "$ORRELIA_ROOT/tests/reliability/keep_libraries_loaded.c"
export LD_PRELOAD=$build/keep_libraries_loaded.so
# alloc_dealloc_mismatch=0: LLVM inside Mesa's llvmpipe frees with free()
# what it got from its own operator new when it tears a JIT engine down.
export ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:alloc_dealloc_mismatch=0:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$suppressions:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# llvmpipe renders on the calling thread: LeakSanitizer stops every thread
# for its check at exit, and its tracer was seen to crash ("Tracer caught
# signal 11") while llvmpipe's worker threads were ending.
export LP_NUM_THREADS=0
# Sanitized programs run a few times slower: give every test its timeout again.
# A test that fails is run once more, so that a crash of the sanitizer's own
# tracer is told apart from a finding; a real report comes back every time.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900 --repeat until-pass:2
