#!/usr/bin/env bash
# Installs what is missing, builds, starts the local publisher (nginx on
# 127.0.0.1:8808) with the bundled sample meets published into it, which
# prints the address of the web viewer it serves, and opens the window; the
# publisher stops when the window closes. Without a display the window opens
# under Xvfb and a screenshot is written to build/run-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

# One trial at a time: a second ./run.sh leaves the first's window, publisher
# and sample alone. The lock lasts as long as this script; nginx, which outlives
# it as a daemon, is started without it.
mkdir -p build
exec 9>>build/run.lock
if ! flock -n 9; then
  first=$(cat build/run.pid 2>/dev/null || true)
  echo "quendro はすでに起動しています${first:+ (pid $first)}。そのウィンドウを閉じてから、もう一度起動してください。"
  exit 0
fi
echo $$ > build/run.pid

scripts/install_packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target quendro quendro-publish quendro-export

# A home of its own for the sample: drive c holds the working folder, drive q
# a copy of the sample folder (the pages and lists written there stay out of
# the source tree) and z the whole machine. The site control file names the
# sample meet, and the sample's header stands in the working folder as the meet
# imported last.
home="$here/build/sample-home"
drives="$home/quendro/drives"
mkdir -p "$drives/c/quendro/temp" "$home/bin" "$home/ctl" "$home/sample"
cp -r "$here/sample/." "$home/sample/"
ln -sfn "$home/sample" "$drives/q"
ln -sfn / "$drives/z"
printf '1,Q:\\meet,3,Q:\\meet\\kekka,KEKKA.DAT\r\n' > "$home/ctl/dr_kyo.ctl"
cp "$here/sample/meet/kijun.dat" "$drives/c/quendro/temp/kijun.dat"

cd "$home/bin"
export XDG_DATA_HOME="$home"
# The trial's settings (server address, window position and zoom) stay in its
# home too, away from the user's own ~/.config/quendro.
export XDG_CONFIG_HOME="$home/config"

# The local publisher, which the window's internet mode reads by default, with
# the sample meets of the current season in it.
export QUENDRO_PUBLISHER_HOME="$home/publisher"
port=8808
if "$here/scripts/publisher.sh" start "$port" "$home/publisher/swim" 9>&-; then
  trap '"$here/scripts/publisher.sh" stop "$port" 9>&-' EXIT
  for meet in 'Q:\meet' 'Q:\meet50'; do
    "$here/build/cli/publish/quendro-publish" "$meet" "http://127.0.0.1:$port/swim/" >/dev/null ||
      echo "見本の大会 $meet を公開できませんでした。インターネットでは表示されません" >&2
  done
  # The web viewer, served by the same nginx at the site's root: its address
  # on this machine is the publisher's "ビューア:" line, and the addresses
  # phones open, with their QR codes, its "スマートフォンから:" lines.
else
  echo "公開サーバーが起動しませんでした。インターネットではサーバーが見つかりません" >&2
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$here/build/app/view/quendro"
  exit 0
fi

shot="$here/build/run-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
  "$1" & app=$!
  for i in $(seq 1 50); do
    xdotool search --name "^競技会結果$" >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1
  import -window root "$2"
  kill $app
' _ "$here/build/app/view/quendro" "$shot"
echo "画面がないため Xvfb で開きました。画面の写し: $shot"
