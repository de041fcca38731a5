#!/usr/bin/env bash
# Measures the program against what this machine can do at best and prints one table: each
# end-to-end figure next to curl fetching the same URLs from the same local server (and, for the
# download walk, next to the cost of writing the same files durably), each the median of several
# runs taken in turn; then the page scanners' throughput.
#
#   bash scripts/bench.sh                    set up, build (Release) and measure: 5 runs
#   bash scripts/bench.sh --runs N           the same with N runs
#   bash scripts/bench.sh --tiny --bin-dir D run once on a tiny site with the benchmarks built in D
#                                            (what the test suite does; it judges no figure)
#
# Exits non-zero when a figure misses its target (never with --tiny) or a benchmark fails.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5
tiny=0
bin=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --tiny) tiny=1; runs=1; shift ;;
    --bin-dir) bin=$2; shift 2 ;;
    *) echo "usage: bash scripts/bench.sh [--runs N] [--tiny] [--bin-dir DIR]" >&2; exit 2 ;;
  esac
done

if [ -z "$bin" ]; then
  bash scripts/setup.sh
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/bench -j "$(nproc)" --target trawlbox_benchmarks
  bin=build/bench/bench
fi
bin=$(cd "$bin" && pwd)

# On the build's own disk, not in a tmpfs: the durable writes must reach a real file system.
scratch=$(mktemp -d "$bin/scratch.XXXXXX")
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$tiny" = 1 ]; then
  shape=(2 3 8192 200)   # listing pages, links a page, file bytes, slow answer (ms)
else
  shape=(30 100 8192 5000)
fi
file_bytes=${shape[2]}

"$bin/trawlbox_bench_server" "$scratch" "${shape[@]}" >"$scratch/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 300); do
  [ -s "$scratch/root.txt" ] && break
  sleep 0.1
done
root=$(cat "$scratch/root.txt")
page_count=$(wc -l <"$scratch/pages.txt")
file_count=$(wc -l <"$scratch/files.txt")

awk '{ printf "url = \"%s\"\noutput = \"/dev/null\"\n", $0 }' "$scratch/pages.txt" >"$scratch/pages.curl"
awk -v dir="$scratch/curl-files" '{ n = split($0, p, "/"); printf "url = \"%s\"\noutput = \"%s/%s\"\n", $0, dir, p[n] }' \
  "$scratch/files.txt" >"$scratch/files.curl"

