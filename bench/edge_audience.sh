#!/usr/bin/env bash
# A meet's audience through an edge: the public site (scripts/public/
# quendro-site.conf) as the origin, the caching edge (scripts/edge/
# quendro-edge.conf) in front of it, both Debian's nginx on 127.0.0.1 over
# https (HTTP/2). The sample meet is published into the origin, then
# quendro-publish --watch publishes it while the timing system rewrites a
# heat's lap file every 6 s, and PAGES pages poll that heat's JSON and the
# meet's program every 2 s through the edge (h2load, one HTTP/2 connection a
# page, the pages opened over the first period). Meanwhile a few pages more
# (bench/split_to_page.py) note when each new split reaches them.
#
#   bench/edge_audience.sh [--plain] [--brief] [--open N] [pages] [polls] [quendro-publish]
#                                                   # 20000 pages, 30 polls by default
#
# --open N opens N pages a second (by default all of them over the first
# polling period).
#
# With --plain the pages ask the edge over plain http (HTTP/1.1, kept
# connections), as behind a CDN that makes the TLS connections with phones on
# machines of its own; the edge still asks the origin over https.
#
# Holds: no failed request, at most 2 requests per file per second at the
# origin (its access log), every page shown every new split and a new split
# on the page within 3 s (median), a PUT refused by the edge and never passed
# on. Exits 1 when one is not met. --brief (./test.sh's short run) prints the
# median but does not hold it: the three or four splits of a short run are
# too few to judge it by.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
plain=0 brief=0
[ "${1:-}" = --plain ] && { plain=1; shift; }
[ "${1:-}" = --brief ] && { brief=1; shift; }
opening=""
[ "${1:-}" = --open ] && { opening=$2; shift 2; }
pages=${1:-20000}
polls=${2:-30}
opening=${opening:-$(((pages + 1) / 2))}
publish=${3:-$source_dir/build/cli/publish/quendro-publish}
period_ms=2000
per_process=9000  # h2load's connections a process, within its 20,000 open files

command -v h2load >/dev/null || { echo "h2load がありません (nghttp2-client)" >&2; exit 1; }
[ -x "$publish" ] || { echo "quendro-publish がありません: $publish" >&2; exit 1; }
work=$(mktemp -d)
chmod 755 "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }
source "$source_dir/tests/public/public_nginx.sh"
# QUENDRO_BENCH_KEEP=1 keeps the folder (logs, the servers' files) and says where.
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; stop_nginx_all
      if [ -n "${QUENDRO_BENCH_KEEP:-}" ]; then echo "kept: $work"; else rm -rf "$work"; fi' EXIT

# The origin, with the sample meet.
origin_http=$(free_port); origin_https=$(free_port)
password=edge-bench-password
start_public_site "$origin_http" "$origin_https" "$password"
cp -R "$source_dir/sample/meet" "$work/meet"
printf 'machine localhost login meet password %s\n' "$password" > "$work/netrc"
chmod 600 "$work/netrc"
publish_words=(--season 2026 --results "$work/meet/kekka/KEKKA.DAT" --netrc-file "$work/netrc"
               --cacert "$work/ca.pem" "$work/meet" "https://localhost:$origin_https/swim/")
XDG_DATA_HOME="$work/xdg" "$publish" "${publish_words[@]}" > "$work/publish.log" 2>&1 ||
  { cat "$work/publish.log" >&2; fail "the sample meet was not published into the origin"; }

# The edge: the same certificate (its name is localhost too), the project's CA
# for the origin's.
edge_http=$(free_port); edge_https=$(free_port)
edge=$work/edge
debian_nginx_conf "$edge" 16384
fill_site "$source_dir/scripts/edge/quendro-edge.conf" "$edge/conf/sites-enabled/quendro-edge" \
  "/var/cache/nginx/quendro-edge|$edge/cache" \
  "origin.swim.example.jp:443|127.0.0.1:$origin_https" "origin.swim.example.jp|localhost" \
  "/etc/ssl/certs/ca-certificates.crt|$work/ca.pem" \
  "https://swim.example.jp|https://localhost:$edge_https" \
  "listen 80;|listen 127.0.0.1:$edge_http;" \
  "listen 443 ssl http2 reuseport backlog=4096;|listen 127.0.0.1:$edge_https ssl http2 reuseport backlog=4096;" \
  "/etc/letsencrypt/|$work/letsencrypt/" "/var/www/html|$work/acme" "swim.example.jp|localhost"
