# Sourced by the publisher's script tests: a home of its own in a new folder,
# a free port of 127.0.0.1, the publisher stopped and the folder removed at
# the end; fail says why and ends the test. $1: the source folder.
source_dir=$1
work=$(mktemp -d)
chmod 755 "$work"
export QUENDRO_PUBLISHER_HOME="$work/home"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
publisher="$source_dir/scripts/publisher.sh"
trap '"$publisher" stop "$port" >/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
