#!/usr/bin/env bash
# What the program costs at rest on a desktop, beside a bare Qt clock. Run by hand, never a test:
#
#   bench/rest.sh BUILD_DIR [ROUNDS] [SECONDS] [AGENDA.mdb]
#
# BUILD_DIR holds src/quillomar and bench/quillomar_bench_clock (configure with
# -DQUILLOMAR_BENCH=ON). AGENDA.mdb, when given, is the diary to start with (quillomar_bench builds
# a large one); otherwise an empty one is used. On a private X display with a window manager and a
# compositor, each round starts, one after the other: the bare clock standing still; the program
# with its main window closed through the window manager (so the desktop clock stands alone) and
# no entry today; the bare clock shaking every ten seconds as the program's does (same window,
# reach and frames); the program with an entry today (its clock shakes every ten seconds). Each
# runs SECONDS at rest (a multiple of ten holds the same number of shakes) and the script prints
# CPU per minute, context switches per second and the X server's and the compositor's CPU per
# minute, as medians, and the ratios of each case of the program to its bare clock of the same
# round. REST_CASES="clock today" runs only the shaking pair.
# Needs: xvfb openbox xcompmgr wmctrl xdotool sqlite3.
set -euo pipefail

build=$(realpath "${1:?usage: bench/rest.sh BUILD_DIR [ROUNDS] [SECONDS] [AGENDA.mdb]}")
rounds=${2:-3}
seconds=${3:-60}
agenda=${4:-}
for tool in Xvfb openbox wmctrl xdotool sqlite3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own.
n=60; while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 & xserver=$!; pids+=("$xserver")
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"
openbox >/dev/null 2>&1 & pids+=("$!")
compositor=""
if command -v xcompmgr >/dev/null; then xcompmgr >/dev/null 2>&1 & compositor=$!; pids+=("$compositor"); fi
export XDG_RUNTIME_DIR="$work/runtime"; mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
sleep 1

# Two program folders: the settings file and the diary live beside the executable.
for case in empty today; do
  mkdir "$work/$case"
  cp "$build/src/quillomar" "$build/src/quillomar-sound.so" "$work/$case/"
  if [ -n "$agenda" ]; then cp "$agenda" "$work/$case/quillomar.mdb"; fi
done
# Let the program create its tables, then write today's entry with a plain SQLite client.
(cd "$work/today" && exec ./quillomar >/dev/null 2>&1) & first=$!
for _ in $(seq 100); do [ -s "$work/today/quillomar.mdb" ] && break; sleep 0.1; done
sleep 2; kill "$first"; wait "$first" 2>/dev/null || true
[ -n "$agenda" ] || cp "$work/today/quillomar.mdb" "$work/empty/"
sqlite3 "$work/today/quillomar.mdb" \
  "INSERT INTO notas (fecha, hora, texto) VALUES ('$(date +%d/%m/%Y)', '10:00', 'Prueba de reposo')"

# Nanoseconds on a CPU of every thread of a process alive now.
cpu_ns() { local s=0 t; for t in /proc/"$1"/task/*/schedstat; do s=$((s + $(cut -d' ' -f1 "$t"))); done; echo "$s"; }
# A line per thread of a process: its id, nanoseconds on a CPU, context switches.
thread_counts() {
  local t c s
  for t in /proc/"$1"/task/*; do
    c=$(cut -d' ' -f1 "$t/schedstat" 2>/dev/null) || continue
    s=$(awk '/^(non)?voluntary_ctxt_switches/ {n += $2} END {print n}' "$t/status" 2>/dev/null) || continue
    [ -n "$c" ] && [ -n "$s" ] && echo "${t##*/} $c $s"
  done
}
# CPU nanoseconds and context switches of a process over SECONDS. The threads are read every
# second, so a thread that ends meanwhile (a worker of the thread pool, the safety copy's) keeps
# what it cost up to its last reading instead of taking its counts away with it.
measure_threads() { # pid seconds
  local pid=$1 tid c s dc=0 ds=0
  local -A base_c=() base_s=() last_c=() last_s=()
  while read -r tid c s; do base_c[$tid]=$c; base_s[$tid]=$s; last_c[$tid]=$c; last_s[$tid]=$s; done < <(thread_counts "$pid")
  for _ in $(seq "$2"); do
    sleep 1
    while read -r tid c s; do last_c[$tid]=$c; last_s[$tid]=$s; done < <(thread_counts "$pid")
  done
  for tid in "${!last_c[@]}"; do
    dc=$((dc + last_c[$tid] - ${base_c[$tid]:-0}))
    ds=$((ds + last_s[$tid] - ${base_s[$tid]:-0}))
  done
  echo "$dc $ds"
}
rss_kb() { awk '/^VmRSS/ {print $2}' /proc/"$1"/status; }

