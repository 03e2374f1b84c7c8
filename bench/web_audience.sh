#!/usr/bin/env bash
# The audience of a meet: many open viewer pages, each asking every two
# seconds (the viewer's live pace) for the files it shows, with the ETag it
# holds (a conditional GET that costs a 304 while the file is unchanged),
# against the project's nginx publisher on 127.0.0.1. Meanwhile
# quendro-publish --watch publishes the sample meet into the same server and
# a heat of it changes every ten seconds, as at a live meet: the pages poll
# that meet's files. (h2load sends the ETags taken at the start with every
# poll: once a file has changed, it answers in whole at every later poll,
# where a phone would take the new ETag; more bytes than an audience.)
# Prints h2load's count of answers and the share of one CPU that nginx's
# worker used; fails on any request not answered 200 or 304.
#
#   bench/web_audience.sh [pages] [polls per page] [file...]
#
# 5000 pages and 10 polls by default; the files are paths below the meet's
# web/ folder, by default meet.json and heats/0001.json (the program's
# now.json, for one, is added by naming it). QUENDRO_PUBLISH names another
# quendro-publish than the build's.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
pages=${1:-5000}
polls=${2:-10}
shift $(($# < 2 ? $# : 2))
files=("$@")
[ ${#files[@]} -gt 0 ] || files=(meet.json heats/0001.json)
period_ms=2000
season=2027
code=2026001

command -v h2load >/dev/null || { echo "h2load がありません (nghttp2-client)" >&2; exit 1; }
publish=${QUENDRO_PUBLISH:-$here/build/cli/publish/quendro-publish}
[ -x "$publish" ] || { echo "quendro-publish がありません: $publish" >&2; exit 1; }
work=$(mktemp -d)
chmod 755 "$work"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
export QUENDRO_PUBLISHER_HOME="$work/home"
mkdir -p "$QUENDRO_PUBLISHER_HOME" "$work/swim"
"$here/scripts/publisher.sh" start "$port" "$work/swim" >/dev/null
watch_pid=""
changer_pid=""
trap '[ -n "$changer_pid" ] && kill "$changer_pid" 2>/dev/null;
      [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null && wait "$watch_pid" 2>/dev/null;
      "$here/scripts/publisher.sh" stop "$port" >/dev/null; rm -rf "$work"' EXIT

# The timing system writes a heat every ten seconds; the watch sends it and
# its heat's file for the browsers.
cp -R "$here/sample/meet" "$work/meet"
XDG_DATA_HOME="$work/xdg" "$publish" --watch --season "$season" \
    --results "$work/meet/kekka/KEKKA.DAT" "$work/meet" "http://127.0.0.1:$port/swim/" \
    > "$work/watch.log" 2>&1 &
watch_pid=$!
web="http://127.0.0.1:$port/swim/$season/$code/web"
# The pages open once the meet is on the server.
for _ in $(seq 1 600); do
  all=1
  for file in "${files[@]}"; do
    curl -sf -o /dev/null "$web/$file" || all=0
  done
  [ "$all" = 1 ] && break
  kill -0 "$watch_pid" 2>/dev/null || { cat "$work/watch.log" >&2; exit 1; }
  sleep 0.2
done
[ "$all" = 1 ] || { echo "The watch did not publish ${files[*]} within two minutes" >&2; exit 1; }
(
  for ((k = 1; ; k++)); do
    sleep 10
    lap=$(printf '%s/meet/lap/r%04d' "$work" $(((k - 1) % 19 + 1)))
    # The first lane's first split takes another time.
    sed -i "1s/^\([0-9]*\),[0-9:.]*,/\1,$((10 + k % 50)).$((10 + k % 90)),/" "$lap"
  done
) &
changer_pid=$!

# Each page holds every file's ETag (one header for all: nginx answers 304
# when any ETag listed is the file's own).
etags=()
for file in "${files[@]}"; do
  etags+=("$(curl -s -o /dev/null -D - -H 'Accept-Encoding: gzip' "$web/$file" | tr -d '\r' |
             awk 'tolower($1) == "etag:" { print $2 }')")
done
etag_list=$(IFS=,; echo "${etags[*]}")
for ((i = 0; i < polls; i++)); do
  for file in "${files[@]}"; do printf '%d\t%s\n' $((i * period_ms)) "$web/$file"; done
done > "$work/script"

master=$(cat "$QUENDRO_PUBLISHER_HOME/nginx-$port/logs/nginx.pid")
worker=$(pgrep -P "$master" | head -n 1)
ticks() { awk '{ print $14 + $15 }' "/proc/$worker/stat"; }
sent_before=$(grep -c '送信しました: .*lap/' "$work/watch.log" || true)
before=$(ticks); began=$(date +%s.%N)

# The pages open over one polling period, as an audience does, not at once.
h2load --h1 -t 2 -c "$pages" \
       -r $((pages / 10)) --rate-period $((period_ms / 10))ms \
       --timing-script-file="$work/script" \
       -H "If-None-Match: $etag_list" -H 'Accept-Encoding: gzip' "$web/${files[0]}" \
       > "$work/h2load.txt" || true

after=$(ticks); ended=$(date +%s.%N)
requests=$((pages * polls * ${#files[@]}))
echo "files polled: ${files[*]}"
grep -E '^(requests|status codes|traffic|finished in)' "$work/h2load.txt"
python3 - "$before" "$after" "$began" "$ended" "$(getconf CLK_TCK)" <<'PY'
import sys
before, after, began, ended, tick = (float(a) for a in sys.argv[1:])
print(f"nginx worker: {(after - before) / tick:.2f} s of CPU in {ended - began:.1f} s "
      f"= {100 * (after - before) / tick / (ended - began):.1f} % of one core")
PY
echo "quendro-publish --watch meanwhile: $(($(grep -c '送信しました: .*lap/' "$work/watch.log" || true) - sent_before)) lap files sent"
# Every poll answered, each with the file (200) or its unchanged mark (304).
expected="requests: $requests total, $requests started, $requests done, $requests succeeded, 0 failed, 0 errored, 0 timeout"
codes=$(grep '^status codes:' "$work/h2load.txt")
if ! grep -qx "$expected" "$work/h2load.txt" || ! [[ "$codes" =~ ,\ 0\ 4xx,\ 0\ 5xx$ ]]; then
  echo "Some polls were not answered:" >&2
  cat "$work/h2load.txt" >&2
  exit 1
fi
