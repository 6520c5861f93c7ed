#!/usr/bin/env bash
# Builds pzpokl and starts it on the demo installation. The first run copies demo/ to
# $PZPOKL_DEMO (default ~/.local/share/pzpokl-demo); later runs reuse that copy, so what you
# enter stays. Delete the folder to start afresh.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
cd "$src"
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target pzpokl
demo="${PZPOKL_DEMO:-$HOME/.local/share/pzpokl-demo}"
if [ ! -d "$demo" ]; then
  mkdir -p "$(dirname "$demo")"
  cp -r "$src/demo" "$demo"
  echo "The demo installation is in $demo"
fi
cd "$demo/work"
# The desktop window where there is a display, else the terminal; arguments are passed on
# (--tty, --gui, --headless SCRIPT).
exec "$src/build/default/src/pzpokl" "$@"
