#!/usr/bin/env python3
"""quendro-publish --watch at the venue, against the project's nginx on
127.0.0.1 and a copy of the sample meet:
  folder_away  the meet folder moved away for 10 s (the timing PC's share
               dropped) while a heat is written into it: the server keeps every
               byte meanwhile, the absence is told once, and the heat is served
               within 2 s of the folder's return;
  asleep       the watch stopped (SIGSTOP) for 60 s while heats are written:
               within 2 s of SIGCONT the server holds every one, and nothing
               else it held is lost.
Arguments: the program, the source folder, the case."""
import os
import pathlib
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

PROGRAM, CASE = os.path.abspath(sys.argv[1]), sys.argv[3]
SOURCE = pathlib.Path(sys.argv[2]).resolve()
PUBLISHER = SOURCE / "scripts" / "publisher.sh"
CATCH_UP = 2.0  # seconds from the folder's return, or the wake, to the server


def until(check, seconds):
    """The seconds check took to come true, or None."""
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if check():
            return time.monotonic() - start
        time.sleep(0.05)
    return None


class Venue:
    def __init__(self, leave_out):
        self.work = pathlib.Path(tempfile.mkdtemp(prefix="quendro-venue-"))
        self.work.chmod(0o755)  # the worker reads the tree below it
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.port = str(s.getsockname()[1])
        self.env = dict(os.environ, QUENDRO_PUBLISHER_HOME=str(self.work / "home"),
                        XDG_DATA_HOME=str(self.work / "xdg"))
        self.swim = self.work / "swim"
        subprocess.run([PUBLISHER, "start", self.port, self.swim], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)
        self.meet = self.work / "meet"
        shutil.copytree(SOURCE / "sample" / "meet", self.meet)
        for heat in leave_out:  # heats whose lap files come later
            (self.meet / "lap" / heat).unlink()
        self.out = self.work / "out.log"
        self.err = self.work / "err.log"
        self.watch = None
        self.web_data_before = 0

    def start_watch(self):
        base = "http://127.0.0.1:%s/swim/" % self.port
        with open(self.out, "wb") as out, open(self.err, "wb") as err:
            self.watch = subprocess.Popen(
                [PROGRAM, "--watch", "--season", "2026", str(self.meet), base],
                env=self.env, cwd=self.work, stdout=out, stderr=err)
        assert until(lambda: "変更を見張っています" in self.said(), 30), self.said()
        time.sleep(1)  # the first look's web data and list entry

    def said(self, stream="out"):
        return (self.out if stream == "out" else self.err).read_text("utf-8", "replace")

    def served(self, name):
        """The bytes a viewer reads for a file of the meet, or None."""
        url = "http://127.0.0.1:%s/swim/2026/2026001/%s" % (self.port, name)
        try:
            with urllib.request.urlopen(url, timeout=2) as answer:
                return answer.read()
        except urllib.error.URLError:
            return None

    def tree(self):
        """Every file the server holds, by its path, with its bytes."""
        return {str(p.relative_to(self.swim)): p.read_bytes()
                for p in self.swim.rglob("*") if p.is_file()}

    def web_data_sent(self):
        return self.said().count("ウェブ用データを送信しました")

    def catching_up(self):
        """Before the folder's return or the wake: the look that sends the
        laps then sends their heats' web data, which the stop waits for."""
        self.web_data_before = self.web_data_sent()

    def stop_watch(self):
        until(lambda: self.web_data_sent() > self.web_data_before, 5)
        self.watch.send_signal(signal.SIGTERM)
        return self.watch.wait(10)

    def close(self):
        if self.watch and self.watch.poll() is None:
            self.watch.kill()
            self.watch.wait()
        subprocess.run([PUBLISHER, "stop", self.port], env=self.env, stdout=subprocess.DEVNULL)
        shutil.rmtree(self.work, ignore_errors=True)


def heat_lines(lanes, base=30.0):
    """A heat's first split as the timing system writes it, a line a lane."""
    return b"".join(b"%d,%.2f,G,0,0,0,0,0,0\r\n" % (lane, base + lane / 100)
                    for lane in range(1, lanes + 1))


