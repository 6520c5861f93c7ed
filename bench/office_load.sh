#!/usr/bin/env bash
# An office under load: STATIONS headless stations (default 20) on one data root, each saving a
# receipt of 1 EUR in the cash desk of series 01 and then sleeping one second of real time, DOCS
# times (default 60: a minute), once with the locks in the sharing tables FOT.tab and once through
# the lock server pzlockd on 127.0.0.1. Afterwards it checks that every document was stored once
# under its own number and that the balance of the series is its opening balance plus the
# documents, that the posting numbered no voucher line twice, and prints the save time per
# document (median and p99, in ms): from F2 to the end of the save's questions, less what the two
# timing steps cost without a save.
#
#   bench/office_load.sh [BUILD-DIR]      (default build/default; needs pzpokl and pzlockd)
#
# Stations run their lock waits in real time ("waits real"), so a busy lock costs what it costs a
# user: the wait window retries once a second.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$src/build/default}"
stations="${STATIONS:-20}"
docs="${DOCS:-60}"
pzpokl="$build/src/pzpokl"
pzlockd="$build/tools/pzlockd"
[ -x "$pzpokl" ] && [ -x "$pzlockd" ] || { echo "build pzpokl and pzlockd first" >&2; exit 1; }

# Sets (or adds) key=value pairs in a station table (records of two short strings of 8).
station_table() {
  python3 - "$@" <<'EOF'
import sys
path, pairs = sys.argv[1], sys.argv[2:]
data = bytearray(open(path, 'rb').read())
def ss(t):
    b = t.encode('cp1250')
    return bytes([len(b)]) + b + bytes(8 - len(b))
for pair in pairs:
    k, v = pair.split('=', 1)
    for off in range(0, len(data) - 17, 18):
        n = data[off]
        if data[off + 1:off + 1 + n].decode('cp1250') == k:
            data[off + 9:off + 18] = ss(v)
            break
    else:
        for off in range(0, len(data) - 17, 18):
            if data[off] == 0:
                data[off:off + 18] = ss(k) + ss(v)
                break
        else:
            data += ss(k) + ss(v)
open(path, 'wb').write(bytes(data))
EOF
}