if [ "$plain" = 1 ]; then
  sed -i "s|listen 127.0.0.1:$edge_https ssl http2 |listen 127.0.0.1:$edge_https |" \
    "$edge/conf/sites-enabled/quendro-edge"
  site="http://127.0.0.1:$edge_https"
  h2load_words=(--h1)
else
  site="https://127.0.0.1:$edge_https"
  h2load_words=()
fi
start_nginx "$edge"

# Never a PUT through the edge, with the password or without.
for auth in "" "-u meet:$password"; do
  # shellcheck disable=SC2086
  got=$(echo x | curl -s -o /dev/null -w '%{http_code}' --cacert "$work/ca.pem" $auth -T - \
          "$site/swim/2026/through-edge.txt")
  [ "$got" = 403 ] || fail "PUT through the edge: $got, not 403"
done
if grep -q ' PUT /swim/2026/through-edge' "$work/origin/logs/access.log" ||
   [ -e "$work/srv/swim/2026/through-edge.txt" ]; then
  fail "a PUT through the edge reached the origin"
fi

# The watch, and the audience.
XDG_DATA_HOME="$work/xdg" "$publish" --watch "${publish_words[@]}" > "$work/watch.log" 2>&1 &
watch_pid=$!
sleep 1.5  # its first look
heat=/swim/2026/2026001/web/heats/0001.json
program=/swim/2026/2026001/web/meet.json
for ((i = 0; i < polls; i++)); do
  printf '%d\t%s\n%d\t%s\n' $((i * period_ms)) "$site$heat" $((i * period_ms)) "$site$program"
done > "$work/script"
# The writes go on while the audience polls (stopped when it has gone).
seconds=$(((polls * period_ms / 1000 + pages / opening + 1) * 3))
python3 "$source_dir/bench/split_to_page.py" "$site$heat" "$work/meet/lap/r0001" "$work/ca.pem" \
  "$seconds" > "$work/splits.txt" &
probe_pid=$!
# The CPU time of the edge's and the origin's workers, from /proc.
workers_cpu() {  # folder
  local master pid sum=0
  master=$(cat "$1/nginx.pid")
  for pid in $(pgrep -P "$master"); do
    sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$pid/stat")))
  done
  echo "$sum"
}
edge_cpu=$(workers_cpu "$edge"); origin_cpu=$(workers_cpu "$work/origin")
load_before=$(cut -d ' ' -f 1 /proc/loadavg)
began=$(date +%s.%N)
h2loads=()
for ((left = pages, k = 0; left > 0; left -= per_process, k++)); do
  n=$((left < per_process ? left : per_process))
  # The pages open a few at a time, as an audience does: this process's
  # share of the pages opened a second, every 200 ms.
  h2load "${h2load_words[@]}" -t 1 -c "$n" -r $(((n * opening / pages + 4) / 5)) --rate-period 200ms \
         --timing-script-file="$work/script" -H 'Accept-Encoding: gzip' \
         "$site$heat" > "$work/h2load-$k.txt" 2>&1 &
  h2loads+=($!)
done
for pid in "${h2loads[@]}"; do wait "$pid" || true; done
ended=$(date +%s.%N)
edge_cpu=$(($(workers_cpu "$edge") - edge_cpu)); origin_cpu=$(($(workers_cpu "$work/origin") - origin_cpu))
kill -TERM "$probe_pid"
wait "$probe_pid" || true
kill -TERM "$watch_pid" 2>/dev/null || true
wait "$watch_pid" 2>/dev/null || true

# What the pages got.
total=0; succeeded=0; twos=0
for file in "$work"/h2load-*.txt; do
  read -r t s < <(sed -n 's/^requests: \([0-9]*\) total, .* \([0-9]*\) succeeded, .*/\1 \2/p' "$file")
  read -r c < <(sed -n 's/^status codes: \([0-9]*\) 2xx.*/\1/p' "$file")
  total=$((total + ${t:-0})); succeeded=$((succeeded + ${s:-0})); twos=$((twos + ${c:-0}))
  grep -E '^(finished in|requests|status codes|traffic|time for request|time to connect)' "$file"
