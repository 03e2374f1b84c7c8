#!/usr/bin/env bash
# The publisher's door: the password is kept only as a hash and taken whole
# whatever it holds.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
chmod 755 "$work"
export QUENDRO_PUBLISHER_HOME="$work/home"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
publisher="$source_dir/scripts/publisher.sh"
trap '"$publisher" stop "$port" >/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
conf="$QUENDRO_PUBLISHER_HOME/nginx-$port/conf"

# The status of one request: method, Host, path, then curl's own words.
answer() {
  local method=$1 host=$2 path=$3
  shift 3
  curl -s -o /dev/null -w '%{http_code}' -X "$method" -H "Host: $host" "$@" \
    "http://127.0.0.1:$port$path"
}

# Passwords: each is taken whole, its part before a ":" and a wrong one are
# refused, and no file holds it. 256 bytes is the longest openssl hashes.
long=$(printf 'p%.0s' $(seq 1 256))
for password in '12:34/@%40x' 'meet day 1' '大会:ｽｲﾑ 2026' '%41@/:' ':x' "$long"; do
  QUENDRO_PUBLISH_USER=meet QUENDRO_PUBLISH_PASSWORD="$password" QUENDRO_PUBLISHER_LOOPBACK=password \
    "$publisher" start "$port" "$work/swim" >/dev/null || fail "no start with '$password'"
  for given in "${password%%:*}" "${password}x" "$password"; do
    want=401
    [ "$given" = "$password" ] && want=201
    got=$(answer PUT "127.0.0.1:$port" /swim/2026/p.txt -u "meet:$given" -T - <<< x)
    [ "$got" = "$want" ] || [ "$got$want" = 204201 ] ||
      fail "password '$password' given as '$given': $got, not $want"
  done
  if grep -rqF -- "$password" "$conf" "$QUENDRO_PUBLISHER_HOME/nginx-$port/logs"; then
    fail "the password '$password' is written down"
  fi
  "$publisher" stop "$port" >/dev/null
done
for refused in "${long}p" $'a\nb'; do
  if QUENDRO_PUBLISH_USER=meet QUENDRO_PUBLISH_PASSWORD="$refused" \
     "$publisher" start "$port" "$work/swim" >/dev/null 2>&1; then
    fail "started with a password of ${#refused} characters holding a line end or too long"
  fi
done
if QUENDRO_PUBLISH_USER=me:et QUENDRO_PUBLISH_PASSWORD=x "$publisher" start "$port" "$work/swim" \
   >/dev/null 2>&1; then
  fail "started with a user holding ':'"
fi

echo "publisher door: all checks passed"
