#!/usr/bin/env bash
# Builds the Debian package from the optimised build (`cmake --build --preset default --target
# package`), checks it with lintian and desktop-file-validate, installs it with apt-get, runs the
# installed pzpokl on a copy of the installed demo and the installed lock server as its systemd
# unit starts it, and removes the package again. Any failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=(lintian desktop-file-utils dpkg-dev man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

echo "== package"
cmake --preset default >/dev/null
rm -f build/default/pzpokl_*.deb
cmake --build --preset default --target package
deb="$(ls build/default/pzpokl_*.deb)"
desktop-file-validate packaging/pzpokl.desktop
lintian --fail-on error,warning "$deb"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
# The man pages as the package holds them (a minimal system may leave /usr/share/man out).
dpkg-deb -x "$deb" "$tmp/x"
man -P cat -l "$tmp/x/usr/share/man/man1/pzpokl.1.gz" | grep -q "foreign-currency cash desk"
man -P cat -l "$tmp/x/usr/share/man/man8/pzlockd.8.gz" | grep -q "lock server"

echo "== install"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb"
if [ -f /usr/share/man/man1/pzpokl.1.gz ]; then
  man -P cat pzpokl | grep -q "foreign-currency cash desk"
  man -P cat pzlockd | grep -q "lock server"
fi

# The installed program walks one cash document through on a copy of the installed demo.
cp -r /usr/share/pzpokl/demo "$tmp/demo"
chmod -R u+w "$tmp/demo"
(cd "$tmp/demo/work" && /usr/bin/pzpokl --headless ../doklad.keys --today 2026-12-09) >"$tmp/doklad.out"
grep -Eq "Stav v pokladně: +100.00 EUR" "$tmp/doklad.out" || {
  tail -40 "$tmp/doklad.out"
  echo "the installed pzpokl did not save the demo document" >&2
  exit 1
}

# The lock server: through systemd where it runs, else with the unit's own command line.
port="$(. /etc/default/pzlockd && echo "${PZLOCKD_PORT:-5050}")"
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }
if [ -d /run/systemd/system ]; then
  $sudo systemctl start pzlockd.service
  for _ in $(seq 50); do listening && break; sleep 0.1; done
  listening || { systemctl status pzlockd.service >&2 || true; exit 1; }
  $sudo systemctl stop pzlockd.service
else
  (set -a && . /etc/default/pzlockd && set +a && exec /usr/libexec/pzpokl/pzlockd-start) &
  pid=$!
  for _ in $(seq 50); do listening && break; sleep 0.1; done
  listening || { echo "the installed pzlockd does not listen on port $port" >&2; exit 1; }
  kill -TERM "$pid"
  wait "$pid"
fi

echo "== remove"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove --purge -y -qq pzpokl
for f in /usr/bin/pzpokl /usr/bin/pzlockd /usr/share/pzpokl /etc/default/pzlockd /lib/systemd/system/pzlockd.service; do
  if [ -e "$f" ]; then
    echo "$f is still there after the package was purged" >&2
    exit 1
  fi
done
echo "package: built, checked, installed, run and removed"
