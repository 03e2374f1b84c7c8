"""What the viewer asks the server for, counted in nginx's access log, in
headless Chromium at a phone's size against the project's nginx publisher
serving the hand-made fixture, over a slow link (Chromium's own throttling):
one request per shard however fast one types, a page's files asked for at
once (a swim, the meet page's program, マイ選手), full-width digits found as
digits, Enter opening a single hit, an address the meet does not hold said so
and no longer asked for, a heat of the heat table not yet published asked for
until it comes, and a page whose modules could not come shown once the server
is back.

    requests_test.py SOURCE_DIR SCREENSHOT_DIR
"""

import json
import os
import shutil
import sys
import time

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.dirname(__file__))
from browser import phone_browser, put_file, read_json, served_fixture, texts, wait_for  # noqa: E402

source, shots = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
os.makedirs(shots, exist_ok=True)
MEET = "2026/2026001/web/"
PAGE = "#/2026/2026001"
# Longer than the slowest keystrokes of a loaded machine: every key of a typed
# text goes before the first answer comes.
LATENCY_MS = 600
QUIET_SECONDS = 4.5  # more than two turns of the live pace (2 s)

work, tree, publisher = served_fixture(source, "quendro-web-requests-")
driver = None


def shot(name):
    driver.save_screenshot(os.path.join(shots, f"requests-{name}.png"))


def asked(path):
    """How many times the server was asked for a file of the meet's web data."""
    log = os.path.join(publisher.home, f"nginx-{publisher.port}", "logs", "access.log")
    with open(log, encoding="utf-8", errors="replace") as f:
        return sum(f" /swim/{MEET}{path} " in line for line in f)


def open_cold(address):
    """The address in a page of its own: nothing of an earlier page in hand."""
    driver.get("about:blank")
    driver.get(publisher.base + address)


def slow_link(on):
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": False, "latency": LATENCY_MS if on else 0,
        "downloadThroughput": 250_000 if on else -1, "uploadThroughput": 250_000 if on else -1})


def note():
    return " ".join(texts(driver, "main .note"))


def one_request_per_shard():
    open_cold(PAGE)
    wait_for(driver, lambda d: d.find_elements(By.ID, "search"), 10, "the meet")
    before = asked("numbers/1.json"), asked("names/30e4.json")
    field = driver.find_element(By.ID, "search")
    field.send_keys("1002")
    wait_for(driver, lambda d: texts(d, "#results .number") == ["1002"], 10, "the number typed fast")
    field.clear()
    field.send_keys("ﾔﾏﾀﾞ")
    wait_for(driver, lambda d: texts(d, "#results .name") == ["ヤマダ ハナコ"], 10, "the name typed fast")
    # The shard in hand answers every later keystroke on the page.
    field.clear()
    field.send_keys("10")
    wait_for(driver, lambda d: texts(d, "#results .number") == ["1001", "1002"], 5, "the shard in hand")
    after = asked("numbers/1.json"), asked("names/30e4.json")
    assert (after[0] - before[0], after[1] - before[1]) == (1, 1), (before, after)


def full_width_digits_and_enter():
    open_cold(PAGE)
    wait_for(driver, lambda d: d.find_elements(By.ID, "search"), 10, "the meet")
    field = driver.find_element(By.ID, "search")
    # Several hits: Enter stays on the page.
    field.send_keys("１０" + Keys.ENTER)
    wait_for(driver, lambda d: texts(d, "#results .number") == ["1001", "1002"], 10, "full-width 10")
    assert driver.current_url.endswith(PAGE + "?q=%EF%BC%91%EF%BC%90"), driver.current_url
    shot("full-width")
    # One hit, Enter typed before the answer comes: it opens when it comes.
    open_cold(PAGE)
    wait_for(driver, lambda d: d.find_elements(By.ID, "search"), 10, "the meet")
    driver.find_element(By.ID, "search").send_keys("１２０３" + Keys.ENTER)
    wait_for(driver, lambda d: d.current_url.endswith(PAGE + "/c/2"), 10, "the single hit opened")
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".swims li"), 10, "the competitor")
    # With the answer shown, Enter opens the one hit at once.
    open_cold(PAGE + "?q=1002")
    wait_for(driver, lambda d: texts(d, "#results .number") == ["1002"], 10, "the number in the address")
    driver.find_element(By.ID, "search").send_keys(Keys.ENTER)
    wait_for(driver, lambda d: d.current_url.endswith(PAGE + "/c/1"), 5, "Enter on a shown hit")


