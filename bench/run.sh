#!/usr/bin/env bash
# Every figure of the program's speed and size against its floor, in one run, and the table of
# them. Run by hand, never a test:
#
#   bench/run.sh BUILD_DIR [ROUNDS] [SIZES] [REST_SECONDS]
#
# BUILD_DIR is a build configured with -DQUILLOMAR_BENCH=ON (RelWithDebInfo); SIZES default to
# "1000 20000 200000 1000000" entries, ROUNDS to 3, REST_SECONDS (the clock's shake) to 30. Each
# round runs, one after the other, one round of each measure, so that a busy spell of the machine
# falls on all of them alike:
#   bench/startup.sh   start to the week painted (floor: a bare Qt window), resident memory after
#                      start (a bare Qt clock), "Semana Siguiente" to the new week's pixels (a bare
#                      label change), on the agendas of $AGENDAS;
#   quillomar_bench_search  memory grown by the first accent-free search, the first search of a
#                      session that starts after another program wrote the agenda, the search step
#                      for an absent text (floor: raw FTS5 trigram on the same texts), the longest
#                      append while the day's safety copy runs (floor: one raw append), on the
#                      agendas of $SEARCH_AGENDAS (default /tmp/quillomar-search);
#   bench/rest.sh      the desktop clock shaking, CPU and X server time, against a bare Qt clock
#                      shaking the same way.
# It prints, per figure and size, the median of the rounds and of each round's ratio to its
# floor, beside the goal. Making the agendas the first time (and the search index at 1M) takes
# minutes; later runs reuse them.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
build=$(realpath "${1:?usage: bench/run.sh BUILD_DIR [ROUNDS] [SIZES] [REST_SECONDS]}")
rounds=${2:-3}
sizes=${3:-1000 20000 200000 1000000}
rest_seconds=${4:-30}
search_agendas=${SEARCH_AGENDAS:-/tmp/quillomar-search}
mkdir -p "$search_agendas"
# Each round's figures, kept for a look afterwards: ROUND SIZE FIGURE VALUE RATIO.
results=${RESULTS:-$(mktemp --suffix=.quillomar-bench)}
: >"$results"
echo "figures of each round in $results, what the measures said in $results.log" >&2

for round in $(seq "$rounds"); do
  echo "round $round of $rounds" >&2
  # "bare - start click" and "quillomar SIZE start ratio rss ratio click ratio" as startup.sh prints them.
  bash "$here/startup.sh" "$build" 1 "$sizes" 2>>"$results.log" | awk -v r="$round" '
    /^bare Qt window/ { for (i = 1; i <= NF; ++i) if ($i ~ /^ms[,;]$/) v[++n] = $(i - 1); rss = $(NF - 1)
                        printf "%s floor start %s -\n%s floor click %s -\n%s floor rss %s -\n", r, v[1], r, v[2], r, rss }
    $1 == "quillomar" { sub("x", "", $4); sub("x", "", $6); sub("x", "", $8)
                        printf "%s %s start %s %s\n%s %s rss %s %s\n%s %s click %s %s\n", r, $2, $3, $4, r, $2, $5, $6, r, $2, $7, $8 }' >>"$results" ||
    echo "round $round: bench/startup.sh failed" >&2
  # entries ready first step +MB1st +MBall start ready-ag start-ag copy append-max append-med alone raw-step raw-append
  # shellcheck disable=SC2086
  "$build/bench/quillomar_bench_search" "$search_agendas" 1 $sizes 2>>"$results.log" | awk -v r="$round" '
    $1 ~ /^[0-9]+$/ { printf "%s %s memory %s -\n%s %s first %s -\n%s %s step %s %s\n%s %s append %s %s\n",
                      r, $1, $5, r, $1, $7, r, $1, $4, ($4 / ($14 > 0 ? $14 : 1)), r, $1, $11, ($11 / ($15 > 0 ? $15 : 1)) }' >>"$results" ||
    echo "round $round: quillomar_bench_search failed" >&2
  REST_CASES="clock today" bash "$here/rest.sh" "$build" 1 "$rest_seconds" 2>>"$results.log" | awk -v r="$round" '
    /^  widget, entries today/ { for (i = 1; i <= NF; ++i) { if ($i == "CPU") c = $(i + 1); if ($i == "server") x = $(i + 1) }
                                 sub("x", "", c); sub("x", "", x); printf "%s all shakecpu - %s\n%s all shakex - %s\n", r, c, r, x }' >>"$results" ||
    echo "round $round: bench/rest.sh failed" >&2
done

python3 - "$results" "$sizes" "$rounds" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1]) if line.strip()]
sizes, rounds = sys.argv[2].split(), sys.argv[3]
values, ratios = {}, {}
for r, size, figure, value, ratio in (row + ["-"] * (5 - len(row)) for row in rows):
    if value != "-": values.setdefault((figure, size), []).append(float(value))
    if ratio != "-": ratios.setdefault((figure, size), []).append(float(ratio))
med = lambda xs: statistics.median(xs) if xs else float("nan")
figures = [
    ("start", "process start to the week painted", "ms", "bare Qt window", "≤ 1.5×"),
    ("rss", "RSS after start", "MB", "bare Qt clock", "≤ 1.5×"),
    ("memory", "memory after the first accent-free search", "MB", "—", "≤ +5 MB"),
    ("first", "first accent-free search, agenda written by another program", "ms", "—", "≤ 50 ms"),
    ("step", "accent-free search step, absent text", "ms", "raw FTS5 trigram", "≤ 1 ms at 1M"),
    ("click", "click \"Semana Siguiente\" to the new week's pixels", "ms", "bare Qt label change", "≤ 2×"),
    ("append", "longest append while the safety copy runs", "ms", "one raw append", "≤ 50 ms at 1M"),
]
floors = ("start", "click", "rss")
print(f"{rounds} rounds, interleaved; medians of the rounds and of each round's ratio to its floor")
print("| figure | floor | entries | floor value | program | ratio | goal |")
print("|---|---|---|---|---|---|---|")
for key, name, unit, floor, goal in figures:
    for size in sizes:
        value = med(values.get((key, size), []))
        ratio = med(ratios.get((key, size), []))
        floorValue = med(values.get((key, "floor"), [])) if key in floors else float("nan")
        show = lambda v: "—" if v != v else f"{v:.2f} {unit}" if v < 10 else f"{v:.1f} {unit}"
        print(f"| {name} | {floor} | {int(size):,} | {show(floorValue)} | {show(value)} | "
              f"{'—' if ratio != ratio else f'{ratio:.2f}×'} | {goal} |")
for key, name in (("shakecpu", "desktop clock shaking, CPU"), ("shakex", "desktop clock shaking, X server")):
    ratio = med(ratios.get((key, "all"), []))
    print(f"| {name} | bare Qt clock shaking the same way | all | — | — | "
          f"{'—' if ratio != ratio else f'{ratio:.2f}×'} | ≤ 1.2× |")
EOF