done
cat "$work/splits.txt"
python3 - "$edge_cpu" "$origin_cpu" "$began" "$ended" "$(getconf CLK_TCK)" "$load_before" \
  "$(cut -d ' ' -f 1 /proc/loadavg)" <<'PY'
import sys
edge, origin, began, ended, tick = (float(a) for a in sys.argv[1:6])
span = ended - began
print(f"nginx workers' CPU in {span:.1f} s: edge {edge / tick:.1f} s ({100 * edge / tick / span:.0f} % of one core), "
      f"origin {origin / tick:.2f} s; load average {sys.argv[6]} before, {sys.argv[7]} after")
PY
echo "pages: $pages, polls: $polls every 2 s, requests: $total, succeeded: $succeeded, 200: $twos" \
     "(expected $((pages * polls * 2)))"

# What the origin saw while the pages polled: reads of each file in each
# second.
python3 - "$work/origin/logs/access.log" "$began" "$ended" "$heat" "$program" \
  "$(sed -n 's/^WRITTEN //p' "$work/splits.txt")" > "$work/origin.txt" <<'PY'
import collections, statistics, sys
log, began, ended, heat, program = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), *sys.argv[4:6]
writes = [float(t) for t in sys.argv[6].split()]
per_second = collections.Counter()
per_file = collections.Counter()
puts = []
for line in open(log):
    msec, method, uri, status = line.split()[:4]
    if method == "PUT" and uri.removesuffix(".gz") == heat:
        puts.append(float(msec))
    if method in ("GET", "HEAD") and began <= float(msec) <= ended:
        per_second[uri, int(float(msec))] += 1
        per_file[uri] += 1
most = max(per_second.values(), default=0)
worst = [f"{uri} at {second}" for (uri, second), n in per_second.items() if n == most][:3]
span = ended - began
print(f"origin: {sum(per_file.values())} reads of {len(per_file)} files in {span:.1f} s; "
      f"at most {most} a file in one second ({', '.join(worst)})")
for uri in (heat, program):
    print(f"origin: {uri}: {per_file[uri]} reads, {per_file[uri] / span:.2f} a second")
# The watch's share of a split's road: from the write to the heat's JSON on
# the origin.
sent = [min((p for p in puts if p > w), default=float("inf")) - w for w in writes]
if sent:
    print("write to origin (the watch), seconds: " + " ".join("%.2f" % d for d in sent) +
          f"  median {statistics.median(sent):.2f}")
print(f"RESULT most={most}")
PY
cat "$work/origin.txt"
# What went wrong at the edge, if anything: its error log, one line a kind.
sed -E 's/^[0-9/: ]+\[([a-z]+)\] [0-9#]+: \*?[0-9]* ?//; s/, client:.*//; s/ \(.*//' \
  "$edge/logs/error.log" | sort | uniq -c | sort -rn | head -n 5
echo "quendro-publish --watch meanwhile: $(grep -c '送信しました: .*lap/' "$work/watch.log" || true) lap files sent"

# The watch's own words, when it had any beyond its sending.
grep -v '送信しました' "$work/watch.log" | tail -n 8 || true

# The verdict.
most=$(sed -n 's/^RESULT most=//p' "$work/origin.txt")
read -r median seen expected failed < <(sed -n \
  's/^RESULT median=\([0-9.inf]*\) seen=\([0-9]*\) expected=\([0-9]*\) failed=\([0-9]*\)/\1 \2 \3 \4/p' \
  "$work/splits.txt")
[ "$total" -eq $((pages * polls * 2)) ] && [ "$succeeded" -eq "$total" ] && [ "$twos" -eq "$total" ] ||
  fail "not every poll of the pages was answered 200"
[ "${failed:-1}" -eq 0 ] || fail "requests of the split pages failed"
[ "${most:-99}" -le 2 ] || fail "the origin saw $most requests for a file in one second"
[ "${seen:-0}" -gt 0 ] && [ "$seen" -eq "${expected:-0}" ] || fail "a page missed a new split"
[ "$brief" = 1 ] ||
  python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) <= 3.0 else 1)" "$median" ||
  fail "a new split took $median s to the page (median), more than 3 s"
echo "edge audience: all checks passed"
