#!/usr/bin/env python3
"""What a phone downloads, from a cold start, to show one competitor's swim at
the largest meet: the largest meet made by tools/make_meet, published by
quendro-publish to a loopback server that keeps what is PUT, and the gzip -6
sizes of meets.json + meet.json + fold.json + the names shard of a common
character + one competitors file + one heat's file. Fails above 300 KB."""
import gzip, http.server, json, os, pathlib, shutil, subprocess, sys, tempfile, threading

PUBLISH, MAKE_MEET = sys.argv[1], sys.argv[2]
LIMIT = 300 * 1024


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
    subprocess.run([PUBLISH, "--season", "2026", str(tmp / "meet"), base], check=True,
                   capture_output=True, env=dict(os.environ, XDG_DATA_HOME=str(tmp / "xdg")), cwd=tmp)
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
    sys.exit(0 if total <= LIMIT else 1)
finally:
    shutil.rmtree(tmp)