def files_asked_at_once():
    """A page asks for its own files before meet.json has come, not after it:
    a swim its bucket and its heat, the meet page its search's folding table
    (its program and the program's states once its search box is drawn, after
    fold.json came), マイ選手 the program, its states and the starred
    swimmer's bucket."""
    open_cold(PAGE)
    driver.execute_script("localStorage.setItem('quendro.mine.2026/2026001', '[0]')")
    for address, shown, files in (
            ("/c/0/h/0001", ".split-grid .split", ("competitors/0.json", "heats/0001.json")),
            ("", ".program-list li[data-heat]", ("fold.json",)),
            ("/mine", ".mine-swim", ("program.json", "now.json", "competitors/0.json"))):
        open_cold(PAGE + address)
        wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, shown), 10, f"the page {address!r}")
        # The first time each file was asked for (the live pace asks again).
        timing = driver.execute_script(
            "const first = {};"
            "for (const e of performance.getEntriesByType('resource')) {"
            "  const name = e.name.split('/web/')[1];"
            "  if (name && !(name in first)) first[name] = [e.startTime, e.responseEnd];"
            "}"
            "return first;")
        meet_came = timing["meet.json"][1]
        for path in files:
            assert timing[path][0] < meet_came, (address, path, timing)
        if address == "":
            for path in ("program.json", "now.json"):
                assert timing[path][0] >= timing["fold.json"][1], (path, timing)
    driver.execute_script("localStorage.removeItem('quendro.mine.2026/2026001')")


def says_what_the_meet_does_not_hold():
    for address, text, files in (
            ("/c/7", "この大会にこの選手はいません。", ["meet.json", "competitors/0.json"]),
            ("/c/1000", "この大会にこの選手はいません。", ["meet.json", "competitors/3.json"]),
            ("/h/0009", "この大会にこの組はありません。", ["meet.json", "heats/0009.json"]),
            ("/c/1/h/0002", "この選手はこの組で泳いでいません。", ["meet.json", "competitors/0.json"]),
            ("/c/0/h/0009", "この大会にこの組はありません。", ["meet.json", "heats/0009.json"])):
        open_cold(PAGE + address)
        wait_for(driver, lambda d: text in note(), 10, f"what {address} says")
        if address == "/c/7":
            shot("no-competitor")
        if address == "/h/0009":
            shot("no-heat")
        before = [asked(f) for f in files]
        time.sleep(QUIET_SECONDS)
        assert [asked(f) for f in files] == before, (address, before, [asked(f) for f in files])
        assert text in note()


def heat_not_yet_published():
    """Heat 0006 is in the heat table (meet.json counts six) but has no file
    yet: it is asked for at the live pace and shown when it comes."""
    slow_link(False)
    meet = read_json(tree, f"{MEET}meet.json")
    meet["heatCount"] = 6
    put_file(tree, f"{MEET}meet.json", meet)
    open_cold(PAGE + "/h/0006")
    wait_for(driver, lambda d: "この組はまだ公開されていません。" in note(), 10, "the heat not yet published")
    shot("heat-not-yet")
    before = asked("heats/0006.json")
    time.sleep(QUIET_SECONDS)
    turns = asked("heats/0006.json") - before
    assert 2 <= turns <= 3, turns
    with open(os.path.join(source, "tests/web/later/swim", MEET, "heats/0006.json"), encoding="utf-8") as f:
        put_file(tree, f"{MEET}heats/0006.json", json.load(f))
    took = wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".heat-view h2"), 3.0,
                    "the heat once published")
    print(f"heat shown {took:.2f} s after its file came")


def modules_that_could_not_come():
    """The season's page, whose modules no page has asked for yet, opened
    while the server is away: it says so, and shows once the server is back."""
    slow_link(False)
    open_cold(PAGE)
    wait_for(driver, lambda d: d.find_elements(By.ID, "search"), 10, "the meet")
    publisher.stop()
    driver.execute_script("location.hash = '#/2026'")
    wait_for(driver, lambda d: "サーバーに接続できません" in note(), 5, "the page without its modules")
    publisher.start()
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".cards a"), 5, "the season's meets")


try:
    publisher.start()
    driver = phone_browser()
    slow_link(True)
    one_request_per_shard()
    full_width_digits_and_enter()
    files_asked_at_once()
    says_what_the_meet_does_not_hold()
    heat_not_yet_published()
    modules_that_could_not_come()
    print("web viewer requests: all checks passed")
finally:
    if driver:
        driver.quit()
    publisher.close()
    shutil.rmtree(work, ignore_errors=True)