run_mode() {
  local mode="$1" root
  root="$(mktemp -d "${TMPDIR:-/tmp}/pzoffice-$mode-XXXXXX")"
  cp -r "$src/demo/data" "$root/data"
  cp -r "$src/demo/prog" "$root/prog"
  cp -r "$src/demo/TAMBRA3W" "$root/TAMBRA3W"
  local server=""
  if [ "$mode" = server ]; then
    station_table "$root/data/master.job" "SERVER1=127.0.0." "SERVER2=1"
    "$pzlockd" --bind 127.0.0.1 --port 5050 2>"$root/pzlockd.log" &
    server=$!
    sleep 0.5
  fi
  # The script of one station; @T@ is its file of times.
  {
    echo "waits real"
    echo "Enter"; echo "Esc"; echo "Enter"
    # What the timing steps cost without a save, once.
    echo "run date +%s%N >> @B@"; echo "run date +%s%N >> @B@"
    # A save as the cashier makes it: F2, the proposed line of the VAT return (Enter), the VAT
    # supplement as filled (F2), at the first document of the window the voucher number proposed
    # for the posting (Enter), the entries as proposed (Esc) and "Zapsat do účetnictví?" (a); the
    # voucher then shown in the viewer is closed (Esc) once the time is taken.
    for ((i = 0; i < docs; i++)); do
      printf '%s\n' F4 "type P" Enter Enter Enter Enter "type 030122" Enter Enter "type Zatez" Enter Esc Enter \
        "type 1" Enter "run date +%s%N >> @T@" F2 Enter F2
      [ "$i" -eq 0 ] && echo Enter
      printf '%s\n' Esc "type a" "run date +%s%N >> @T@" Esc "run sleep 1"
    done
    echo "Esc"; echo "Esc"; echo "Esc"
  } >"$root/station.keys"
  local pids=()
  for ((s = 1; s <= stations; s++)); do
    local nn w
    nn="$(printf '%02d' "$s")"
    w="$root/s$nn"
    mkdir -p "$w"
    cp -r "$src/demo/work/par" "$w/par"
    cp "$src/demo/work/master.job" "$w/master.job"
    station_table "$w/master.job" "UZIVATEL=$nn" "POCITAC=$nn"
    # The own company's data are kept per user: every station works for the demo's company.
    [ -f "$root/data/fmw$nn.dta" ] || cp "$root/data/fmw01.dta" "$root/data/fmw$nn.dta"
    printf 'C:\\data\\\r\n' >"$w/data.adr"
    printf 'C:\\prog\\\r\n' >"$w/prog.adr"
    printf 'C: = ..\n' >"$w/drives.txt"
    sed -e "s|@T@|$root/times-$nn.txt|" -e "s|@B@|$root/base-$nn.txt|" "$root/station.keys" >"$w/station.keys"
    (cd "$w" && exec "$pzpokl" --headless station.keys >"$w/out.txt" 2>"$w/err.txt") &
    pids+=($!)
  done
  local failed=0
  for p in "${pids[@]}"; do wait "$p" || failed=$((failed + 1)); done
  [ -n "$server" ] && kill "$server" && wait "$server" 2>/dev/null || true
  echo "== $mode: $stations stations x $docs receipts ($failed stations ended with an error; scripts in $root)"
  python3 - "$root" "$stations" "$docs" <<'EOF'
import glob, os, statistics, sys
root, stations, docs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def real48(b):
    if b[0] == 0: return 0.0
    m = b[1] | b[2] << 8 | b[3] << 16 | b[4] << 24 | (b[5] & 0x7f) << 32
    v = (1 + m / 2.0**39) * 2.0**(b[0] - 129)
    return -v if b[5] & 0x80 else v
def ss(b, o, w):
    return b[o + 1:o + 1 + min(w, b[o])].decode('cp1250')
D = 337
path = os.path.join(root, 'data', 'PZ01_.dta')
data = open(path, 'rb').read() if os.path.exists(path) else b''
n = len(data) // D
recs = [data[i * D:(i + 1) * D] for i in range(n)]
idents = [ss(r, 2, 5) for r in recs]
numbers = [ss(r, 8, 60) for r in recs]
total = sum(real48(r[136:142]) for r in recs)
series = open(os.path.join(root, 'data', 'pz_ra.dta'), 'rb').read()
balance = real48(series[15:21])
print(f'documents stored: {n} of {stations * docs}; distinct idents: {len(set(idents))}; distinct numbers: {len(set(numbers))}')
print(f'balance of series 01: {balance:.2f}; opening balance + documents: {float(os.environ.get("OPENING", "0")) + total:.2f}')
# The posting: 138-byte entries in the cash desk's batch, each (voucher, line) pair once.
bpath = os.path.join(root, 'data', 'PZUC.dta')
batch = open(bpath, 'rb').read() if os.path.exists(bpath) else b''
pairs = [ss(batch, o + 3, 6) + '/' + ss(batch, o + 10, 2) for o in range(0, len(batch) - 137, 138)]
print(f'posting: {len(pairs)} entries, {len(set(pairs))} distinct voucher lines')
base = []
for f in glob.glob(os.path.join(root, 'base-*.txt')):
    t = [int(x) for x in open(f).read().split()]
    base += [(t[i + 1] - t[i]) / 1e6 for i in range(0, len(t) - 1, 2)]
over = statistics.median(base) if base else 0.0
times = []
for f in glob.glob(os.path.join(root, 'times-*.txt')):
    t = [int(x) for x in open(f).read().split()]
    times += [(t[i + 1] - t[i]) / 1e6 - over for i in range(0, len(t) - 1, 2)]
times.sort()
if times:
    p99 = times[min(len(times) - 1, int(len(times) * 0.99))]
    print(f'save time per document: median {statistics.median(times):.1f} ms, p99 {p99:.1f} ms, max {times[-1]:.1f} ms '
          f'({len(times)} saves; timing steps alone: {over:.1f} ms, subtracted)')
EOF
}

opening="$(python3 -c "
d=open('$src/demo/data/pz_ra.dta','rb').read()
b=d[15:21]
m=b[1]|b[2]<<8|b[3]<<16|b[4]<<24|(b[5]&0x7f)<<32
v=0.0 if b[0]==0 else (1+m/2**39)*2**(b[0]-129)
print(-v if b[5]&0x80 else v)")"
export OPENING="$opening"
run_mode table
run_mode server
