#!/usr/bin/env python3
"""What a phone downloads, from a cold start, to show one competitor's swim at
the largest meet: the largest meet made by tools/make_meet, published by
quendro-publish to a loopback server that keeps what is PUT, and the gzip -6
sizes of meets.json + meet.json + fold.json + the names shard of a common
character + one competitors file + one heat's file. Fails above 300 KB.

Then the program of that meet: program.json (at most 60 KB gzip) and
now.json, the one file a phone asks for again when a heat's state changes,
with the meet half swum (the second half of the heats without finals, two
heats swimming): at most 1 KB gzip, which leaves room for the answer's
headers within the 2 KB a phone may pay for a change."""
import gzip, http.server, json, os, pathlib, shutil, struct, subprocess, sys, tempfile, threading

PUBLISH, MAKE_MEET = sys.argv[1], sys.argv[2]
LIMIT = 300 * 1024
PROGRAM_LIMIT = 60 * 1024
NOW_LIMIT = 1024


class Store(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    files = {}

    def log_message(self, *args):
        pass

    def do_GET(self):
        body = self.files.get(self.path)
        self.send_response(200 if body is not None else 404)
        self.send_header("Content-Length", str(len(body or b"")))
        self.end_headers()
        self.wfile.write(body or b"")

    def do_PUT(self):
        self.files[self.path] = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        self.send_response(201)
        self.send_header("Content-Length", "0")
        self.end_headers()


tmp = pathlib.Path(tempfile.mkdtemp(prefix="quendro-web-size-"))
try:
    subprocess.run([MAKE_MEET, str(tmp / "meet")], check=True, capture_output=True)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Store)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d/swim/" % server.server_address[1]
    publish = lambda: subprocess.run(
        [PUBLISH, "--season", "2026", str(tmp / "meet"), base], check=True, capture_output=True,
        env=dict(os.environ, XDG_DATA_HOME=str(tmp / "xdg")), cwd=tmp)
    publish()
    web = {p.split("/web/", 1)[1] if "/2026001/" in p else "meets.json": b
           for p, b in Store.files.items() if "/web/" in p}
    gz = lambda b: len(gzip.compress(b, 6))
    names = {p: b for p, b in web.items() if p.startswith("names/")}
    common = max(names, key=lambda p: len(names[p]))  # the shard of the most common character
    heats = sorted(p for p in web if p.startswith("heats/"))
    heat = max(heats, key=lambda p: len(web[p]))
    buckets = [p for p in web if p.startswith("competitors/")]
    bucket = max(buckets, key=lambda p: len(web[p]))
    parts = {"meets.json": gz(web["meets.json"]), "meet.json": gz(web["meet.json"]),
             "fold.json": gz(web["fold.json"]), common: gz(web[common]), bucket: gz(web[bucket]),
             heat: gz(web[heat])}
    total = sum(parts.values())
    for p, n in parts.items():
        print("%-24s %8d bytes gzip (%d raw)" % (p, n, len(web[p])))
    print("files %d, heats %d, names shards %d, numbers shards %d" % (
        len(web), len(heats), len(names), len([p for p in web if p.startswith("numbers/")])))
    print("total %d bytes gzip -6 (limit %d)" % (total, LIMIT))

    # The meet half swum: heats from the middle on lose their finals, and the
    # lap files of all but the first two of them go: two heats swimming.
    table = tmp / "meet" / "taikai.dat"
    data = bytearray(table.read_bytes())
    count = struct.unpack_from("<h", data, 0)[0]
    for k in range(count // 2 + 1, count + 1):
        struct.pack_into("<10i", data, (k + 9) * 256 + 46, *([0] * 10))
        if k > count // 2 + 2:
            (tmp / "meet" / "lap" / ("r%04d" % k)).unlink(missing_ok=True)
    table.write_bytes(bytes(data))
    publish()
    at = "/swim/2026/2026001/web/"
    program, now = Store.files[at + "program.json"], Store.files[at + "now.json"]
    states = json.loads(now)["states"]
    print("program.json %8d bytes gzip (%d raw, %d heats; limit %d)" % (
        gz(program), len(program), len(json.loads(program)["heats"]), PROGRAM_LIMIT))
    print("now.json     %8d bytes gzip (%d raw; %d done, %d swimming, %d to come; limit %d)" % (
        gz(now), len(now), states.count("D"), states.count("S"), states.count("U"), NOW_LIMIT))
    ok = total <= LIMIT and gz(program) <= PROGRAM_LIMIT and gz(now) <= NOW_LIMIT
    sys.exit(0 if ok else 1)
finally:
    shutil.rmtree(tmp)
