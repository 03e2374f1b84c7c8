#!/usr/bin/env bash
# The audience of a meet: many open viewer pages, each asking for the shown
# heat every three seconds with the ETag it holds (a conditional GET that
# costs a 304), against the project's nginx publisher on 127.0.0.1. Prints
# h2load's count of answers and the share of one CPU that nginx's worker used.
# Meanwhile quendro-publish --watch (when it is built) publishes the sample
# meet into the same server, and a heat of it changes every ten seconds, as
# at a live meet.
#
#   bench/web_audience.sh [pages] [polls per page]     # 5000 and 10 by default
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
pages=${1:-5000}
polls=${2:-10}
period_ms=3000

command -v h2load >/dev/null || { echo "h2load がありません (nghttp2-client)" >&2; exit 1; }
work=$(mktemp -d)
chmod 755 "$work"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
export QUENDRO_PUBLISHER_HOME="$work/home"
mkdir -p "$QUENDRO_PUBLISHER_HOME"
cp -R "$here/tests/web/fixture/swim" "$work/swim"
"$here/scripts/publisher.sh" start "$port" "$work/swim" >/dev/null
trap '"$here/scripts/publisher.sh" stop "$port" >/dev/null; rm -rf "$work"' EXIT

# The timing system writes a heat every ten seconds; the watch sends it and
# its heat's file for the browsers. (Season 2027, apart from the polled data.)
publish="$here/build/cli/publish/quendro-publish"
if [ -x "$publish" ]; then
  cp -R "$here/sample/meet" "$work/meet"
  XDG_DATA_HOME="$work/xdg" "$publish" --watch --season 2027 \
      --results "$work/meet/kekka/KEKKA.DAT" "$work/meet" "http://127.0.0.1:$port/swim/" \
      > "$work/watch.log" 2>&1 &
  watch_pid=$!
  (
    for ((k = 1; ; k++)); do
      sleep 10
      kill -0 "$watch_pid" 2>/dev/null || exit 0
      lap=$(printf '%s/meet/lap/r%04d' "$work" $(((k - 1) % 19 + 1)))
      # The first lane's first split takes another time.
      sed -i "1s/^\([0-9]*\),[0-9:.]*,/\1,$((10 + k % 50)).$((10 + k % 90)),/" "$lap"
    done
  ) &
  changer_pid=$!
  trap 'kill "$changer_pid" "$watch_pid" 2>/dev/null; wait "$watch_pid" 2>/dev/null;
        "$here/scripts/publisher.sh" stop "$port" >/dev/null; rm -rf "$work"' EXIT
fi

heat="http://127.0.0.1:$port/swim/2026/2026001/web/heats/0001.json"
etag=$(curl -s -o /dev/null -D - -H 'Accept-Encoding: gzip' "$heat" | tr -d '\r' |
       awk 'tolower($1) == "etag:" { print $2 }')
for ((i = 0; i < polls; i++)); do printf '%d\t%s\n' $((i * period_ms)) "$heat"; done > "$work/script"

master=$(cat "$QUENDRO_PUBLISHER_HOME/nginx-$port/logs/nginx.pid")
worker=$(pgrep -P "$master" | head -n 1)
ticks() { awk '{ print $14 + $15 }' "/proc/$worker/stat"; }
before=$(ticks); began=$(date +%s.%N)

# The pages open over one polling period, as an audience does, not at once.
h2load --h1 -t 2 -c "$pages" \
       -r $((pages / 10)) --rate-period 300ms \
       --timing-script-file="$work/script" \
       -H "If-None-Match: $etag" -H 'Accept-Encoding: gzip' "$heat" > "$work/h2load.txt" || true

after=$(ticks); ended=$(date +%s.%N)
grep -E '^(requests|status codes|traffic|finished in)' "$work/h2load.txt"
python3 - "$before" "$after" "$began" "$ended" "$(getconf CLK_TCK)" <<'PY'
import sys
before, after, began, ended, tick = (float(a) for a in sys.argv[1:])
print(f"nginx worker: {(after - before) / tick:.2f} s of CPU in {ended - began:.1f} s "
      f"= {100 * (after - before) / tick / (ended - began):.1f} % of one core")
PY
if [ -n "${watch_pid:-}" ]; then
  echo "quendro-publish --watch meanwhile: $(grep -c '送信しました: .*lap/' "$work/watch.log" || true) lap files sent"
fi
# Every poll answered, and every answer a 304.
expected="requests: $((pages * polls)) total, $((pages * polls)) started, $((pages * polls)) done, $((pages * polls)) succeeded, 0 failed, 0 errored, 0 timeout"
if ! grep -qx "$expected" "$work/h2load.txt" ||
   ! grep -qx "status codes: 0 2xx, $((pages * polls)) 3xx, 0 4xx, 0 5xx" "$work/h2load.txt"; then
  echo "Some polls were not answered with a 304:" >&2
  cat "$work/h2load.txt" >&2
  exit 1
fi
