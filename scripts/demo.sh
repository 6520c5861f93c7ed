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
bin="$src/build/default/src/pzpokl"
if [ $# -gt 0 ]; then
  exec "$bin" "$@"
fi
# Until an interactive presenter is built, show the main window through a key script.
exec "$bin" --headless "$demo/show.keys"
