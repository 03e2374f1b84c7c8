# The password file of the servers that take PUT by a user and password:
# sourced by scripts/publisher.sh and scripts/public/password.sh.
#
# write_password_file USER PASSWORD FILE writes "USER:HASH" to FILE, HASH the
# SHA-512 crypt of the password (read by nginx through crypt(3)), readable by
# its owner only. The password reaches openssl on its standard input from the
# shell's own printf: it is never on a command line nor in a file. A user name
# holding ":" and a password holding a line end or longer than the 256 bytes
# openssl hashes are refused: either would be read as another.
write_password_file() {
  local user=$1 password=$2 file=$3 hash bytes
  case "$user" in
    *:*|*[[:cntrl:]]*)
      echo "ユーザー名に「:」や制御文字は使えません" >&2
      return 1 ;;
  esac
  case "$password" in
    *$'\n'*)
      echo "パスワードに改行は使えません" >&2
      return 1 ;;
  esac
  bytes=$(printf '%s' "$password" | wc -c)
  if [ "$bytes" -gt 256 ]; then
    echo "パスワードが長すぎます (256 バイトまで)" >&2
    return 1
  fi
  if ! command -v openssl >/dev/null ||
     ! hash=$(printf '%s\n' "$password" | openssl passwd -6 -stdin 2>/dev/null) ||
     [ "${hash#\$6\$}" = "$hash" ]; then
    echo "パスワードのハッシュを作れませんでした (openssl が必要です)" >&2
    return 1
  fi
  (umask 077 && printf '%s:%s\n' "$user" "$hash" > "$file.new") || return 1
  mv -f "$file.new" "$file"
}