# Seconds since the epoch, to the microsecond.
now() { echo "$EPOCHREALTIME"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }
# The value of `name=value` in a benchmark's output.
field() { sed -n "s/^$1=//p" <<<"$2"; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
fresh() { rm -rf "$1" && mkdir -p "$1"; }

# One curl process, the URLs one after the other over one kept-alive connection.
curl_run() { curl --silent --show-error --fail --config "$1"; }

export QT_QPA_PLATFORM=offscreen
declare -a curl_pages curl_files floor qt_floor collect rss walk
for run in $(seq "$runs"); do
  echo "run $run of $runs: curl, Qt's floor, durable writes, the window" >&2
  start=$(now); curl_run "$scratch/pages.curl"; curl_pages+=("$(elapsed "$start" "$(now)")")
  fresh "$scratch/curl-files"
  start=$(now); curl_run "$scratch/files.curl"; curl_files+=("$(elapsed "$start" "$(now)")")
  [ "$(ls "$scratch/curl-files" | wc -l)" = "$file_count" ] || { echo "curl saved too few files" >&2; exit 1; }
  fresh "$scratch/floor"
  out=$("$bin/trawlbox_bench_durable_floor" "$scratch/floor" "$file_count" "$file_bytes")
  floor+=("$(field floor_seconds "$out")")
  out=$("$bin/trawlbox_bench_qt_floor" "$scratch/pages.txt")
  qt_floor+=("$(field qt_floor_seconds "$out")")
  fresh "$scratch/save"
  out=$("$bin/trawlbox_bench_window" run "$root" "$scratch/save/" 2>"$scratch/window.log") ||
    { echo "the window's run failed:" >&2; echo "$out" >&2; cat "$scratch/window.log" >&2; exit 1; }
  collect+=("$(field collect_seconds "$out")")
  rss+=("$(field peak_rss_kib "$out")")
  walk+=("$(field walk_seconds "$out")")
  entries=$(field entries "$out")
done

declare -a wait_wall wait_cpu
for run in $(seq "$runs"); do
  echo "run $run of $runs: waiting on a slow server" >&2
  out=$("$bin/trawlbox_bench_window" wait "$root" 2>"$scratch/window.log")
  wait_wall+=("$(field wait_seconds "$out")")
  wait_cpu+=("$(field wait_cpu_seconds "$out")")
done

echo "scanner benchmarks" >&2
if [ "$tiny" = 1 ]; then
  scan_flags=(--tiny)
else
  scan_flags=(--benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true)
fi
scan=$("$bin/trawlbox_bench_scan" "${scan_flags[@]}" --benchmark_format=csv 2>/dev/null)
# Milliseconds and MB/s (10^6 bytes) of a scanner benchmark: its median, or its only run.
scan_row() { awk -F, -v p="\"$1/" -v tiny="$tiny" 'index($1, p) == 1 && (tiny || $1 ~ /_median"$/)' <<<"$scan"; }
scan_ms() { scan_row "$1" | awk -F, '{ printf "%.2f", $3 }'; }
scan_mbs() { scan_row "$1" | awk -F, '{ printf "%.0f", $6 / 1e6 }'; }

m_curl_pages=$(median "${curl_pages[@]}")
m_curl_files=$(median "${curl_files[@]}")
m_floor=$(median "${floor[@]}")
m_qt_floor=$(median "${qt_floor[@]}")
m_collect=$(median "${collect[@]}")
m_walk=$(median "${walk[@]}")
m_rss=$(median "${rss[@]}")
m_wait_wall=$(median "${wait_wall[@]}")
m_wait_cpu=$(median "${wait_cpu[@]}")

# verdict VALUE OP LIMIT: PASS or FAIL; a tiny workload is judged by nothing.
verdict() {
  if [ "$tiny" = 1 ]; then
    echo "-"
  elif awk -v v="$1" -v l="$3" "BEGIN { exit !(v $2 l) }"; then
    echo PASS
  else
    echo FAIL
  fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

collect_ratio=$(ratio "$m_collect" "$m_curl_pages")
walk_base=$(awk -v a="$m_curl_files" -v b="$m_floor" 'BEGIN { printf "%.4f", a + b }')
walk_ratio=$(ratio "$m_walk" "$walk_base")
wait_share=$(awk -v c="$m_wait_cpu" -v w="$m_wait_wall" 'BEGIN { printf "%.3f", 100 * c / w }')
rss_mb=$(awk -v k="$m_rss" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }')
if [ "$tiny" = 1 ]; then
  detail_mbs=$(scan_mbs ScanDetailPage/65536B)
  listing_mbs=$(scan_mbs ScanListingPage/65536B)
else
  detail_mbs=$(scan_mbs ScanDetailPage/10MiB)
  listing_mbs=$(scan_mbs ScanListingPage/2MiB)
fi

echo
echo "Medians of $runs runs; $page_count page fetches, $entries entries, $file_count files of $file_bytes bytes."
echo
figures() {
printf '| %-22s | %-34s | %-44s | %-8s | %-12s | %-6s |\n' Figure Measured Baseline Ratio Target Result
printf '|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..36})" \
  "$(printf -- '-%.0s' {1..46})" "$(printf -- '-%.0s' {1..10})" "$(printf -- '-%.0s' {1..14})" "$(printf -- '-%.0s' {1..8})"
row() { printf '| %-22s | %-34s | %-44s | %-8s | %-12s | %-6s |\n' "$@"; }
row "collection run" "${m_collect} s" "curl ${m_curl_pages} s (Qt's own floor ${m_qt_floor} s)" \
  "$collect_ratio" "<= 1.5" "$(verdict "$collect_ratio" "<=" 1.5)"
row "download walk" "${m_walk} s" "curl ${m_curl_files} s + durable writes ${m_floor} s" \
  "$walk_ratio" "<= 1.5" "$(verdict "$walk_ratio" "<=" 1.5)"
row "waiting on slow server" "${m_wait_cpu} s CPU in ${m_wait_wall} s" "-" "${wait_share} %" "< 1 %" \
  "$(verdict "$wait_share" "<" 1)"
row "scanning, detail page" "${detail_mbs} MB/s" "-" "-" ">= 300 MB/s" "$(verdict "$detail_mbs" ">=" 300)"
row "scanning, listing page" "${listing_mbs} MB/s" "-" "-" ">= 300 MB/s" "$(verdict "$listing_mbs" ">=" 300)"
row "memory, collection run" "${rss_mb} MB peak resident" "-" "-" "<= 150 MB" "$(verdict "$rss_mb" "<=" 150)"
}
table=$(figures)
echo "$table"

if [ "$tiny" = 0 ]; then
  echo
  echo "Scanning time by page size (median ms; ms per MiB shows whether it grows linearly):"
  echo
  printf '| %-16s | %-24s | %-24s | %-24s |\n' Scanner "1 MiB" "4 MiB" "16 MiB"
  printf '|------------------|--------------------------|--------------------------|--------------------------|\n'
  for scanner in ScanDetailPage ScanListingPage; do
    cells=()
    for size in 1 4 16; do
      ms=$(scan_ms "$scanner/${size}MiB")
      cells+=("$ms ms ($(awk -v m="$ms" -v s="$size" 'BEGIN { printf "%.2f", m / s }') ms/MiB)")
    done
    printf '| %-16s | %-24s | %-24s | %-24s |\n' "$scanner" "${cells[@]}"
  done
fi

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)," \
  "$(awk '/MemTotal/ { printf "%.0f GB", $2 * 1024 / 1e9 }' /proc/meminfo) memory, $(uname -sr)."

[ "$tiny" = 1 ] && exit 0
! grep -q '| FAIL' <<<"$table"
