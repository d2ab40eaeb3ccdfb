#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the drawing register on a generated archive and quillon-extract on several jobs.
#   1. quillon-index into SQLite: the first run, a second with nothing changed, a third after
#      one drawing changed (and a search that finds its new value), the register's size, and
#      a value search over the whole register with quillon-search --register;
#   2. the same into a throw-away PostgreSQL server (initdb and pg_ctl in a temporary folder,
#      a Unix socket there; as root the server runs as the postgres user);
#   3. quillon-extract --jobs 1, 2 and N on the 500 bench sheets, the records compared byte
#      for byte with the one-job run; the same for quillon-search over them.
# Usage: bench/register_bench.sh [--drawings N] [--archive DIR] [--build DIR] [--keep]
#   The archive (default /tmp/quillon-archive-N) is written by make_archive.py when missing;
#   the programs come from a Release build (default build/benchcheck, see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
drawings=100000
archive=
build=build/benchcheck
keep=
while [ $# -gt 0 ]; do
  case "$1" in
    --drawings) drawings="$2"; shift 2 ;;
    --archive) archive="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
archive="${archive:-/tmp/quillon-archive-$drawings}"
index="$build/src/quillon-index"
search="$build/src/quillon-search"
extract="$build/src/quillon-extract"
jobs=$(nproc)
for program in "$index" "$search" "$extract"; do
  [ -x "$program" ] || { echo "$program is missing: build it first (README.md)" >&2; exit 2; }
done
if [ ! -d "$archive" ]; then
  /usr/bin/python3 bench/make_archive.py "$archive" --drawings "$drawings"
