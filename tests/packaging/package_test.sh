#!/usr/bin/env bash
# The Debian package as built by cpack from the full build: lintian finds no
# error, it holds the programs, the viewer, the publisher, the units, the
# desktop entry and a manual page per program; the units pass systemd's own
# check; and each unit's command line, run as the unit runs it (its user,
# environment and working folder, the package's paths under a folder of the
# test), publishes the sample meet to the publisher it starts.
#
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source_dir=$2
work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$work/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/out/quendro_*.deb)

# lintian: no error (warnings are for the maintainers' eyes).
lintian --no-tag-display-limit "$deb" > "$work/lintian.txt" 2>&1 || true
if grep -q '^E:' "$work/lintian.txt"; then cat "$work/lintian.txt" >&2; fail "lintian errors"; fi

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/files.txt"
for f in /usr/bin/quendro /usr/bin/quendro-publish /usr/bin/quendro-export /usr/bin/quendro-poster \
         /usr/bin/quendro-publisher /usr/share/quendro/web/index.html /usr/share/quendro/scripts/publisher.sh \
         /usr/share/quendro/scripts/publisher/nginx.conf.in /usr/share/applications/quendro.desktop \
         /usr/share/quendro/scripts/public/quendro-site.conf /usr/share/quendro/scripts/edge/quendro-edge.conf \
         /usr/share/icons/hicolor/scalable/apps/quendro.svg /lib/systemd/system/quendro-publisher.service \
         /lib/systemd/system/quendro-watch@.service /usr/share/doc/quendro/copyright \
         /usr/share/man/man1/quendro.1.gz /usr/share/man/man1/quendro-publish.1.gz \
         /usr/share/man/man1/quendro-export.1.gz /usr/share/man/man1/quendro-poster.1.gz \
         /usr/share/man/man1/quendro-publisher.1.gz; do
  grep -qx "$f" "$work/files.txt" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libcurl4 libqt6widgets6 libqrencode4 qt6-qpa-plugins fonts-ipafont-gothic; do
  case "$depends" in *"$d"*) ;; *) fail "no dependency on $d: $depends" ;; esac
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
# systemd's own check of each unit, the template as an instance.
mkdir -p "$root/etc/quendro/watch"
cp "$root/usr/share/doc/quendro/examples/watch-NAME.conf" "$root/etc/quendro/watch/x.conf"
ln -s quendro-watch@.service "$root/lib/systemd/system/quendro-watch@x.service"
for unit in quendro-publisher.service quendro-watch@x.service; do
  SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no --recursive-errors=no --root="$root" \
    "$root/lib/systemd/system/$unit" > "$work/verify.txt" 2>&1 || { cat "$work/verify.txt" >&2; fail "$unit does not verify"; }
done

# The unit's user; the test machine gets it as the package's postinst makes it.
id quendro >/dev/null 2>&1 || useradd --system --user-group --home-dir /var/lib/quendro --no-create-home quendro
state="$work/var/lib/quendro"
mkdir -p "$state"
chown quendro:quendro "$state"

# One key of a unit's [Service] section, the last value given.
key() { sed -n "s/^$2=//p" "$root/lib/systemd/system/$1" | tail -n 1; }
# The package's paths, and /var/lib/quendro, /etc/quendro, under the test's folders.
moved() { sed -e "s|/usr/|$root/usr/|g" -e "s|/var/lib/quendro|$state|g" -e "s|/etc/quendro|$root/etc/quendro|g"; }
# A unit's command line run as systemd runs it: its user and group, its
# Environment= lines then its EnvironmentFile, ${NAME} words from them, in its
# working folder.
run_unit() {
  local unit=$1 instance=${2:-} env_file line
  local -a env=()
  while IFS= read -r line; do env+=("$(printf '%s' "$line" | moved)"); done < <(sed -n 's/^Environment=//p' "$root/lib/systemd/system/$unit")
  env_file=$(key "$unit" EnvironmentFile | sed "s/%i/$instance/g" | moved)
  env_file=${env_file#-}
  if [ -f "$env_file" ]; then
    while IFS= read -r line; do
      case "$line" in '#'* | '') ;; *) env+=("$line") ;; esac
    done < "$env_file"
  fi
  local exec words=() word
  exec=$(key "$unit" ExecStart | sed "s/%i/$instance/g" | moved)
  for word in $exec; do
    if [[ "$word" =~ ^\$\{([A-Z_]+)\}$ ]]; then
      local name=${BASH_REMATCH[1]} value=""
      for line in "${env[@]}"; do [ "${line%%=*}" = "$name" ] && value=${line#*=}; done
      words+=("$value")
    else
      words+=("$word")
    fi
  done
  # Run in the background, the function is a process of its own: it becomes
  # the unit's program, so that a signal to it reaches the program.
  cd "$(key "$unit" WorkingDirectory | moved)"
  exec setpriv --reuid="$(key "$unit" User)" --regid="$(key "$unit" Group)" --init-groups \
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "${env[@]}" "${words[@]}"
}

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
# The venue's publisher, on loopback for the test.
printf 'QUENDRO_PORT=%s\nQUENDRO_PUBLISHER_LISTEN=127.0.0.1\n' "$port" > "$root/etc/quendro/publisher.conf"
run_unit quendro-publisher.service > "$work/publisher.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do curl -sf -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.2; done
curl -sf -o /dev/null "http://127.0.0.1:$port/" || { cat "$work/publisher.log" >&2; fail "the publisher's unit serves nothing"; }
[ "$(stat -c %U "$state/swim")" = quendro ] || fail "the tree is not the quendro user's"

# The watch of a copy of the sample meet, readable by the unit's user.
meet="$work/meet"
cp -r "$source_dir/sample/meet" "$meet"
chmod -R a+rX "$meet"
printf 'QUENDRO_MEET=%s\nQUENDRO_ADDRESS=http://127.0.0.1:%s/swim/\nQUENDRO_SEASON=2026\n' "$meet" "$port" \
  > "$root/etc/quendro/watch/x.conf"
# Its credentials: none for a publisher on this machine, but the file is there
# as the unit reads it, root's and the quendro group's only.
install -m 0640 -o root -g quendro /dev/null "$root/etc/quendro/watch/x.netrc"
run_unit quendro-watch@.service x > "$work/watch.log" 2>&1 &
watch=$!
pids+=($watch)
# Published whole once the season's web list names the meet and the watch looks.
for _ in $(seq 1 100); do
  grep -q "変更を見張っています" "$work/watch.log" &&
    curl -sf "http://127.0.0.1:$port/swim/2026/web/meets.json" | grep -q 2026001 && break
  sleep 0.2
done
curl -sf -o /dev/null "http://127.0.0.1:$port/swim/2026/2026001/web/meet.json" ||
  { cat "$work/watch.log" >&2; fail "the watch's unit published nothing"; }
curl -sf "http://127.0.0.1:$port/swim/2026/2026001/kijun.txt" | cmp -s - "$meet/kijun.dat" ||
  fail "the published header is not the meet's"
kill -TERM "$watch"; wait "$watch" || { cat "$work/watch.log" >&2; fail "the watch did not end cleanly on SIGTERM"; }
echo "package: all checks passed"
