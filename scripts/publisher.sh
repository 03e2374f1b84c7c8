#!/usr/bin/env bash
# The local publisher: Debian's nginx on 127.0.0.1 serving a tree of season
# folders under /swim/, with PUT for this machine (or a user and password).
#
#   scripts/publisher.sh start [--tls] [port] [tree]   # port 8808, tree $home/swim
#   scripts/publisher.sh run [--tls] [port] [tree]     # the same in the foreground (a service)
#   scripts/publisher.sh stop [port]                     # found by its port, whatever its home
#   scripts/publisher.sh status [port]
#   scripts/publisher.sh qr [port]       # the addresses phones open, with QR codes
#
# $home is $QUENDRO_PUBLISHER_HOME, by default ~/.local/share/quendro/publisher;
# nginx keeps its configuration, logs and pid in $home/nginx-<port>. With
# QUENDRO_PUBLISH_USER and QUENDRO_PUBLISH_PASSWORD set at start, other machines
# may PUT with that user and password too; with QUENDRO_PUBLISHER_LOOPBACK=password
# as well, this machine needs them too. The password is kept only as a hash
# (SHA-512 crypt), made by openssl from its standard input.
#
# Writing (any method but GET, HEAD and OPTIONS) is taken only when the request
# names the publisher by one of its own names: 127.0.0.1, localhost, [::1], the
# address of QUENDRO_PUBLISHER_LISTEN, and the names in QUENDRO_PUBLISHER_NAMES
# (host names or addresses, separated by blanks, e.g. "swim-pc.local
# 192.168.1.20"); and only under /swim/ and at the viewer's file names. Any
# other name is answered 403. Reading is for any name.
#
# The site's root serves the web viewer: the files of $QUENDRO_WEB_ROOT (by
# default the project's web/ folder), copied into $home/nginx-<port>/web at each
# start, and replaced file by file by quendro-publish's PUT (under the same rule
# as /swim/). nginx listens on 127.0.0.1 only; with QUENDRO_PUBLISHER_LISTEN=0.0.0.0
# (or another address of this machine) phones on the same network reach the
# viewer too, while PUT stays with this machine or the user and password.
#
# With --tls, nginx speaks HTTPS (HTTP/2 for the clients that offer it) on the
# port: with the certificate and key in $QUENDRO_TLS_CERT and $QUENDRO_TLS_KEY
# when both are set (a real publisher's certificate), else with one made here
# for 127.0.0.1 and localhost (and the address of QUENDRO_PUBLISHER_LISTEN),
# signed by a certificate authority of the publisher's own, kept in $home/tls:
# clients trust it with $home/tls/ca.pem.
#
# Started by root, nginx's worker runs as the owner of the tree, or, when root
# owns it, as the user $QUENDRO_PUBLISHER_WORKER (by default "quendro" when the
# machine has one, else "nobody"), to whom the tree is given. An upload is
# written first into a hidden folder on the tree's own file system, outside
# what is served, and moved into place: a failed upload leaves nothing.
set -euo pipefail

here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
home=${QUENDRO_PUBLISHER_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/quendro/publisher}
command=${1:-}
[ $# -gt 0 ] && shift
tls=0
words=()
for word in "$@"; do
  if [ "$word" = --tls ]; then tls=1; else words+=("$word"); fi
done
port=${words[0]:-8808}
tree=${words[1]:-$home/swim}
prefix="$home/nginx-$port"
web=${QUENDRO_WEB_ROOT:-$here/../web}
listen=${QUENDRO_PUBLISHER_LISTEN:-127.0.0.1}
read -r -a extra_names <<< "${QUENDRO_PUBLISHER_NAMES:-}"
pidfile="$prefix/logs/nginx.pid"

nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)