fi
work=$(mktemp -d /tmp/quillon-register-bench-XXXXXX)
server_bin=
cleanup() {
  if [ -n "$server_bin" ]; then as_server "$server_bin/pg_ctl" -D "$work/pg/data" -m fast -w stop \
    >/dev/null 2>&1 || true; fi
  [ -n "$keep" ] || rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
# timed LABEL COMMAND...: runs it, prints the wall time; exit status 1 (some drawings not
# read, or no hits) is not a failure here.
timed() {
  local label="$1" start status=0
  shift
  start=$(now)
  "$@" || status=$?
  [ "$status" -le 1 ] || { echo "$label: exit status $status" >&2; exit 1; }
  echo "$label: $(seconds "$start" "$(now)") s"
}
# best_of N LABEL COMMAND...: the best wall time of N runs, in milliseconds.
best_of() {
  local n="$1" label="$2" best= start took
  shift 2
  for _ in $(seq "$n"); do
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    took=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
    best=$(awk -v a="$took" -v b="${best:-$took}" 'BEGIN { print (a < b ? a : b) }')
  done
  echo "$label: best of $n: $best ms"
}

# The drawing the third run finds changed: a new revision, same size, new time.
changed=$(find "$archive" -name '*.dxf' | sort | sed -n 4242p)
change_one() {
  local from="$1" to="$2"
  /usr/bin/python3 - "$changed" "$from" "$to" <<'PY'
import sys
path, old, new = sys.argv[1:]
data = open(path, "rb").read()
number = path.rsplit("/", 1)[1][:-4].encode() + b"-"
# The drawing number ends -01 in a fresh archive; each change counts it up.
at = data.index(number)
data = data[:at + len(number)] + new.encode() + data[at + len(number) + len(old):]
open(path, "wb").write(data)
PY
}
number=$(basename "$changed" .dxf)

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "archive: $archive, $(find "$archive" -name '*.dxf' | wc -l) drawings, $(du -sh "$archive" | cut -f1)"
# Warm the page cache so the first run measures the register, not the disk's first read.
find "$archive" -name '*.dxf' -print0 | xargs -0 cat >/dev/null

# run_register NAME INDEX_ARGS...: the four timings against one register.
run_register() {
  local name="$1"
  shift
  echo "== $name"
  timed "$name first index ($jobs jobs)" "$index" "$@" --jobs "$jobs" "$archive" \
    2>"$work/$name-first.log"
  tail -n 2 "$work/$name-first.log"
  timed "$name second run, nothing changed" "$index" "$@" --jobs "$jobs" "$archive" \
    2>"$work/$name-second.log"
  tail -n 1 "$work/$name-second.log"
  local before after
  before=$(grep -c "$number-01" "$changed" || true)
  change_one 01 02
  after=$(grep -c "$number-02" "$changed" || true)
  [ "$before" -ge 1 ] && [ "$after" -ge 1 ] || { echo "the change was not made" >&2; exit 1; }
  timed "$name one drawing changed" "$index" "$@" --jobs "$jobs" "$archive" \
    2>"$work/$name-third.log"
  tail -n 1 "$work/$name-third.log"
  change_one 02 01  # back, for the next register
}

# --- SQLite
db="$work/register.sqlite"
run_register sqlite --database "$db"
"$search" --register "$db" --whole "$number-02" >"$work/sqlite-found.txt" ||
  { echo "sqlite: the changed value is not found" >&2; exit 1; }
echo "sqlite: the changed value is found: $(head -c 120 "$work/sqlite-found.txt")"
echo "sqlite register on disk: $(du -cb "$db"* | tail -1 | cut -f1 | awk '{ printf "%.0f MB", $1 / 1e6 }')"
hits=$(("$("$search" --register "$db" P-4242 | wc -l)" - 1))  # less the heading line
best_of 5 "sqlite value search over the register (P-4242, $hits hits)" \
  "$search" --register "$db" P-4242
best_of 5 "sqlite whole-value search (AR-000777-01)" "$search" --register "$db" --whole "AR-000777-01"

# --- PostgreSQL
as_server() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
for bin in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  [ -x "$bin/initdb" ] && server_bin="$bin" && break
done
if [ -z "$server_bin" ]; then
  echo "PostgreSQL: the server programs are missing (apt-get install postgresql); skipped"
else
  mkdir -p "$work/pg"
  chmod 755 "$work"
  [ "$(id -u)" != 0 ] || chown postgres: "$work/pg"
  as_server "$server_bin/initdb" -D "$work/pg/data" -A trust -U quillon -E UTF8 --locale=C \
    --no-sync >/dev/null
  as_server "$server_bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/server.log" -w start \
    -o "-c listen_addresses='' -c unix_socket_directories='$work/pg'" >/dev/null
  as_server "$server_bin/createdb" -h "$work/pg" -U quillon register
  conninfo="host=$work/pg user=quillon dbname=register"
  run_register postgresql --server "$conninfo"
  "$search" --register "$conninfo" --whole "$number-02" >/dev/null ||
    { echo "postgresql: the changed value is not found" >&2; exit 1; }
  echo "postgresql: the changed value is found"
  echo "postgresql register on disk: $("$server_bin/psql" -h "$work/pg" -U quillon -d register -Atc \
    "select pg_size_pretty(pg_database_size('register'))")"
  best_of 5 "postgresql value search over the register (P-4242)" \
    "$search" --register "$conninfo" P-4242
  best_of 5 "postgresql whole-value search (AR-000777-01)" \
    "$search" --register "$conninfo" --whole "AR-000777-01"
fi

# --- quillon-extract on the bench sheets
sheets=bench/corpus/sheets
if [ ! -d "$sheets" ]; then /usr/bin/python3 bench/make_corpus.py --only sheets >/dev/null; fi
echo "== quillon-extract on $(ls "$sheets" | wc -l) sheets"
template=bench/windows/all_blocks.txt
for n in $(printf '%s\n' 1 2 "$jobs" 4 | awk '!seen[$0]++'); do
  best_of 3 "quillon-extract --jobs $n" "$extract" --jobs "$n" "$template" "$sheets"
  "$extract" --jobs "$n" "$template" "$sheets" >"$work/extract-$n.csv" || true
  cmp -s "$work/extract-1.csv" "$work/extract-$n.csv" ||
    { echo "--jobs $n: the records differ from one job" >&2; exit 1; }
done
echo "records: $(wc -l <"$work/extract-1.csv"), the same bytes with every number of jobs"
echo "== quillon-search on the same sheets"
for n in $(printf '%s\n' 1 2 "$jobs" 4 | awk '!seen[$0]++'); do
  best_of 3 "quillon-search --jobs $n" "$search" --jobs "$n" P "$sheets/*"
  "$search" --jobs "$n" P "$sheets/*" >"$work/search-$n.txt" 2>/dev/null || true
  cmp -s "$work/search-1.txt" "$work/search-$n.txt" ||
    { echo "--jobs $n: the lines differ from one job" >&2; exit 1; }
done
echo "lines: $(wc -l <"$work/search-1.txt"), the same bytes with every number of jobs"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
