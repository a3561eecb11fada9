#!/usr/bin/env bash
# Import and export of calendar files, timed beside khal's import of the same files (not a test).
#   bench/interchange.sh BUILD_FOLDER [ROUNDS] [AGENDA_200K]
# BUILD_FOLDER holds src/quillomar (any build). Each round, interleaved: quillomar --import of a
# file of 10,000 events into an empty agenda, then khal import of the same file into an empty
# calendar; then quillomar --export of the 200,000-entry agenda (the one bench/quillomar_bench
# builds, given as its quillomar.mdb, else made here alike) and khal import of that export. khal
# imports about 30 events a second, so it is given the export's first 10,000 events and its time
# scaled to the whole file (said so in the output). Prints each round's seconds and the median of
# the per-round ratios.
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-3}
big=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=Europe/Madrid XDG_RUNTIME_DIR=$work

python3 - "$work/diez-mil.ics" <<'PY'
import sys
out = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//bench//ES"]
for i in range(10000):
    day = 1 + i % 28; month = 1 + (i // 28) % 12; year = 2020 + i // 336
    out += ["BEGIN:VEVENT", f"UID:bench-{i}@example.org", "DTSTAMP:20240101T000000Z",
            f"DTSTART;TZID=Europe/Madrid:{year}{month:02}{day:02}T{8 + i % 10:02}0000",
            f"DTEND;TZID=Europe/Madrid:{year}{month:02}{day:02}T{9 + i % 10:02}0000",
            f"SUMMARY:Reunión número {i} con el equipo", f"LOCATION:Sala {i % 7}"]
    if i % 3 == 0:
        out += ["BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Aviso", "TRIGGER:-PT15M", "END:VALARM"]
    out += ["END:VEVENT"]
out += ["END:VCALENDAR", ""]
open(sys.argv[1], "w").write("\r\n".join(out))
PY

# A portable copy of the program in a folder of its own, with an empty agenda or the one given.
fresh_program() {
  rm -rf "$work/program" && mkdir "$work/program" && cp "$build/src/quillomar" "$work/program/"
  [ -n "${1:-}" ] && cp "$1" "$work/program/quillomar.mdb"
  return 0
}
fresh_khal() {
  rm -rf "$work/khal" && mkdir -p "$work/khal/cal"
  printf '[calendars]\n[[bench]]\npath = %s/khal/cal\n[locale]\ntimeformat = %%H:%%M\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\ndatetimeformat = %%Y-%%m-%%d %%H:%%M\nlongdatetimeformat = %%Y-%%m-%%d %%H:%%M\ndefault_timezone = Europe/Madrid\nlocal_timezone = Europe/Madrid\n' "$work" >"$work/khal/config"
}
seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

ratios=()
for round in $(seq "$rounds"); do
  fresh_program
  ours=$(seconds "$work/program/quillomar" --import "$work/diez-mil.ics")
  fresh_khal
  theirs=$(seconds khal -c "$work/khal/config" import --batch -a bench "$work/diez-mil.ics")
  ratio=$(echo "$ours / $theirs" | bc -l)
  ratios+=("$ratio")
  printf 'import of 10,000 events, round %s: quillomar %.2f s, khal %.2f s, ratio %.3f\n' "$round" "$ours" "$theirs" "$ratio"
done
printf 'import: median ratio %.3f\n' "$(printf '%s\n' "${ratios[@]}" | median)"

if [ -z "$big" ]; then
  # The agenda quillomar_bench builds: 200,000 entries over thirty years, a third with a note,
  # a tenth with an alarm.
  fresh_program
  "$work/program/quillomar" --export "$work/vacia.ics" >/dev/null
  big=$work/grande.mdb
  mv "$work/program/quillomar.mdb" "$big"
  python3 - "$big" <<'PY'
import sqlite3, sys, datetime
db = sqlite3.connect(sys.argv[1])
first = datetime.date(1995, 1, 1)
rows = []
for i in range(200000):
    day = first + datetime.timedelta(days=i % 10950)
    rows.append((day.strftime("%d/%m/%Y"), "%02d:%02d" % (8 + i % 12, i % 60), "Reunión número %d con el equipo" % i,
                 None if i % 3 else "Llevar los papeles del asunto %d y repasar las cuentas" % i,
                 None if i % 10 else "08:00"))
db.executemany("INSERT INTO notas (fecha, hora, texto, nota, horaalarma) VALUES (?, ?, ?, ?, ?)", rows)
db.commit()
PY
fi
ratios=()
for round in $(seq "$rounds"); do
  fresh_program "$big"
  ours=$(seconds "$work/program/quillomar" --export "$work/grande.ics")
  events=$(grep -c '^BEGIN:VEVENT' "$work/grande.ics")
  python3 - "$work/grande.ics" "$work/trozo.ics" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-8").read()
head, _, rest = text.partition("BEGIN:VEVENT")
events = ("BEGIN:VEVENT" + rest).split("BEGIN:VEVENT")[1:10001]
body = "".join("BEGIN:VEVENT" + e for e in events)
if not body.rstrip().endswith("END:VCALENDAR"):
    body += "END:VCALENDAR\r\n"
open(sys.argv[2], "w", encoding="utf-8").write(head + body)
PY
  fresh_khal
  slice=$(seconds khal -c "$work/khal/config" import --batch -a bench "$work/trozo.ics")
  theirs=$(echo "$slice * $events / 10000" | bc -l)
  ratio=$(echo "$ours / $theirs" | bc -l)
  ratios+=("$ratio")
  printf 'export of %s entries, round %s: quillomar %.2f s; khal import of its first 10,000 events %.1f s, scaled to the file %.0f s; ratio %.5f\n' \
    "$events" "$round" "$ours" "$slice" "$theirs" "$ratio"
  fresh_program
  again=$(seconds "$work/program/quillomar" --import "$work/grande.ics")
  printf '  (quillomar --import of that export into an empty agenda: %.2f s)\n' "$again"
done
printf 'export: median ratio %.5f\n' "$(printf '%s\n' "${ratios[@]}" | median)"