results="$work/results"
: >"$results"
run_case() { # name round
  local name=$1 round=$2 pid
  case $name in
    still) "$build/bench/quillomar_bench_clock" --still >/dev/null 2>&1 & pid=$! ;;
    clock) "$build/bench/quillomar_bench_clock" >/dev/null 2>&1 & pid=$! ;;
    *) (cd "$work/$name" && exec ./quillomar >/dev/null 2>&1) & pid=$! ;;
  esac
  xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1 || true
  sleep 2
  local rss; rss=$(rss_kb "$pid")
  if [ "$name" = empty ] || [ "$name" = today ]; then
    # Through the window manager, as a user closing the window would.
    wmctrl -c Quillomar
    sleep 3
  fi
  # Only the measured program's own window may be up: the desktop clock, or the bare clock.
  local shown
  shown=$(wmctrl -lp | awk -v pid="$pid" '$3 == pid' | wc -l)
  if [ "$shown" -ne 1 ] || ! kill -0 "$pid" 2>/dev/null; then
    echo "round $round, $name: expected one window of process $pid, found $shown" >&2
    wmctrl -lpG >&2
  fi
  # REST_SHOTS=FOLDER keeps a picture of the screen as each measure begins.
  if [ -n "${REST_SHOTS:-}" ] && command -v import >/dev/null; then
    import -window root "$REST_SHOTS/$name-$round.png" 2>/dev/null || true
  fi
  local t0 t1 x0 m0 x1 m1 cpu sw span
  t0=$(date +%s%N); x0=$(cpu_ns "$xserver"); m0=$([ -n "$compositor" ] && cpu_ns "$compositor" || echo 0)
  read -r cpu sw < <(measure_threads "$pid" "$seconds")
  t1=$(date +%s%N); x1=$(cpu_ns "$xserver"); m1=$([ -n "$compositor" ] && cpu_ns "$compositor" || echo 0)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  span=$(( (t1 - t0) / 1000000 )) # milliseconds the measure lasted
  echo "$round $name $(( cpu * 60 / span )) $(( sw * 100000 / span )) $(( (x1 - x0) * 60 / span )) $(( (m1 - m0) * 60 / span )) $rss" >>"$results"
  sleep 1
}

cases=${REST_CASES:-still empty clock today}
for round in $(seq "$rounds"); do
  for name in $cases; do run_case "$name" "$round"; done
done

python3 - "$results" "$rounds" "$seconds" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
data = {}
for round_, name, cpu, sw, x, comp, rss in rows:
    # cpu, x, comp in microseconds per minute; sw in hundredths per second
    data.setdefault(name, {})[int(round_)] = (int(cpu), int(sw) / 100, int(x), int(comp), int(rss))
names = {"still": "bare Qt clock, still", "empty": "widget, no entries today",
         "clock": "bare Qt clock, shaking", "today": "widget, entries today (shakes)"}
floors = {"empty": "still", "today": "clock"}
print(f"{sys.argv[2]} rounds of {sys.argv[3]} s, interleaved; medians")
print(f"{'':32} {'CPU ms/min':>10} {'% core':>7} {'switch/s':>9} {'X ms/min':>9} {'comp ms/min':>11} {'RSS MB':>7}")
for name in names:
    if name not in data:
        continue
    runs = list(data[name].values())
    med = [statistics.median(r[i] for r in runs) for i in range(5)]
    print(f"{names[name]:32} {med[0]/1000:10.1f} {med[0]/600000:7.3f} {med[1]:9.1f} {med[2]/1000:9.1f} {med[3]/1000:11.1f} {med[4]/1024:7.1f}")
print("ratios to the bare clock of the same round, still or shaking (median of the rounds' ratios):")
for name, floor in floors.items():
    if name not in data or floor not in data:
        continue
    per = [[data[name][r][i] / max(data[floor][r][i], 1) for r in sorted(data[name]) if r in data[floor]]
           for i in range(5)]
    ratios = [statistics.median(p) for p in per]
    print(f"  {names[name]:30} CPU {ratios[0]:.2f}x  switches {ratios[1]:.2f}x  X server {ratios[2]:.2f}x  "
          f"compositor {ratios[3]:.2f}x  RSS {ratios[4]:.2f}x")
    print(f"  {'':30} each round: CPU {' '.join(f'{v:.2f}' for v in per[0])}; X server {' '.join(f'{v:.2f}' for v in per[2])}")
EOF