running_pid() {
  [ -f "$pidfile" ] || return 1
  local pid
  pid=$(cat "$pidfile" 2>/dev/null) || return 1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

# The publisher on this port that another home started (run.sh keeps its
# own): nginx's master names its prefix on its command line, and a prefix of
# ours ends in nginx-<port> and holds quendro/publish.conf and the master's pid file.
prefix_on_port() {
  local pid title found
  for pid in $(pgrep -x nginx 2>/dev/null); do
    title=$(tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null) || continue
    case "$title" in "nginx: master process "*" -p "*" -c "*) ;; *) continue ;; esac
    found=${title#* -p }
    found=${found%% -c *}
    [ "$(basename -- "$found")" = "nginx-$port" ] || continue
    [ -f "$found/conf/quendro/publish.conf" ] || continue
    [ "$(cat "$found/logs/nginx.pid" 2>/dev/null)" = "$pid" ] || continue
    echo "$found"
    return 0
  done
  return 1
}

# The addresses of this machine on its networks, IPv4, loopback left out; only
# the one nginx listens on when that is not every address.
venue_addresses() {
  if [ "$listen" != 0.0.0.0 ]; then echo "$listen"; return; fi
  local address
  for address in $(hostname -I 2>/dev/null); do
    case "$address" in *:* | 127.*) ;; *) echo "$address" ;; esac
  done
}

# A QR code of an address in the terminal (in colours a dark terminal keeps),
# when qrencode is there.
show_qr() {
  command -v qrencode >/dev/null || return 0
  if [ -t 1 ]; then qrencode -t ANSIUTF8 -m 2 "$1"; else qrencode -t UTF8 -m 2 "$1"; fi
}

# The addresses phones at the venue open, each with its QR code for their
# cameras: those of this machine's networks when nginx listens beyond it, this
# machine's own otherwise (a phone cannot reach it then: said so).
phone_addresses() {
  local on address scheme_now
  on=$(sed -n 's/^ *listen \([^:]*\):'"$port"'.*;$/\1/p' "$prefix/conf/nginx.conf" 2>/dev/null | head -n 1)
  scheme_now=$(scheme)
  if [ "${on:-127.0.0.1}" = 127.0.0.1 ]; then
    echo "スマートフォンからは見られません (この機械だけ。会場のネットワークには QUENDRO_PUBLISHER_LISTEN=0.0.0.0 で起動)"
    [ "${1:-}" = loopback ] && show_qr "$scheme_now://127.0.0.1:$port/"
    return 0
  fi
  listen=$on
  for address in $(venue_addresses); do
    echo "スマートフォンから: $scheme_now://$address:$port/"
    show_qr "$scheme_now://$address:$port/"
  done
}

# stop and status find the port's publisher without being told its home.
if [ "$command" = stop ] || [ "$command" = status ] || [ "$command" = qr ]; then
  if ! running_pid >/dev/null && found=$(prefix_on_port); then
    prefix=$found
    pidfile="$prefix/logs/nginx.pid"
  fi
fi

tlsdir="$home/tls"

# A folder that goes into nginx's configuration in double quotes: it cannot
# hold a double quote, a backslash, a "$" (a variable there) or a control
# character. Blanks and any other character are fine.
conf_path_ok() {
  case "$1" in
    *[\"\\\$]* | *[[:cntrl:]]*) return 1 ;;
  esac
  return 0
}

# The scheme the server on the port speaks, from its configuration.
scheme() {
  if grep -qs ' ssl http2;' "$prefix/conf/nginx.conf"; then echo https; else echo http; fi
}

# The names of the publisher's own server certificate, as openssl's
# subjectAltName is written: 127.0.0.1 and localhost, and the address nginx
# listens on when it is another single one.
wanted_names() {
  local names="IP:127.0.0.1,DNS:localhost" address=${listen#[}
  address=${address%]}
  case "$address" in
    127.0.0.1|0.0.0.0|::|"") ;;
    *) names="$names,IP:$address" ;;
  esac
  # The names of QUENDRO_PUBLISHER_NAMES (checked at start), the listening
  # address once.
  local word listened=$address
  for word in "${extra_names[@]}"; do
    address=${word#[}
    address=${address%]}
    [ "$address" = "$listened" ] && continue
    case "$address" in
      *:* | *[0-9]) names="$names,IP:$address" ;;
      *) names="$names,DNS:$(echo "$address" | tr 'A-Z' 'a-z')" ;;
    esac
  done
  echo "$names"
}

