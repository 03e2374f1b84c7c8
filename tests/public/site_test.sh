#!/usr/bin/env bash
# The public site file served by Debian's nginx: the sample meet published into
# it by quendro-publish over https with a user and password from a netrc file,
# then what a phone and a publisher get: http sent to https (certbot's
# challenge kept on http), the viewer at the root, the web data and the lap
# files with their caching headers and 304 on revalidation, PUT refused
# without the password and taken with it.
#
#   site_test.sh SOURCE_DIR QUENDRO_PUBLISH
set -euo pipefail
source_dir=$(cd "$1" && pwd)
publish=$2
work=$(mktemp -d)
chmod 755 "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }
source "$source_dir/tests/public/public_nginx.sh"
trap 'stop_nginx_all; rm -rf "$work"' EXIT

http=$(free_port)
https=$(free_port)
password='大会 2026:pass/@%'
start_public_site "$http" "$https" "$password"
site="https://localhost:$https"

# The venue's publish: the netrc file names the site, the project's CA stands
# in for the public one.
cp -R "$source_dir/sample/meet" "$work/meet"
printf 'machine localhost login meet password "%s"\n' "$password" > "$work/netrc"
chmod 600 "$work/netrc"
if ! XDG_DATA_HOME="$work/xdg" "$publish" --season 2026 --results "$work/meet/kekka/KEKKA.DAT" \
     --netrc-file "$work/netrc" --cacert "$work/ca.pem" "$work/meet" "$site/swim/" \
     > "$work/publish.log" 2>&1; then
  cat "$work/publish.log" >&2
  fail "quendro-publish into the public site"
fi

# One request: its status, then its headers (lower-case names), one a line.
ask() {  # url curl-words...
  local url=$1
  shift
  curl -s --cacert "$work/ca.pem" -o "$work/body" -D "$work/head" -w '%{http_version} %{http_code}\n' \
    "$@" "$url"
  tr -d '\r' < "$work/head" | sed -n 's/^\([^:]*\): */\L\1: /p' > "$work/headers"
}
header() { sed -n "s/^$1: //p" "$work/headers" | tail -n 1; }

# Plain http: everything to https, certbot's challenge answered there.
mkdir -p "$work/acme/.well-known/acme-challenge"
echo token-bytes > "$work/acme/.well-known/acme-challenge/t0k3n"
while read -r method path want location; do
  got=$(ask "http://127.0.0.1:$http$path" -X "$method" -H "Host: localhost" -u "meet:$password")
  [ "$got" = "1.1 $want" ] || fail "http $method $path: $got, not $want"
  [ "$(header location)" = "${location#-}" ] || fail "http $path sent to '$(header location)'"
done <<EOF2
GET /swim/2026/list.txt 301 https://localhost:$https/swim/2026/list.txt
GET / 301 https://localhost:$https/
PUT /swim/2026/by-http.txt 301 https://localhost:$https/swim/2026/by-http.txt
GET /.well-known/acme-challenge/t0k3n 200 -
EOF2
[ "$(cat "$work/body")" = token-bytes ] || fail "certbot's challenge not served on http"
[ ! -e "$work/srv/swim/2026/by-http.txt" ] || fail "a PUT over plain http was written"

# Over https, HTTP/2: the viewer at the root, as quendro-publish put it; the
# web data and the lap files as they were published. Each answered with its
# type, no-cache and an ETag, and a 304 to the ETag sent back.
lap=/swim/2026/2026001/lap/r0001.txt
while read -r path type; do
  got=$(ask "$site$path" --http2 --compressed)
  [ "$got" = "2 200" ] || fail "$path: $got, not HTTP/2 200"
  [ "$(header content-type)" = "$type" ] || fail "$path served as $(header content-type)"
  [ "$(header cache-control)" = no-cache ] || fail "$path: Cache-Control '$(header cache-control)'"
  [ "$(header strict-transport-security)" = max-age=31536000 ] || fail "$path: no HSTS"
  etag=$(header etag)
  [ -n "$etag" ] || fail "$path: no ETag"
  got=$(ask "$site$path" --http2 --compressed -H "If-None-Match: $etag")
  [ "$got" = "2 304" ] || fail "$path revalidated with $etag: $got, not 304"
done <<EOF2
/ text/html; charset=utf-8
/js/data.js application/javascript; charset=utf-8
/swim/2026/web/meets.json application/json
/swim/2026/2026001/web/meet.json application/json
/swim/2026/2026001/web/heats/0001.json application/json
$lap text/plain; charset=Shift_JIS
EOF2
ask "$site/" --http2 >/dev/null
cmp -s "$work/body" "$source_dir/web/index.html" || fail "the root is not the viewer's index.html"
ask "$site$lap" --http2 --compressed >/dev/null
cmp -s "$work/body" "$source_dir/sample/meet/lap/r0001" || fail "$lap is not the sample's lap file"
ask "$site/swim/2026/list.txt" --http2 >/dev/null
grep -q '^,"2026001 ' "$work/body" || fail "the season's list does not name the sample meet"

# PUT: with the password and the site's name only.
while IFS='|' read -r host user path want; do
  auth=()
  [ "$user" = - ] || auth=(-u "$user")
  got=$(echo "put $path" | ask "https://127.0.0.1:$https$path" --http2 -T - -H "Host: $host" "${auth[@]}")
  [ "$got" = "2 $want" ] || fail "PUT $path as '$user' for $host: $got, not $want"
done <<EOF2
localhost|-|/swim/2026/a.txt|401
localhost|meet:wrong|/swim/2026/a.txt|401
localhost|meet:${password%%:*}|/swim/2026/a.txt|401
localhost|other:$password|/swim/2026/a.txt|401
127.0.0.1|meet:$password|/swim/2026/a.txt|403
elsewhere.example|meet:$password|/index.html|403
localhost|meet:$password|/.x/a.txt|403
localhost|meet:$password|/swim/2026/a.txt|201
localhost|meet:$password|/swim/2026/a.txt|204
localhost|meet:$password|/js/added.js|201
EOF2
[ "$(curl -sf --cacert "$work/ca.pem" "$site/swim/2026/a.txt")" = "put /swim/2026/a.txt" ] ||
  fail "the file put is not served"
[ ! -e "$work/srv/swim/2026/by-http.txt" ] || fail "a refused PUT was written"
echo "public site: all checks passed"
