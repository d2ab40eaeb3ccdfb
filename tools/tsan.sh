#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The code that reads drawings on several threads, under ThreadSanitizer (clang): quillon-index,
# quillon-extract and quillon-search with four jobs on a few hundred generated sheets, then the
# register tests and the extraction and search pool tests. Any report stops the run with a non-zero exit.
# Only these targets are built: the windows are not, so the step stays short in CI.
# Usage: tools/tsan.sh [--sheets N]   (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."
sheets=200
if [ "${1:-}" = --sheets ]; then sheets="$2"; fi
build=build/tsan
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target quillon-index quillon-extract quillon-search \
  test_register test_e2e

# halt_on_error: the first report fails the run. The suppressions cover Qt's own frames only
# (Qt is not built with the sanitizer); see the file.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp"
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_corpus.py --only sheets --sheets "$sheets" --out "$work/corpus" \
  >/dev/null
echo "tsan: quillon-index --jobs 4 on $sheets sheets"
"$build/src/quillon-index" --database "$work/register.db" --jobs 4 "$work/corpus/sheets"
# The second run reads nothing again; a touched drawing is hashed, not read.
touch "$work/corpus/sheets/sheet-0001.dxf"
"$build/src/quillon-index" --database "$work/register.db" --jobs 4 "$work/corpus/sheets"
echo "tsan: quillon-extract --jobs 4 on the same sheets, the same records as one job"
"$build/src/quillon-extract" --jobs 4 bench/windows/all_blocks.txt "$work/corpus/sheets" \
  >"$work/four.csv"
"$build/src/quillon-extract" --jobs 1 bench/windows/all_blocks.txt "$work/corpus/sheets" \
  >"$work/one.csv"
cmp "$work/one.csv" "$work/four.csv"
echo "tsan: quillon-search --jobs 4 on the same sheets, the same lines as one job"
# What the search says on stderr is kept aside and shown only when it fails (a report is there).
for jobs in 4 1; do
  "$build/src/quillon-search" --jobs "$jobs" P "$work/corpus/sheets/*" >"$work/$jobs.txt" \
    2>"$work/search.err" || { cat "$work/search.err" >&2; exit 1; }
done
cmp "$work/1.txt" "$work/4.txt"
echo "tsan: register tests"
# Only the tests that run no program of ours: Qt 6.4's QProcess starts a child with
# clone(CLONE_VM | CLONE_VFORK), and the sanitizer's runtime cannot follow a child that shares
# its memory (it aborts in the child, "CHECK failed ... thr->slot"). The programs the other
# tests start (quillon-index, quillon-search) are not what is checked here anyway: they run
# under the sanitizer above. The tests start their PostgreSQL server with plain fork and exec,
# which the sanitizer follows: two runs storing into one server at once run on threads here.
"$build/tests/test_register" --gtest_brief=1 \
  --gtest_filter='RegisterTest.*:RegisterAddress.*:ServerRegisterTest.*-RegisterTest.Program*:RegisterTest.SearchOfTheRegister*:ServerRegisterTest.Program*:ServerRegisterTest.SearchOfTheServerRegister*:ServerRegisterTest.TwoIndexersAtOnce*'
echo "tsan: extraction and search pool tests"
"$build/tests/test_e2e" --gtest_brief=1 --gtest_filter='ExtractionPool.*:SearchPoolTest.*'
echo "tsan: no reports"
