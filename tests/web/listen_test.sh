#!/usr/bin/env bash
# The publisher's listening address: 127.0.0.1 by default; the address given
# in QUENDRO_PUBLISHER_LISTEN (0.0.0.0 for the meet's network) otherwise, still
# taking PUT from this machine; anything but an address is refused before
# nginx starts. And homes whose folder names hold blanks or "&".
set -euo pipefail
source "$(dirname "$0")/publisher_home.sh" "$1"
conf="$QUENDRO_PUBLISHER_HOME/nginx-$port/conf/nginx.conf"

"$publisher" start "$port" "$work/swim" >/dev/null
grep -q "listen 127.0.0.1:$port;" "$conf" || fail "not on loopback by default"
"$publisher" stop "$port" >/dev/null

# Given explicitly (tests stay on 127.0.0.1; 0.0.0.0 is the same line with
# another word), the address is the one nginx listens on.
QUENDRO_PUBLISHER_LISTEN=127.0.0.1 "$publisher" start "$port" "$work/swim" >/dev/null
grep -q "listen 127.0.0.1:$port;" "$conf" || fail "not on the address given"
[ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/")" = 200 ] || fail "no viewer"
# PUT from this machine is still taken.
[ "$(curl -s -o /dev/null -w '%{http_code}' -T - "http://127.0.0.1:$port/swim/2026/x.txt" <<< x)" = 201 ] ||
  fail "this machine cannot put"
# And the viewer's files at the site's root, served back as they were put.
[ "$(curl -s -o /dev/null -w '%{http_code}' -T - "http://127.0.0.1:$port/js/put.js" <<< 'let a;')" = 201 ] ||
  fail "this machine cannot put the viewer"
[ "$(curl -sf "http://127.0.0.1:$port/js/put.js")" = 'let a;' ] || fail "the viewer's file is not served"
"$publisher" stop "$port" >/dev/null

for bad in '0.0.0.0; evil' '$host' 'x y' '127.0.0.1|x'; do
  if QUENDRO_PUBLISHER_LISTEN="$bad" "$publisher" start "$port" "$work/swim" >/dev/null 2>&1; then
    fail "started with listen '$bad'"
  fi
done

# A home whose folder name holds a blank and "&" serves and takes uploads as
# any other; one with a "$", which nginx would read as a variable, is refused.
odd="$work/a b&c"
QUENDRO_PUBLISHER_HOME="$odd" "$publisher" start "$port" >/dev/null || fail "no start in '$odd'"
[ "$(curl -s -o /dev/null -w '%{http_code}' -T - "http://127.0.0.1:$port/swim/2026/y.txt" <<< y)" = 201 ] ||
  fail "no upload in '$odd'"
[ "$(cat "$odd/swim/2026/y.txt")" = y ] || fail "the upload is not in '$odd/swim'"
[ -d "$odd/.swim-upload-$port" ] || fail "no uploads' folder beside the tree"
QUENDRO_PUBLISHER_HOME="$odd" "$publisher" stop "$port" >/dev/null
# Stopped, it leaves no uploads' folder behind, and the tree as it was.
[ ! -e "$odd/.swim-upload-$port" ] || fail "the uploads' folder is left after the stop"
[ "$(cat "$odd/swim/2026/y.txt")" = y ] || fail "the stop took the tree's file"
if QUENDRO_PUBLISHER_HOME="$work/a\$b" "$publisher" start "$port" >/dev/null 2>&1; then
  QUENDRO_PUBLISHER_HOME="$work/a\$b" "$publisher" stop "$port" >/dev/null
  fail "started in a home with a \$"
fi
# The addresses with their QR codes, read back as a phone's camera would.
"$publisher" start "$port" "$work/swim" >/dev/null
"$publisher" qr "$port" > "$work/qr.txt"
grep -q "^ビューア: http://127.0.0.1:$port/$" "$work/qr.txt" || fail "qr names no viewer"
python3 "$(dirname "$0")/qr_text.py" "$work/qr.txt" "$work/qr.pbm" light
[ "$(zbarimg --raw -q "$work/qr.pbm" 2>/dev/null)" = "http://127.0.0.1:$port/" ] ||
  fail "the terminal's QR code does not read as the viewer's address"
"$publisher" stop "$port" >/dev/null

# stop and status by the port alone, from a shell that knows no home: the
# publisher run.sh started in a home of its own is found all the same.
"$publisher" start "$port" "$work/swim" >/dev/null
nobody_home() { env -u QUENDRO_PUBLISHER_HOME HOME="$work/elsewhere" XDG_DATA_HOME= "$publisher" "$@"; }
nobody_home status "$port" | grep -q "動いています" || fail "status by the port alone finds nothing"
nobody_home stop "$port" | grep -q "止めました" || fail "stop by the port alone stops nothing"
curl -s -o /dev/null "http://127.0.0.1:$port/" && fail "still serving after the stop by the port"
if nobody_home status "$port" >/dev/null; then fail "a stopped publisher is said to run"; fi

# A second ./run.sh while the first holds its lock says so and touches nothing.
lock_dir="$source_dir/build"
mkdir -p "$lock_dir"
python3 -c 'import fcntl, sys, time
f = open(sys.argv[1], "a")
try: fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
except OSError: pass  # a real trial holds it already
time.sleep(30)' "$lock_dir/run.lock" & holder=$!
sleep 0.3
before=$(stat -c %Y "$lock_dir/run.pid" 2>/dev/null || echo none)
said=$(timeout 10 "$source_dir/run.sh") || fail "a second run.sh failed or hung"
kill "$holder"; wait "$holder" 2>/dev/null || true
case "$said" in *すでに起動しています*) ;; *) fail "a second run.sh did not say the first runs: $said" ;; esac
[ "$(stat -c %Y "$lock_dir/run.pid" 2>/dev/null || echo none)" = "$before" ] ||
  fail "a second run.sh took the first one's place"
echo "publisher listening address: all checks passed"