# The publisher's own names besides 127.0.0.1, localhost and [::1], one a
# line, lower case, as nginx's $host holds them (an IPv6 address in brackets):
# the address nginx listens on when it is another single one, and the names of
# QUENDRO_PUBLISHER_NAMES. Fails on a word that is neither a host name nor an
# address.
own_names() {
  local word address
  address=${listen#[}
  address=${address%]}
  case "$address" in
    127.0.0.1|0.0.0.0|::|"") ;;
    *:*) echo "[$address]" ;;
    *) echo "$address" ;;
  esac
  for word in "${extra_names[@]}"; do
    case "$word" in
      \[*\]) address=${word#[}; address=${address%]} ;;
      *:*) address=$word ;;
      *) address="" ;;
    esac
    if [ -n "$address" ]; then
      case "$address" in
        *[!0-9a-fA-F:.]*|*::*::*) return 1 ;;
      esac
      word="[$address]"
    else
      case "$word" in
        [!0-9a-zA-Z]*|*[!0-9a-zA-Z.-]*|*..*|*.) return 1 ;;
      esac
    fi
    echo "$word" | tr 'A-Z' 'a-z'
  done
}

names_of() {
  openssl x509 -in "$1" -noout -ext subjectAltName 2>/dev/null |
    sed -n '2,$p' | tr -d ' \n' | sed -e 's/IPAddress:/IP:/g'
}

# A key and a certificate signing request, or a self-signed certificate (the
# authority's), with the extensions given; keys readable by their owner only.
new_key_and_request() {  # key out subject extra-openssl-words...
  local key=$1 out=$2 subject=$3
  shift 3
  printf '[req]\ndistinguished_name = dn\n[dn]\n' > "$tlsdir/req.cnf"
  (umask 077 && openssl req -config "$tlsdir/req.cnf" -newkey ec \
     -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "$key" -out "$out" \
     -subj "$subject" "$@" 2>>"$tlsdir/openssl.log")
}

# The publisher's own authority (ten years) and its server certificate (a
# year), made once and made again when near their end, when the authority
# changed, or when the names the server needs changed.
make_certificates() {
  mkdir -p "$tlsdir"
  : > "$tlsdir/openssl.log"
  chmod 755 "$tlsdir"
  local month=2592000
  if [ ! -s "$tlsdir/ca.key" ] || [ ! -s "$tlsdir/ca.pem" ] ||
     ! openssl x509 -in "$tlsdir/ca.pem" -noout -checkend $month >/dev/null 2>&1; then
    new_key_and_request "$tlsdir/ca.key.new" "$tlsdir/ca.pem.new" \
      "/CN=quendro publisher CA $(hostname)" -x509 -days 3650 \
      -addext "basicConstraints=critical,CA:TRUE" \
      -addext "keyUsage=critical,keyCertSign,cRLSign" || return 1
    chmod 600 "$tlsdir/ca.key.new"
    chmod 644 "$tlsdir/ca.pem.new"
    mv "$tlsdir/ca.key.new" "$tlsdir/ca.key"
    mv "$tlsdir/ca.pem.new" "$tlsdir/ca.pem"
  fi
  local names
  names=$(wanted_names)
  if [ -s "$tlsdir/server.key" ] && [ -s "$tlsdir/server.pem" ] &&
     openssl verify -CAfile "$tlsdir/ca.pem" "$tlsdir/server.pem" >/dev/null 2>&1 &&
     openssl x509 -in "$tlsdir/server.pem" -noout -checkend $month >/dev/null 2>&1 &&
     [ "$(names_of "$tlsdir/server.pem")" = "$names" ]; then
    return 0
  fi
  new_key_and_request "$tlsdir/server.key.new" "$tlsdir/server.csr" "/CN=127.0.0.1" -new ||
    return 1
  printf 'subjectAltName=%s\nbasicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n' \
    "$names" > "$tlsdir/server.ext"
  openssl x509 -req -in "$tlsdir/server.csr" -CA "$tlsdir/ca.pem" -CAkey "$tlsdir/ca.key" \
    -set_serial "0x$(openssl rand -hex 16)" -days 365 -extfile "$tlsdir/server.ext" \
    -out "$tlsdir/server.pem.new" 2>>"$tlsdir/openssl.log" || return 1
  chmod 600 "$tlsdir/server.key.new"
  chmod 644 "$tlsdir/server.pem.new"
  mv "$tlsdir/server.key.new" "$tlsdir/server.key"
  mv "$tlsdir/server.pem.new" "$tlsdir/server.pem"
  rm -f "$tlsdir/server.csr"
}

