#!/usr/bin/env bash
# The password file of a public site: the user and the SHA-512 crypt hash of
# the password, as scripts/publisher.sh keeps its own, readable by root and
# nginx's workers (the group www-data) only.
#
#   scripts/public/password.sh USER [FILE]    # FILE: /etc/nginx/quendro/htpasswd
#
# The password is asked twice on the terminal (not shown), or read as one line
# from the standard input when that is no terminal; it is on no command line
# and in no file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../publisher/password.sh"

if [ $# -lt 1 ] || [ $# -gt 2 ] || [ -z "$1" ]; then
  echo "使い方: $0 ユーザー名 [ファイル]" >&2
  exit 2
fi
user=$1
file=${2:-/etc/nginx/quendro/htpasswd}
if [ -t 0 ]; then
  read -rs -p "パスワード: " password; echo >&2
  read -rs -p "もう一度: " again; echo >&2
  if [ "$password" != "$again" ]; then
    echo "パスワードが一致しません" >&2
    exit 1
  fi
else
  IFS= read -r password || [ -n "$password" ]
fi
if [ -z "$password" ]; then
  echo "パスワードが空です" >&2
  exit 1
fi
write_password_file "$user" "$password" "$file"
# nginx's workers read it at each PUT.
group=$(id -gn www-data 2>/dev/null || true)
if [ -n "$group" ] && [ "$(id -u)" -eq 0 ]; then
  chgrp "$group" "$file"
  chmod 640 "$file"
fi
echo "パスワードのファイルを書きました: $file ($user)"
