#!/usr/bin/env bash
# Installs the Debian packages that building and testing pzpokl needs, when any is missing
# (python3-dbfread reads the dBASE exports back in the tests; qt6-translations-l10n makes Qt's own
# dialogs speak Czech; xvfb, poppler-utils and fonts-dejavu-core let the tests print to PDF on an X
# server and read the text back in a monospaced font with Czech letters; curl fetches the bank's
# rates and asks the public registers; libexpat1-dev reads the VAT register's SOAP answers;
# libsqlite3-dev only for the benchmarks bench_browse and bench_recordfile, which measure SQLite on
# the same records in the same run as the peer of the search and the key lookup; the program
# itself never uses it).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev qt6-base-dev tmux python3-dbfread qt6-translations-l10n strace xvfb poppler-utils fonts-dejavu-core curl libexpat1-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
