#!/usr/bin/env bash
# Times ZORM on a source with many symbols defined in name order, the case that
# turns a plain search tree into a list. Usage: bench/symbols.sh [ZORM] [COUNT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zorm=${1:-$here/../build/zorm}
count=${2:-200000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/gen_symbols.py" "$count" > "$work/symbols.asm"
echo "$(wc -l < "$work/symbols.asm") lines, $count symbols in name order"
if command -v hyperfine >/dev/null; then
  hyperfine -w 1 -r 5 "$zorm -q -onul $work/symbols.asm"
else
  time "$zorm" -q -onul "$work/symbols.asm"
fi
