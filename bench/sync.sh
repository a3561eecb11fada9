#!/usr/bin/env bash
# The sync with a CalDAV/CardDAV server, timed beside vdirsyncer syncing the same collection with
# a folder (not a test):
#   bench/sync.sh BUILD_FOLDER [ROUNDS] [ITEMS]
# BUILD_FOLDER was configured with -DQUILLOMAR_BENCH=ON and holds bench/quillomar_bench_sync.
# Starts a Radicale of its own (127.0.0.1, a free port, a fresh storage holding ITEMS events in a
# calendar, ITEMS cards in an address book, and an empty calendar and address book beside them).
# Each round, interleaved, for the events and then for the cards: a first pass of a new agenda
# (quillomar_bench_sync, a process per pass) and a second pass with nothing to do; then vdirsyncer's
# first sync of the same collection to an empty folder and a second with nothing to do. Prints
# each round's seconds (whole processes, start-up included on both sides) and the median of the
# per-round ratios, Quillomar / vdirsyncer.
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-5}
items=${3:-1000}
program=$build/bench/quillomar_bench_sync
[ -x "$program" ] || { echo "no $program: configure with -DQUILLOMAR_BENCH=ON and build it" >&2; exit 2; }
command -v vdirsyncer >/dev/null || { echo "vdirsyncer is not installed" >&2; exit 2; }
python=/usr/bin/python3
work=$(mktemp -d)
server=""
cleanup() { [ -z "$server" ] || kill "$server" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

port=$($python -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
user=ana
password=bench-$RANDOM
htpasswd -cbm "$work/users" "$user" "$password" 2>/dev/null
cat >"$work/config" <<EOF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = md5
delay = 0
[rights]
type = owner_only
[storage]
filesystem_folder = $work/storage
[web]
type = none
[logging]
level = error
EOF

# The collections written straight into Radicale's storage, as it keeps them.
$python - "$work/storage/collection-root/$user" "$items" <<'PY'
import json, os, sys
root, count = sys.argv[1], int(sys.argv[2])
def collection(name, props, files):
    os.makedirs(os.path.join(root, name))
    with open(os.path.join(root, name, ".Radicale.props"), "w") as f:
        json.dump(props, f)
    for file, text in files:
        with open(os.path.join(root, name, file), "w", newline="") as f:
            f.write(text)
calendar = {"tag": "VCALENDAR", "C:supported-calendar-component-set": "VEVENT,VTODO"}
book = {"tag": "VADDRESSBOOK"}
events = []
for i in range(count):
    day, month = 1 + i % 28, 1 + (i // 28) % 12
    events.append((f"evento-{i}.ics", "\r\n".join([
        "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//bench//ES", "BEGIN:VEVENT", f"UID:evento-{i}@example.org",
        "DTSTAMP:20240101T000000Z", f"DTSTART:2025{month:02}{day:02}T{8 + i % 10:02}0000",
        f"DTEND:2025{month:02}{day:02}T{9 + i % 10:02}0000", f"SUMMARY:Reunión número {i} con el equipo",
        "END:VEVENT", "END:VCALENDAR", ""])))
cards = []
for i in range(count):
    cards.append((f"tarjeta-{i}.vcf", "\r\n".join([
        "BEGIN:VCARD", "VERSION:3.0", f"UID:tarjeta-{i}@example.org", f"FN:Persona {i} García",
        f"N:García;Persona {i};;;", f"TEL;TYPE=CELL:+34 600 {i:06}", f"EMAIL:persona{i}@example.org",
        "END:VCARD", ""])))
collection("eventos", dict(calendar, **{"D:displayname": "eventos"}), events)
collection("tarjetas", dict(book, **{"D:displayname": "tarjetas"}), cards)
collection("calendario-vacio", dict(calendar, **{"D:displayname": "calendario-vacio"}), [])
collection("contactos-vacios", dict(book, **{"D:displayname": "contactos-vacios"}), [])
PY

$python -m radicale --config "$work/config" >/dev/null 2>&1 &
server=$!
for _ in $(seq 200); do
  $python -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done
base=http://127.0.0.1:$port/$user
# Radicale reads a collection's items into its cache at the first listing: not part of any pass.
for c in eventos tarjetas; do
  curl -s -o /dev/null -u "$user:$password" -X PROPFIND -H 'Depth: 1' "$base/$c/"
done

seconds() { # runs a command, prints its wall seconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc
}

vdir_config() { # KIND (caldav/carddav) COLLECTION EXTENSION -> config file
  local folder=$work/vdir
  rm -rf "$folder" && mkdir -p "$folder/items" "$folder/status"
  cat >"$folder/config" <<EOF
[general]
status_path = "$folder/status/"

[pair bench]
a = "bench_local"
b = "bench_remote"
collections = null

[storage bench_local]
type = "filesystem"
path = "$folder/items/"
fileext = "$3"

[storage bench_remote]
type = "$1"
url = "$base/$2/"
username = "$user"
password = "$password"
EOF
  yes | vdirsyncer -c "$folder/config" discover >/dev/null 2>&1
  echo "$folder/config"
}

declare -A ratios
for round in $(seq "$rounds"); do
  for kind in events cards; do
    if [ $kind = events ]; then
      calendar=$base/eventos/ book=$base/contactos-vacios/ dav=caldav collection=eventos ext=.ics
    else
      calendar=$base/calendario-vacio/ book=$base/tarjetas/ dav=carddav collection=tarjetas ext=.vcf
    fi
    agenda=$work/agenda-$kind-$round/quillomar.mdb
    mkdir -p "$(dirname "$agenda")"
    q_first=$(seconds "$program" "$agenda" "$calendar" "$book" "$user" "$password")
    q_again=$(seconds "$program" "$agenda" "$calendar" "$book" "$user" "$password")
    config=$(vdir_config $dav $collection $ext)
    v_first=$(seconds vdirsyncer -c "$config" sync)
    v_again=$(seconds vdirsyncer -c "$config" sync)
    echo "round $round $kind: first pass quillomar ${q_first}s vdirsyncer ${v_first}s;" \
      "nothing to do quillomar ${q_again}s vdirsyncer ${v_again}s"
    ratios[$kind-first]+="$(echo "scale=3; $q_first / $v_first" | bc) "
    ratios[$kind-again]+="$(echo "scale=3; $q_again / $v_again" | bc) "
  done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
echo "median ratio quillomar / vdirsyncer over $rounds rounds, $items items:"
for kind in events cards; do
  echo "  $kind: first pass $(echo "${ratios[$kind-first]}" | median), nothing to do $(echo "${ratios[$kind-again]}" | median)"
done
