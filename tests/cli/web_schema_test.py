#!/usr/bin/env python3
"""The web data of quendro-publish against docs/web-data.schema.json: both
sample meets published to a loopback server that keeps what is PUT, then every
JSON file it received checked against the kind its path names."""
import http.server
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

import jsonschema

PROGRAM = sys.argv.pop(1)
SOURCE = pathlib.Path(sys.argv.pop(1))
SCHEMA = json.loads((SOURCE / "docs" / "web-data.schema.json").read_text(encoding="utf-8"))


class Store(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # answers "Expect: 100-continue" at once
    files = {}

    def log_message(self, *args):
        pass

    def do_GET(self):
        body = self.files.get(self.path)
        if body is None:
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_PUT(self):
        length = int(self.headers.get("Content-Length", "0"))
        self.files[self.path] = self.rfile.read(length)
        self.send_response(201)
        self.send_header("Content-Length", "0")
        self.end_headers()


def kind_of(path):
    name = path.split("/web/", 1)[1]
    if name == "meets.json":
        return "meets"
    if name in ("meet.json", "fold.json", "program.json", "now.json"):
        return name[:-5]
    folder = name.split("/", 1)[0]
    return {"names": "shard", "numbers": "shard", "competitors": "competitors",
            "heats": "heat"}[folder]


class WebSchema(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = pathlib.Path(tempfile.mkdtemp(prefix="quendro-web-schema-"))
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Store)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        base = "http://127.0.0.1:%d/swim/" % cls.server.server_address[1]
        env = dict(os.environ, XDG_DATA_HOME=str(cls.tmp / "xdg"))
        for meet in ("meet", "meet50"):
            shutil.copytree(SOURCE / "sample" / meet, cls.tmp / meet)
            run = subprocess.run([PROGRAM, "--season", "2026", str(cls.tmp / meet), base],
                                 env=env, cwd=cls.tmp, capture_output=True)
            assert run.returncode == 0, run.stderr.decode("utf-8", "replace")

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        shutil.rmtree(cls.tmp)

    def test_every_web_file_follows_the_schema(self):
        web = {p: b for p, b in Store.files.items() if "/web/" in p}
        kinds = {}
        for path, body in web.items():
            data = json.loads(body.decode("utf-8"))
            kind = kind_of(path)
            kinds[kind] = kinds.get(kind, 0) + 1
            jsonschema.validate(data, SCHEMA)  # one of the kinds
            jsonschema.validate(data, {"$ref": "#/$defs/" + kind, "$defs": SCHEMA["$defs"]})
        self.assertEqual(set(kinds), {"meets", "meet", "fold", "shard", "competitors", "heat",
                                      "program", "now"})
        self.assertEqual(kinds["meet"], 2)
        self.assertEqual(kinds["program"], 2)
        self.assertEqual(kinds["now"], 2)

    def test_season_meets_lists_both(self):
        meets = json.loads(Store.files["/swim/2026/web/meets.json"].decode("utf-8"))
        self.assertEqual([m["code"] for m in meets["meets"]], ["2026001", "2026002"])

    def test_program_and_states_belong_together(self):
        for code in ("2026001", "2026002"):
            web = "/swim/2026/%s/web/" % code
            program = json.loads(Store.files[web + "program.json"].decode("utf-8"))
            now = json.loads(Store.files[web + "now.json"].decode("utf-8"))
            self.assertEqual(now["program"], program["id"])
            self.assertEqual(len(now["states"]), len(program["heats"]))
            # Every heat of the program has its file, and every heat file is in the program.
            heats = sorted(p.rsplit("/", 1)[1][:4] for p in Store.files if p.startswith(web + "heats/"))
            self.assertEqual([h["heat"] for h in program["heats"]], heats)
            self.assertIn(now["now"], heats)

    def test_a_file_that_breaks_the_schema_is_refused(self):
        heat = next(b for p, b in Store.files.items() if "/web/heats/" in p)
        data = json.loads(heat.decode("utf-8"))
        data["lanes"][0]["places"] = [0]
        with self.assertRaises(jsonschema.ValidationError):
            jsonschema.validate(data, {"$ref": "#/$defs/heat", "$defs": SCHEMA["$defs"]})
        for states in ("DSUX", "DUD"):  # an unknown letter; an upcoming heat before a swum one
            with self.assertRaises(jsonschema.ValidationError):
                jsonschema.validate({"version": 1, "program": "0123456789abcdef", "states": states,
                                     "until": 0, "now": ""},
                                    {"$ref": "#/$defs/now", "$defs": SCHEMA["$defs"]})


if __name__ == "__main__":
    unittest.main()
