#!/usr/bin/env bash
# Start-up, memory after start and the week's change, beside bare Qt programs. Run by hand, never
# a test:
#
#   bench/startup.sh BUILD_DIR [ROUNDS] [SIZES]
#
# BUILD_DIR holds src/quillomar and the bench/ tools (configure with -DQUILLOMAR_BENCH=ON). SIZES
# (default "1000 20000 200000 1000000") are the agendas' numbers of entries; each is made once by
# quillomar_make_agenda in $AGENDAS (default /tmp/quillomar-agendas), its shown week and the next
# holding 140 entries each. On a private X display with openbox and xcompmgr, each round runs one
# after the other: a bare Qt clock (bench_clock, for memory), then for each agenda a bare Qt
# window of the program's size (started, then its button clicked) and right after it the program
# on that agenda: started, its resident memory read 2 s after its week settled, and "Semana
# Siguiente" clicked. Times are taken from outside, by quillomar_paint_watch, from the process's
# start (or the click) to the first time the screen shows what it settles on. The script prints
# the medians, and the medians of each round's ratio to the bare program started just before it
# (to the bare clock of the same round, for memory). BASELINE=OTHER_BUILD_DIR measures that
# build's program too, in the same rounds (before and after a change, side by side).
# Needs: xvfb openbox xcompmgr xdotool.
set -euo pipefail

build=$(realpath "${1:?usage: bench/startup.sh BUILD_DIR [ROUNDS] [SIZES]}")
rounds=${2:-5}
sizes=${3:-1000 20000 200000 1000000}
agendas=${AGENDAS:-/tmp/quillomar-agendas}
watch="$build/bench/quillomar_paint_watch"
for tool in Xvfb openbox xcompmgr xdotool; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

# The agendas, made once for this week (the week shown at start must hold the 140 entries).
monday=$(date -d "$(( $(date +%u) - 1 )) days ago" +%d/%m/%Y)
mkdir -p "$agendas"
for n in $sizes; do
  file="$agendas/$n-${monday//\//-}.mdb"
  [ -s "$file" ] || "$build/bench/quillomar_make_agenda" "$file" "$n" "$monday"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

n=60; while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 & pids+=("$!")
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"
openbox >/dev/null 2>&1 & pids+=("$!")
xcompmgr >/dev/null 2>&1 & pids+=("$!")
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
sleep 1

# A portable copy per agenda: settings, agenda and safety copies beside the executable.
programs="quillomar"
[ -z "${BASELINE:-}" ] || programs="baseline quillomar"
for program in $programs; do
  from=$build; [ "$program" = quillomar ] || from=$(realpath "$BASELINE")
  for n in $sizes; do
    mkdir -p "$work/$program/$n"
    cp "$from/src/quillomar" "$work/$program/$n/"
    [ ! -e "$from/src/quillomar-sound.so" ] || cp "$from/src/quillomar-sound.so" "$work/$program/$n/"
    cp "$agendas/$n-${monday//\//-}.mdb" "$work/$program/$n/quillomar.mdb"
  done
done
rss_kb() { awk '/^VmRSS/ {print $2}' /proc/"$1"/status; }
# xdotool's search walks every window on the display and gives up when one of them (anyone's)
# goes away under it, which happens while a program starts: ask again until it answers.
window_of() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  echo "no window of process $1" >&2; return 1
}
stop() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; while kill -0 "$1" 2>/dev/null; do sleep 0.05; done; }

# Where the program's window stands and where its "Semana Siguiente" is; the first start also
# makes each agenda's safety copy of the day, which later starts leave alone.
for program in $programs; do
  for n in $sizes; do
    (cd "$work/$program/$n" && exec ./quillomar >/dev/null 2>&1) & first=$!
    id=$(window_of "$first")
    sleep 3
    # The copy of a large agenda takes a few seconds more; cut short, it would be made again at
    # every start of the rounds, beside what they measure.
    for _ in $(seq 600); do
      [ -e "$work/$program/$n/copias/quillomar-$(date +%F).mdb" ] && break
      sleep 0.1
    done
    eval "$(xdotool getwindowgeometry --shell "$id")"
    stop "$first"
  done
done
geometry="$X $Y $WIDTH $HEIGHT"
# "Semana Siguiente" stands right of the pages, level with Wednesday's foot: on this screen
# (1920x1080 at 100 dpi, where the window opens 960x540) its middle is 35 px from the window's
# right edge and 41 px from its foot. NEXT_AT="X Y" says otherwise.
next_x=$(( X + WIDTH - 35 )); next_y=$(( Y + HEIGHT - 41 ))
[ -n "${NEXT_AT:-}" ] && read -r next_x next_y <<<"$NEXT_AT"
echo "window at $geometry; Semana Siguiente at $next_x,$next_y" >&2

results="$work/results"
: >"$results"
for round in $(seq "$rounds"); do
  "$build/bench/quillomar_bench_clock" >/dev/null 2>&1 & pid=$!
  window_of "$pid" >/dev/null
  sleep 2.5
  echo "$round clock - 0 $(rss_kb "$pid") 0" >>"$results"
  stop "$pid"

  for n in $sizes; do
    # The bare window right before each agenda's starts: each ratio compares starts (and clicks)
    # a moment apart, where one bare start per round swung the ratios of all its agendas together.
    read -r ms pid < <("$watch" start $geometry -- "$build/bench/quillomar_bench_window" $geometry)
    sleep 0.3
    # The same rectangle as the program's, so both are read at the same cost.
    click=$("$watch" click $(( X + 70 )) $(( Y + 25 )) $geometry)
    stop "$pid"
    echo "$round bare $n $ms 0 $click" >>"$results"
    for program in $programs; do
      read -r ms pid < <(cd "$work/$program/$n" && "$watch" start $geometry -- ./quillomar)
      sleep 2
      rss=$(rss_kb "$pid")
      click=$("$watch" click "$next_x" "$next_y" $geometry || echo -1)
      stop "$pid"
      echo "$round $program $n $ms $rss $click" >>"$results"
    done
  done
done

python3 - "$results" "$sizes" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
sizes = sys.argv[2].split()
bare, clock, prog = {}, {}, {}
for r, name, n, ms, rss, click in rows:
    r = int(r)
    if name == "bare": bare[(r, n)] = (float(ms), float(click))
    elif name == "clock": clock[r] = int(rss)
    else: prog.setdefault(name, {}).setdefault(n, {})[r] = (float(ms), int(rss), float(click))
med = statistics.median
print(f"bare Qt window: start to painted {med(v[0] for v in bare.values()):.1f} ms, "
      f"label change {med(v[1] for v in bare.values()):.1f} ms; bare Qt clock RSS {med(clock.values())/1024:.1f} MB")
print(f"{'program':>9} {'entries':>9} {'start ms':>9} {'ratio':>6} {'RSS MB':>7} {'ratio':>6} {'next week ms':>13} {'ratio':>6}")
for name in sorted(prog):
    for n in sizes:
        runs = prog[name][n]
        start = med(v[0] for v in runs.values()); rss = med(v[1] for v in runs.values()); click = med(v[2] for v in runs.values())
        rs = med(runs[r][0] / bare[(r, n)][0] for r in runs if (r, n) in bare)
        rm = med(runs[r][1] / clock[r] for r in runs if r in clock)
        rc = med(runs[r][2] / bare[(r, n)][1] for r in runs if (r, n) in bare)
        print(f"{name:>9} {int(n):>9} {start:9.1f} {rs:5.2f}x {rss/1024:7.1f} {rm:5.2f}x {click:13.1f} {rc:5.2f}x")
EOF