# The certificate and key nginx serves, linked from its configuration folder
# (so that no path of the user's stands in the configuration).
choose_certificate() {
  rm -f "$prefix/conf/tls-cert.pem" "$prefix/conf/tls-key.pem"
  local cert key
  if [ -n "${QUENDRO_TLS_CERT:-}${QUENDRO_TLS_KEY:-}" ]; then
    if [ -z "${QUENDRO_TLS_CERT:-}" ] || [ -z "${QUENDRO_TLS_KEY:-}" ]; then
      echo "QUENDRO_TLS_CERT と QUENDRO_TLS_KEY は両方とも指定してください" >&2
      return 1
    fi
    for file in "$QUENDRO_TLS_CERT" "$QUENDRO_TLS_KEY"; do
      if [ ! -f "$file" ] || [ ! -r "$file" ]; then
        echo "証明書のファイルを読めません: $file" >&2
        return 1
      fi
    done
    cert=$(realpath "$QUENDRO_TLS_CERT")
    key=$(realpath "$QUENDRO_TLS_KEY")
  else
    if ! command -v openssl >/dev/null || ! make_certificates; then
      echo "証明書を作れませんでした: $tlsdir/openssl.log" >&2
      return 1
    fi
    cert="$tlsdir/server.pem"
    key="$tlsdir/server.key"
  fi
  ln -s "$cert" "$prefix/conf/tls-cert.pem"
  ln -s "$key" "$prefix/conf/tls-key.pem"
}

# The user and the hash of the password: write_password_file, shared with a
# public site's scripts/public/password.sh.
source "$here/publisher/password.sh"

