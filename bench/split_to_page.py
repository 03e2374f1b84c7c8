"""The timing system and a few pages of the audience, for bench/edge_audience.sh:
every EVERY to EVERY + 2 seconds (at random, as
splits come at any moment of the pages' and the edge's periods) a new first split of lane 1 is written into a heat's lap
file (in place, as the timing system writes it), while PAGES pages, their
looks spread over the viewer's 2-second period, ask for that heat's JSON as
the viewer does (with the ETag it may keep, gzip taken) and note when each
sees each new split. Prints the seconds from each write to each page, their
median, and the requests that failed.

    split_to_page.py HEAT_URL LAP_FILE CA_FILE SECONDS [PAGES] [EVERY]

SIGTERM ends the writes sooner (the audience has gone); the pages still look
until they have seen the last one.
"""

import email.utils
import gzip
import http.client
import json
import random
import signal
import ssl
import statistics
import sys
import threading
import time
import urllib.parse

PERIOD = 2.0

url, lap_file, ca_file = sys.argv[1:4]
seconds = float(sys.argv[4])
pages = int(sys.argv[5]) if len(sys.argv) > 5 else 10
every = float(sys.argv[6]) if len(sys.argv) > 6 else 5.0
address = urllib.parse.urlsplit(url)
context = ssl.create_default_context(cafile=ca_file)

written = {}  # the new split -> when it was written
written_at = []  # the same, wall-clock, for the server's logs
lock = threading.Lock()
delays = []
failed = []
start = time.monotonic()
end = start + seconds  # the last write comes before it
wait_after = every + 2 * PERIOD  # the pages' time to see the last write


def stop(signum, frame):
    """The audience has gone: no more writes; the pages see the last one."""
    global end
    end = min(end, time.monotonic())


signal.signal(signal.SIGTERM, stop)


def date_of(text):
    try:
        return email.utils.parsedate_to_datetime(text).timestamp()
    except (TypeError, ValueError):
        return None


def kept_etag(etag, date, last_modified):
    """The viewer's rule: an answer given in the second its file changed
    keeps no ETag."""
    answered, modified = date_of(date), date_of(last_modified)
    if answered is None or modified is None:
        return etag
    return None if answered <= modified else etag


def finished(seen, tick):
    """A page stops once the writes have stopped and it has seen the last
    one, or has waited for it long enough."""
    with lock:
        return tick >= end + wait_after or (tick > end and all(s in seen for s in written))


def page(phase):
    connection = None
    etag = None
    seen = set()
    tick = start + phase
    while not finished(seen, tick):
        time.sleep(max(0.0, tick - time.monotonic()))
        tick += PERIOD
        try:
            if connection is None:
                if address.scheme == "https":
                    connection = http.client.HTTPSConnection(address.hostname, address.port,
                                                             context=context, timeout=4)
                else:
                    connection = http.client.HTTPConnection(address.hostname, address.port,
                                                            timeout=4)
            headers = {"Accept-Encoding": "gzip"}
            if etag:
                headers["If-None-Match"] = etag
            connection.request("GET", address.path, headers=headers)
            answer = connection.getresponse()
            body = answer.read()
            now = time.monotonic()
            if answer.status == 304:
                continue
            if answer.status != 200:
                raise RuntimeError(f"status {answer.status}")
            if answer.getheader("Content-Encoding") == "gzip":
                body = gzip.decompress(body)
            etag = kept_etag(answer.getheader("ETag"), answer.getheader("Date"),
                             answer.getheader("Last-Modified"))
            lane = next(l for l in json.loads(body)["lanes"] if l["lane"] == 1)
            split = lane["cumulative"][0].strip()
            with lock:
                if split in written and split not in seen:
                    seen.add(split)
                    delays.append(now - written[split])
        except (OSError, RuntimeError, http.client.HTTPException, ValueError) as error:
            with lock:
                failed.append(str(error))
            connection = None


def timing_system():
    original = open(lap_file, "rb").read()
    k = 0
    while time.monotonic() + every + PERIOD < end:
        time.sleep(every + random.uniform(0, PERIOD) if k else 1.0)
        if time.monotonic() >= end:
            break
        k += 1
        split = "%d.%02d" % (10 + k % 50, 11 + k % 89)
        lines = original.split(b"\r\n")
        fields = lines[0].split(b",")
        fields[1] = split.encode()
        lines[0] = b",".join(fields)
        with lock:
            written[split] = time.monotonic()
            written_at.append(time.time())
        with open(lap_file, "wb") as f:
            f.write(b"\r\n".join(lines))


threads = [threading.Thread(target=page, args=(PERIOD * i / pages,)) for i in range(pages)]
writer = threading.Thread(target=timing_system)
for t in threads + [writer]:
    t.start()
for t in threads + [writer]:
    t.join()

expected = len(written) * pages
print("write to page, seconds: " + " ".join("%.2f" % d for d in sorted(delays)))
median = statistics.median(delays) if delays else float("inf")
print(f"splits written {len(written)}, seen {len(delays)} of {expected}, "
      f"median {median:.2f} s, longest {max(delays, default=float('inf')):.2f} s, "
      f"failed requests {len(failed)}")
for reason in sorted(set(failed))[:5]:
    print("  failed: " + reason)
print("WRITTEN " + " ".join("%.3f" % t for t in written_at))
print(f"RESULT median={median:.3f} seen={len(delays)} expected={expected} failed={len(failed)}")