def folder_away(venue, fails):
    venue.start_watch()
    before = venue.tree()
    away = venue.work / "meet.away"
    venue.meet.rename(away)
    start = time.monotonic()
    if until(lambda: "フォルダが見えません" in venue.said("err"), 2) is None:
        fails.append("the absence is not told within 2 s")
    heat = heat_lines(8)
    (away / "lap" / "r0019").write_bytes(heat)
    while time.monotonic() - start < 10:
        if venue.tree() != before:
            fails.append("the server's files changed while the folder was away")
            break
        time.sleep(0.5)
    venue.catching_up()
    away.rename(venue.meet)
    took = until(lambda: venue.served("lap/r0019.txt") == heat, CATCH_UP)
    if took is None:
        fails.append("the heat written meanwhile is not served within %.0f s" % CATCH_UP)
    print("the heat written while away served %.2f s after the return" % (took or -1))
    err, out = venue.said("err"), venue.said()
    if err.count("フォルダが見えません") != 1:
        fails.append("the absence is told %d times" % err.count("フォルダが見えません"))
    if out.count("フォルダが戻りました") != 1:
        fails.append("the return is told %d times" % out.count("フォルダが戻りました"))
    if "エラー" in err:
        fails.append("an error is told")


def asleep(venue, fails):
    venue.start_watch()
    before = venue.tree()
    written = {}  # lap file: its bytes

    def write(heat, data):
        (venue.meet / "lap" / heat).write_bytes(data)
        written[heat] = data

    venue.watch.send_signal(signal.SIGSTOP)
    start = time.monotonic()
    # Heats as a session goes on: a new heat lane by lane, the next ones
    # whole, an earlier heat's lap file written again with a line more.
    for at, heat, data in [(5, "r0017", heat_lines(4)), (15, "r0017", heat_lines(8)),
                           (25, "r0018", heat_lines(8, 29.0)), (40, "r0019", heat_lines(8, 31.0)),
                           (50, "r0003", (venue.meet / "lap" / "r0003").read_bytes()
                            + b"9,59.99,G,0,0,0,0,0,0\r\n")]:
        time.sleep(max(0, start + at - time.monotonic()))
        write(heat, data)
    time.sleep(max(0, start + 60 - time.monotonic()))
    if venue.tree() != before:
        fails.append("the server's files changed while the watch was stopped")
    venue.catching_up()
    venue.watch.send_signal(signal.SIGCONT)
    took = until(lambda: all(venue.served("lap/%s.txt" % heat) == data
                             for heat, data in written.items()), CATCH_UP)
    if took is None:
        fails.append("the heats written during the sleep are not all served within %.0f s"
                     % CATCH_UP)
    print("every heat written during the sleep served %.2f s after the wake" % (took or -1))
    after = venue.tree()
    for path, data in before.items():
        name = path.removesuffix(".gz").rsplit("/", 1)[-1]
        if path not in after or not after[path]:
            fails.append("lost from the server: " + path)
        elif "/lap/" in path and name[:-4] not in written and after[path] != data:
            fails.append("changed on the server: " + path)


def main():
    case, leave_out = {"folder_away": (folder_away, ["r0019"]),
                       "asleep": (asleep, ["r0017", "r0018", "r0019"])}[CASE]
    venue = Venue(leave_out)
    fails = []
    try:
        case(venue, fails)
        status = venue.stop_watch()
        if status != 0 or "サーバーはフォルダと同じです" not in venue.said():
            fails.append("the watch ends with status %d" % status)
        if fails:
            print("stdout:\n" + venue.said() + "stderr:\n" + venue.said("err"))
    finally:
        venue.close()
    for fail in fails:
        print("FAILED: " + fail)
    print("%s: %s" % (CASE, "failed" if fails else "all checks passed"))
    return 1 if fails else 0


if __name__ == "__main__":
    sys.exit(main())
