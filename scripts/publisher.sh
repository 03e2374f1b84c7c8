#!/usr/bin/env bash
# The local publisher: Debian's nginx on 127.0.0.1 serving a tree of season
# folders under /swim/, with PUT for this machine (or a user and password).
#
#   scripts/publisher.sh start [port] [tree]   # port 8808, tree $home/swim
#   scripts/publisher.sh stop [port]
#   scripts/publisher.sh status [port]
#
# $home is $QUENDRO_PUBLISHER_HOME, by default ~/.local/share/quendro/publisher;
# nginx keeps its configuration, logs and pid in $home/nginx-<port>. With
# QUENDRO_PUBLISH_USER and QUENDRO_PUBLISH_PASSWORD set at start, other machines
# may PUT with that user and password too; with QUENDRO_PUBLISHER_LOOPBACK=password
# as well, this machine needs them too.
#
# The site's root serves the web viewer: the files of $QUENDRO_WEB_ROOT (by
# default the project's web/ folder), copied into $home/nginx-<port>/web at each
# start, and replaced file by file by quendro-publish's PUT (under the same rule
# as /swim/). nginx listens on 127.0.0.1 only; with QUENDRO_PUBLISHER_LISTEN=0.0.0.0
# (or another address of this machine) phones on the same network reach the
# viewer too, while PUT stays with this machine or the user and password.
#
# Started by root, nginx's worker runs as the owner of the tree, or, when root
# owns it, as the user $QUENDRO_PUBLISHER_WORKER (by default "quendro" when the
# machine has one, else "nobody"), to whom the tree is given. An upload is
# written first into a hidden folder on the tree's own file system, outside
# what is served, and moved into place: a failed upload leaves nothing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
home=${QUENDRO_PUBLISHER_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/quendro/publisher}
command=${1:-}
port=${2:-8808}
tree=${3:-$home/swim}
prefix="$home/nginx-$port"
web=${QUENDRO_WEB_ROOT:-$here/../web}
listen=${QUENDRO_PUBLISHER_LISTEN:-127.0.0.1}
pidfile="$prefix/logs/nginx.pid"

nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)

running_pid() {
  [ -f "$pidfile" ] || return 1
  local pid
  pid=$(cat "$pidfile" 2>/dev/null) || return 1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

start() {
  if pid=$(running_pid); then
    echo "公開サーバーは動いています (pid $pid): http://127.0.0.1:$port/swim/"
    return 0
  fi
  # The address nginx listens on goes into its configuration: digits, dots,
  # colons and brackets only.
  case "$listen" in
    *[!0-9a-fA-F.:\[\]]*|"")
      echo "QUENDRO_PUBLISHER_LISTEN はアドレスではありません: $listen" >&2
      return 1 ;;
  esac
  if [ ! -x "$nginx_bin" ]; then
    echo "nginx がありません: scripts/install_packages.sh で入れてください" >&2
    return 1
  fi
  mkdir -p "$tree" "$prefix/conf" "$prefix/logs" "$prefix/tmp" "$prefix/html"
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
  mkdir -p "$upload"
  [ "$(id -u)" -eq 0 ] && chown "$owner:$group" "$upload"
  chmod 700 "$upload"

  local satisfy="" auth=""
  if [ -n "${QUENDRO_PUBLISH_USER:-}" ] && [ -n "${QUENDRO_PUBLISH_PASSWORD:-}" ]; then
    (umask 077 && printf '%s:{PLAIN}%s\n' "$QUENDRO_PUBLISH_USER" "$QUENDRO_PUBLISH_PASSWORD" \
      > "$prefix/conf/htpasswd")
    [ "$(id -u)" -eq 0 ] && chown "$owner:$group" "$prefix/conf/htpasswd"
    satisfy="satisfy any;"
    [ "${QUENDRO_PUBLISHER_LOOPBACK:-}" = password ] && satisfy=""
    auth='    auth_basic "quendro publisher";
    auth_basic_user_file htpasswd;'
  else
    rm -f "$prefix/conf/htpasswd"
  fi

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

  sed -e "s|@USER@|$user_line|" -e "s|@PORT@|$port|" -e "s|@UPLOAD@|$upload|" \
      -e "s|@WEB@|$prefix/web|" -e "s|@LISTEN@|$listen|" \
      "$here/publisher/nginx.conf.in" > "$prefix/conf/nginx.conf"
  awk -v satisfy="$satisfy" -v auth="$auth" \
      '/@SATISFY@/ { print satisfy; next } /@AUTH@/ { print auth; next } { print }' \
      "$here/publisher/publish.conf" > "$prefix/conf/publish.conf"

  rm -f "$pidfile"
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
  echo "公開サーバーを起動しました (pid $pid): http://127.0.0.1:$port/swim/ → $tree"
  echo "ビューア: http://127.0.0.1:$port/"
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
  echo "公開サーバーを止めました (pid $pid)"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  status)
    if pid=$(running_pid); then echo "動いています (pid $pid): http://127.0.0.1:$port/swim/"
    else echo "動いていません (ポート $port)"; exit 1; fi ;;
  *)
    echo "使い方: $0 start [ポート] [フォルダ] | stop [ポート] | status [ポート]" >&2
    exit 2 ;;
esac