start() {
  if pid=$(running_pid); then
    echo "公開サーバーは動いています (pid $pid): $(scheme)://127.0.0.1:$port/swim/"
    return 0
  fi
  # The address nginx listens on goes into its configuration: digits, dots,
  # colons and brackets only.
  case "$listen" in
    *[!0-9a-fA-F.:\[\]]*|"")
      echo "QUENDRO_PUBLISHER_LISTEN はアドレスではありません: $listen" >&2
      return 1 ;;
  esac
  # The names go into the configuration as well: host names and addresses
  # only.
  local names
  if ! names=$(own_names); then
    echo "QUENDRO_PUBLISHER_NAMES にホスト名でもアドレスでもないものがあります: ${QUENDRO_PUBLISHER_NAMES:-}" >&2
    return 1
  fi
  if [ ! -x "$nginx_bin" ]; then
    echo "nginx がありません: scripts/install_packages.sh で入れてください" >&2
    return 1
  fi
  mkdir -p "$tree" "$prefix/conf/quendro" "$prefix/logs" "$prefix/tmp" "$prefix/html"
  tree=$(cd "$tree" && pwd)
  ln -sfn "$tree" "$prefix/html/swim"

  # Started by root, nginx's worker takes the user named here: the owner of
  # the tree, so that it can write there, and never root itself.
  local user_line="" owner group
  owner=$(stat -c %U "$tree")
  group=$(stat -c %G "$tree")
  if [ "$(id -u)" -eq 0 ]; then
    if [ "$owner" = root ]; then
      owner=${QUENDRO_PUBLISHER_WORKER:-}
      if [ -z "$owner" ]; then
        if id quendro >/dev/null 2>&1; then owner=quendro; else owner=nobody; fi
      fi
      group=$(id -gn "$owner")
      chown -R "$owner:$group" "$tree"
    fi
    user_line="user $owner $group;"
  fi

  # The uploads' own folder: beside the tree on the same file system, or,
  # when the tree is a file system of its own, hidden inside it (and never
  # served), so that an upload is moved into place by a rename.
  local parent upload
  parent=$(dirname "$tree")
  if [ "$(stat -c %d "$tree")" = "$(stat -c %d "$parent")" ] && [ -w "$parent" ]; then
    upload="$parent/.$(basename "$tree")-upload-$port"
  else
    upload="$tree/.upload-$port"
  fi
  local folder
  for folder in "$upload" "$prefix/web"; do
    if ! conf_path_ok "$folder"; then
      echo "公開サーバーのフォルダ名に使えない文字 (\" \\ \$ または制御文字) があります: $folder" >&2
      return 1
    fi
  done
  mkdir -p "$upload"
  [ "$(id -u)" -eq 0 ] && chown "$owner:$group" "$upload"
  chmod 700 "$upload"

  # The pieces a public site shares, and who may write: this machine, or
  # with a user and password whoever gives them too.
  cp "$here"/publisher/*.conf "$prefix/conf/quendro/"
  local satisfy="" writers='allow 127.0.0.1;
allow ::1;
deny all;'
  if [ -n "${QUENDRO_PUBLISH_USER:-}" ] && [ -n "${QUENDRO_PUBLISH_PASSWORD:-}" ]; then
    write_password_file "$QUENDRO_PUBLISH_USER" "$QUENDRO_PUBLISH_PASSWORD" \
      "$prefix/conf/htpasswd" || return 1
    [ "$(id -u)" -eq 0 ] && chown "$owner:$group" "$prefix/conf/htpasswd"
    satisfy="satisfy any;"
    [ "${QUENDRO_PUBLISHER_LOOPBACK:-}" = password ] && satisfy=""
    writers="$writers
auth_basic \"quendro publisher\";
auth_basic_user_file htpasswd;"
  else
    rm -f "$prefix/conf/htpasswd"
  fi
  printf '%s\n' "$writers" > "$prefix/conf/quendro/writers.conf"

  # The viewer's files, copied whole so that a change in the project shows
  # at the next start and the worker reads them wherever the project lies.
  rm -rf "$prefix/web.new"
  mkdir -p "$prefix/web.new"
  if [ -d "$web" ]; then
    cp -R "$web/." "$prefix/web.new/"
  fi
  # quendro-publish puts newer ones there: the worker writes the folder, as
  # it writes the tree.
  chmod -R u+w,a+rX "$prefix/web.new"
  [ "$(id -u)" -eq 0 ] && chown -R "$owner:$group" "$prefix/web.new"
  rm -rf "$prefix/web"
  mv "$prefix/web.new" "$prefix/web"

  # HTTPS with HTTP/2 on the same port, or plain HTTP/1.1.
  local listen_words="" tls_line="" scheme=http
  if [ "$tls" = 1 ]; then
    choose_certificate || return 1
    listen_words=" ssl http2"
    tls_line="ssl_certificate tls-cert.pem; ssl_certificate_key tls-key.pem; include quendro/tls.conf;"
    scheme=https
  else
    rm -f "$prefix/conf/tls-cert.pem" "$prefix/conf/tls-key.pem"
  fi

  # The words go in as they are: a folder's name may hold a blank or "&".
  Q_USER="$user_line" Q_PORT="$port" Q_UPLOAD="$upload" Q_WEB="$prefix/web" \
  Q_LISTEN="$listen" Q_LISTEN_TLS="$listen_words" Q_TLS="$tls_line" Q_NAMES="$names" \
  Q_SATISFY="$satisfy" awk '
    function fill(line, word, value,   out, at) {
      out = ""
      while ((at = index(line, word)) > 0) {
        out = out substr(line, 1, at - 1) value
        line = substr(line, at + length(word))
      }
      return out line
    }
    {
      $0 = fill($0, "@USER@", ENVIRON["Q_USER"]); $0 = fill($0, "@PORT@", ENVIRON["Q_PORT"])
      $0 = fill($0, "@UPLOAD@", ENVIRON["Q_UPLOAD"]); $0 = fill($0, "@WEB@", ENVIRON["Q_WEB"])
      $0 = fill($0, "@LISTEN_TLS@", ENVIRON["Q_LISTEN_TLS"])
      $0 = fill($0, "@LISTEN@", ENVIRON["Q_LISTEN"]); $0 = fill($0, "@TLS@", ENVIRON["Q_TLS"])
      $0 = fill($0, "@SATISFY@", ENVIRON["Q_SATISFY"])
      if ($0 ~ /@NAMES@/) {
        n = split(ENVIRON["Q_NAMES"], names, "\n"); $0 = ""
        for (i = 1; i <= n; i++) if (names[i] != "") $0 = $0 "        \"" names[i] "\" 1;\n"
        printf "%s", $0; next
      }
      print
    }' "$here/publisher/nginx.conf.in" > "$prefix/conf/nginx.conf"

  rm -f "$pidfile"
  # In the foreground (a service's nginx), its errors on standard error: the
  # journal keeps them.
  if [ "$command" = run ]; then
    echo "公開サーバーを起動します: $scheme://127.0.0.1:$port/swim/ → $tree"
    phone_addresses
    exec "$nginx_bin" -p "$prefix" -c "$prefix/conf/nginx.conf" -e stderr -g 'daemon off; error_log stderr;'
  fi
  if ! "$nginx_bin" -p "$prefix" -c "$prefix/conf/nginx.conf" -e "$prefix/logs/error.log" \
       2>>"$prefix/logs/start.log"; then
    echo "公開サーバーを起動できませんでした (ポート $port):" >&2
    tail -n 5 "$prefix/logs/start.log" >&2
    return 1
  fi
  for _ in $(seq 1 50); do
    running_pid >/dev/null && break
    sleep 0.1
  done
  if ! pid=$(running_pid); then
    echo "公開サーバーが起動しませんでした: $prefix/logs/error.log" >&2
    return 1
  fi
  echo "公開サーバーを起動しました (pid $pid): $scheme://127.0.0.1:$port/swim/ → $tree"
  echo "ビューア: $scheme://127.0.0.1:$port/"
  phone_addresses
  if [ "$tls" = 1 ]; then
    if [ -n "${QUENDRO_TLS_CERT:-}" ]; then
      echo "証明書: $QUENDRO_TLS_CERT"
    else
      echo "証明書の発行元 (CA) のファイル: $tlsdir/ca.pem"
    fi
  fi
}

stop() {
  local pid
  if ! pid=$(running_pid); then
    echo "公開サーバーは動いていません (ポート $port)"
    return 0
  fi
  kill -QUIT "$pid"
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    sleep 0.5
  fi
  # The uploads' folder holds nothing once nginx is gone: it is made again at
  # the next start.
  local upload
  upload=$(sed -n 's/^ *client_body_temp_path "\(.*[.-]upload-'"$port"'\)";$/\1/p' \
           "$prefix/conf/nginx.conf" 2>/dev/null | head -n 1)
  if [ -n "$upload" ] && [ -d "$upload" ] && ! kill -0 "$pid" 2>/dev/null; then
    rm -rf -- "$upload"
  fi
  echo "公開サーバーを止めました (pid $pid)"
}

case "$command" in
  start | run) start ;;
  stop) stop ;;
  status)
    if pid=$(running_pid); then echo "動いています (pid $pid): $(scheme)://127.0.0.1:$port/swim/"
    else echo "動いていません (ポート $port)"; exit 1; fi ;;
  qr)
    if running_pid >/dev/null; then echo "ビューア: $(scheme)://127.0.0.1:$port/"; phone_addresses loopback
    else echo "公開サーバーは動いていません (ポート $port)" >&2; exit 1; fi ;;
  *)
    echo "使い方: $0 start|run [--tls] [ポート] [フォルダ] | stop [ポート] | status [ポート] | qr [ポート]" >&2
    exit 2 ;;
esac
