#!/usr/bin/env python3
"""A phone on a crowded link, from the meet's address to a swim: the largest
meet of tools/make_meet published by quendro-publish into the project's nginx
(scripts/publisher.sh), reached through tests/support/latency_relay at 150 ms
round trip and 2 Mbit/s, a cold headless Chromium at 360 x 740 (a new profile
each run). For each way of finding the swimmer it opens the meet's page,
types the text keystroke by keystroke as fast as the page takes it, opens the
hit, then the competitor's first swim, and reports the time from the address
to the swim's splits on the screen (the page's own clock, from the start of
the navigation) and the bytes the relay carried (both ways, every header and
the viewer's own files included).

    bench/web_latency.py SOURCE_DIR BUILD_DIR [--runs N] [--tree FOLDER] [--heats N]

--tree keeps the published meet in FOLDER between runs of the script (it is
published again only when FOLDER has none); --heats makes a smaller meet
(the test run keeps the script working on 40 heats); --tls measures https
(HTTP/2) as scripts/publisher.sh --tls serves it. QUENDRO_TIMELINE=1 prints
each run's resource timings. Exits 1 when a figure misses its limit (the
largest meet only).
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Publisher, phone_browser, read_json  # noqa: E402

ROUND_TRIP_MS = 150
BITS_PER_SECOND = 2_000_000
SEASON = "2026"
LIMITS = {"name": (2.0, 160 * 1024), "number": (2.0, 200 * 1024)}

parser = argparse.ArgumentParser()
parser.add_argument("source")
parser.add_argument("build")
parser.add_argument("--runs", type=int, default=5)
parser.add_argument("--tree")
parser.add_argument("--heats", type=int)
parser.add_argument("--tls", action="store_true", help="https (HTTP/2) as scripts/publisher.sh --tls serves it")
args = parser.parse_args()
source, build = os.path.abspath(args.source), os.path.abspath(args.build)

# The flow in the page, timed by its own clock: the keystrokes go in as
# input events, one per prefix of the text, without waiting for an answer.
FLOW = """
const [text, done] = [arguments[0], arguments[arguments.length - 1]];
const until = (test) => new Promise((resolve) => {
  const look = () => { const found = test(); if (found) resolve(found); else setTimeout(look, 5); };
  look();
});
(async () => {
  const field = await until(() => document.getElementById('search'));
  const chars = Array.from(text);
  for (let i = 1; i <= chars.length; i++) {
    field.value = chars.slice(0, i).join('');
    field.dispatchEvent(new Event('input'));
  }
  const hit = await until(() => [...document.querySelectorAll('#results a.person')]
    .find((a) => a.querySelector('.number').textContent === arguments[1]));
  const found = performance.now();
  hit.click();
  const swim = await until(() => document.querySelector('.swims a'));
  const competitor = performance.now();
  swim.click();
  await until(() => document.querySelector('.split-grid .split, .swim-view .note'));
  done({ found, competitor, swim: performance.now(), shown: !!document.querySelector('.split-grid .split') });
})();
"""


def publish(tree, work):
    meet = os.path.join(work, "meet")
    shape = ["--heats", str(args.heats)] if args.heats else []
    subprocess.run([os.path.join(build, "tools/make_meet"), meet, *shape], check=True,
                   stdout=subprocess.DEVNULL)
    publisher = Publisher(source, tree)
    publisher.start()
    try:
        began = time.monotonic()
        subprocess.run([os.path.join(build, "cli/publish/quendro-publish"), "--season", SEASON, meet,
                        publisher.base + "swim/"], check=True, cwd=work, stdout=subprocess.DEVNULL,
                       env=dict(os.environ, XDG_DATA_HOME=os.path.join(work, "xdg")))
        print(f"published in {time.monotonic() - began:.0f} s")
    finally:
        publisher.close()


class Relay:
    def __init__(self, port):
        self.process = subprocess.Popen(
            [os.path.join(build, "bench/quendro_latency_relay"), str(port), str(ROUND_TRIP_MS),
             str(BITS_PER_SECOND)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])

    def carried(self):
        self.process.stdin.write("\n")
        self.process.stdin.flush()
        words = self.process.stdout.readline().split()
        return {"connections": int(words[1]), "up": int(words[3]), "down": int(words[5])}

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)


def pick_swimmers(web):
    """The swimmer found by name: one with a swim whose name starts with the
    character of the largest names shard (the most bytes a name search can
    cost), typed whole; by number: the first five-digit number of a swimmer
    with a swim, typed whole."""
    meet = read_json(web, "meet.json")

    def swims(row):
        bucket = read_json(web, f"competitors/{row[0] // meet['competitorBucketSize']}.json")
        return bucket["competitors"].get(str(row[0]), {}).get("swims")

    names = {f.split(".")[0]: os.path.getsize(os.path.join(web, "names", f))
             for f in os.listdir(os.path.join(web, "names"))}
    largest = max(names, key=names.get)
    shard = read_json(web, f"names/{largest}.json")["competitors"]
    by_name = next(r for r in shard if r[5] and r[5][0] == chr(int(largest, 16)) and swims(r))
    by_number = next(r for r in read_json(web, "numbers/1.json")["competitors"]
                     if len(r[1]) == 5 and swims(r))
    return {"name": (by_name[2], by_name), "number": (by_number[1], by_number)}


def one_run(base, relay, code, text, row, ca):
    driver = phone_browser(trusted_certificate=ca)
    try:
        before = relay.carried()
        driver.get(base + f"#/{SEASON}/{code}")
        driver.set_script_timeout(30)
        result = driver.execute_async_script(FLOW, text, row[1])
        time.sleep(0.3)  # the last bytes of the answers counted
        after = relay.carried()
        entries = driver.execute_script(
            "return performance.getEntriesByType('resource').map((e) => e.name.split('/').slice(-2).join('/'))")
        if os.environ.get("QUENDRO_TIMELINE"):
            print(json.dumps(driver.execute_script("""
              const n = performance.getEntriesByType('navigation')[0];
              return [['document', 0, n.responseStart, n.responseEnd, n.encodedBodySize]].concat(
                performance.getEntriesByType('resource').map((e) => [e.name.split('/').slice(-2).join('/'),
                Math.round(e.startTime), Math.round(e.responseStart), Math.round(e.responseEnd),
                e.encodedBodySize]));""")))
    finally:
        driver.quit()
    assert result["shown"], "the swim showed no splits"
    return {"seconds": result["swim"] / 1000, "found": result["found"] / 1000,
            "competitor": result["competitor"] / 1000,
            "bytes": after["up"] - before["up"] + after["down"] - before["down"],
            "down": after["down"] - before["down"], "requests": len(entries) + 1,
            "connections": after["connections"] - before["connections"], "files": entries}


work = tempfile.mkdtemp(prefix="quendro-web-latency-")
os.chmod(work, 0o755)
tree = os.path.abspath(args.tree) if args.tree else os.path.join(work, "swim")
publisher = relay = None
missed = []
try:
    if not os.path.isdir(os.path.join(tree, SEASON)):
        os.makedirs(tree, exist_ok=True)
        publish(tree, work)
    code = next(d for d in os.listdir(os.path.join(tree, SEASON))
                if d != "web" and os.path.isdir(os.path.join(tree, SEASON, d)))
    web = os.path.join(tree, SEASON, code, "web")
    publisher = Publisher(source, tree, tls=args.tls)
    publisher.start()
    relay = Relay(publisher.port)
    base = f"{'https' if args.tls else 'http'}://127.0.0.1:{relay.port}/"
    ca = os.path.join(publisher.home, "tls", "server.pem") if args.tls else None
    for way, (text, row) in pick_swimmers(web).items():
        runs = [one_run(base, relay, code, text, row, ca) for _ in range(args.runs)]
        seconds = [r["seconds"] for r in runs]
        sizes = [r["bytes"] for r in runs]
        print(f"by {way} ({text!r}, No.{row[1]} {row[2]}): "
              f"median {statistics.median(seconds):.2f} s (runs {', '.join(f'{s:.2f}' for s in seconds)}), "
              f"{max(sizes) / 1024:.1f} KB at most on the wire ({min(r['down'] for r in runs) / 1024:.1f} KB "
              f"down at least), found at {statistics.median(r['found'] for r in runs):.2f} s, "
              f"competitor at {statistics.median(r['competitor'] for r in runs):.2f} s, "
              f"{runs[0]['requests']} requests over {runs[0]['connections']} connections")
        print("  files: " + " ".join(runs[0]["files"]))
        limit_seconds, limit_bytes = LIMITS[way]
        if not args.heats and (statistics.median(seconds) > limit_seconds or max(sizes) > limit_bytes):
            missed.append(way)
finally:
    if relay:
        relay.close()
    if publisher:
        publisher.close()
    shutil.rmtree(work, ignore_errors=True)
if missed:
    print("missed: " + ", ".join(missed))
    sys.exit(1)
