#!/usr/bin/env bash
# The publisher's door: the password is kept only as a hash and taken whole
# whatever it holds; writing is taken only for the publisher's own names and
# only under /swim/ and at the viewer's names, over http and over https
# (HTTP/2); reading is for any name.
set -euo pipefail
source "$(dirname "$0")/publisher_home.sh" "$1"
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

# Names: the publisher's own write, any other name reads only.
for bad in 'a;b' '*' '$host' 'x..y' 'pc.' '[::1;]'; do
  if QUENDRO_PUBLISHER_NAMES="swim-pc.local $bad" "$publisher" start "$port" "$work/swim" \
     >/dev/null 2>&1; then
    fail "started with the name '$bad'"
  fi
done
QUENDRO_PUBLISHER_NAMES='Swim-PC.local 192.0.2.7 [2001:db8::7]' \
  "$publisher" start "$port" "$work/swim" >/dev/null || fail "no start with names"
page=$(curl -sf "http://127.0.0.1:$port/index.html")
gzip -c <<< 'lap' > "$work/lap.gz"
while read -r method host path want; do
  got=$(answer "$method" "$host" "$path" -T "$work/lap.gz")
  [ "$got" = "$want" ] || [ "$got$want" = 204201 ] || fail "$method $path for $host: $got, not $want"
done <<EOF
PUT 127.0.0.1:$port /swim/2026/h.txt.gz 201
PUT localhost /js/extra.js 201
PUT [::1]:$port /swim/2026/h.txt.gz 204
PUT swim-pc.local:$port /swim/2026/h.txt.gz 204
PUT 192.0.2.7 /swim/2026/h.txt.gz 204
PUT [2001:db8::7] /swim/2026/h.txt.gz 204
PUT 127.0.0.1 /a%20b.html 403
PUT 127.0.0.1 /js/%E3%81%82.js 403
PUT attacker.example /index.html 403
PUT attacker.example:$port /swim/2026/h.txt.gz 403
PUT 127.0.0.1.attacker.example /index.html 403
DELETE attacker.example /swim/2026/h.txt.gz 403
MKCOL attacker.example /swim/2026/new/ 403
EOF
for host in attacker.example "127.0.0.1:$port"; do
  [ "$(curl -sf -H "Host: $host" "http://127.0.0.1:$port/index.html")" = "$page" ] ||
    fail "the viewer's page read with Host $host is not the publisher's"
  [ "$(curl -sf --compressed -H "Host: $host" "http://127.0.0.1:$port/swim/2026/h.txt")" = lap ] ||
    fail "the lap file put as .gz is not read with Host $host"
done
"$publisher" stop "$port" >/dev/null

# Over https and HTTP/2 the same door.
"$publisher" start --tls "$port" "$work/swim" >/dev/null || fail "no start with --tls"
ca="$QUENDRO_PUBLISHER_HOME/tls/ca.pem"
for row in "127.0.0.1 PUT 204" "attacker.example PUT 403" "attacker.example GET 200"; do
  read -r host method want <<< "$row"
  body=(-T "$work/lap.gz")
  [ "$method" = GET ] && body=()
  got=$(curl -s -o /dev/null -w '%{http_version} %{http_code}' --http2 --cacert "$ca" \
          -X "$method" -H "Host: $host" "${body[@]}" "https://127.0.0.1:$port/swim/2026/h.txt.gz")
  [ "$got" = "2 $want" ] || fail "https $method for $host: $got, not HTTP/2 $want"
done
echo "publisher door: all checks passed"
