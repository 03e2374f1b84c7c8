"""What the viewer's browser tests share: the project's nginx publisher on a
free port of 127.0.0.1 serving a tree in a temporary folder, and headless
Chromium the size of a phone."""

import base64
import gzip
import hashlib
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import NoSuchElementException, StaleElementReferenceException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

PHONE = {"width": 360, "height": 740}
SMALL_PHONE = {"width": 320, "height": 640}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Publisher:
    def __init__(self, source, tree, tls=False):
        self.source = source
        self.tree = tree
        self.tls = tls
        self.home = tempfile.mkdtemp(prefix="quendro-web-home-")
        # Started by root, nginx's worker is another user: it must reach the
        # viewer's copy in the home.
        os.chmod(self.home, 0o755)
        self.port = free_port()
        self.base = f"{'https' if tls else 'http'}://127.0.0.1:{self.port}/"

    def _run(self, *words):
        env = dict(os.environ, QUENDRO_PUBLISHER_HOME=self.home,
                   QUENDRO_WEB_ROOT=os.path.join(self.source, "web"))
        subprocess.run([os.path.join(self.source, "scripts/publisher.sh"), *words],
                       env=env, check=True, stdout=subprocess.DEVNULL)

    def start(self):
        self._run("start", *(["--tls"] if self.tls else []), str(self.port), self.tree)

    def stop(self):
        self._run("stop", str(self.port))

    def close(self):
        try:
            self.stop()
        finally:
            shutil.rmtree(self.home, ignore_errors=True)


def served_fixture(source, prefix):
    """A copy of the hand-made web data (tests/web/fixture) in a new folder,
    served by the project's publisher: (folder, tree, publisher). The caller
    closes the publisher and removes the folder."""
    work = tempfile.mkdtemp(prefix=prefix)
    os.chmod(work, 0o755)
    tree = os.path.join(work, "swim")
    shutil.copytree(os.path.join(source, "tests/web/fixture/swim"), tree)
    return work, tree, Publisher(source, tree)


def put_file(tree, relative, data):
    """Puts a file in place whole, as nginx's PUT does: written beside it,
    then renamed."""
    target = os.path.join(tree, relative)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    temporary = target + ".part"
    with open(temporary, "wb") as f:
        f.write(data if isinstance(data, bytes) else json.dumps(data, ensure_ascii=False).encode())
    os.chmod(temporary, 0o644)
    os.replace(temporary, target)


def read_json(tree, relative):
    """A file of web data as the server serves it: kept as it is, or kept
    compressed as NAME.gz by a publisher that stores gzip."""
    path = os.path.join(tree, relative)
    if not os.path.exists(path) and os.path.exists(path + ".gz"):
        with gzip.open(path + ".gz", "rt", encoding="utf-8") as f:
            return json.load(f)
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def phone_browser(size=PHONE, trusted_certificate=None):
    """With trusted_certificate, the https of the publisher that serves that
    certificate is taken as a phone takes a real one (Chromium has no store
    of its own to put the publisher's authority in here)."""
    options = webdriver.ChromeOptions()
    if trusted_certificate:
        key = subprocess.run(["openssl", "x509", "-in", trusted_certificate, "-noout", "-pubkey"],
                             check=True, capture_output=True).stdout
        der = subprocess.run(["openssl", "pkey", "-pubin", "-outform", "DER"], input=key,
                             check=True, capture_output=True).stdout
        options.add_argument("--ignore-certificate-errors-spki-list="
                             + base64.b64encode(hashlib.sha256(der).digest()).decode())
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--lang=ja-JP", f"--window-size={size['width']},{size['height']}"):
        options.add_argument(flag)
    options.add_experimental_option("mobileEmulation", {
        "deviceMetrics": {**size, "pixelRatio": 2.0, "touch": True},
        "userAgent": "Mozilla/5.0 (Linux; Android 14; Pixel) AppleWebKit/537.36 "
                     "(KHTML, like Gecko) Chrome/156.0 Mobile Safari/537.36"})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(20)
    return driver


def wait_for(driver, condition, seconds=5.0, what="the page"):
    """Waits until condition(driver) is true; returns the seconds it took."""
    began = time.monotonic()
    try:
        WebDriverWait(driver, seconds, poll_frequency=0.05,
                      ignored_exceptions=(StaleElementReferenceException,
                                          NoSuchElementException)).until(lambda d: condition(d))
    except Exception as error:
        raise AssertionError(f"{what} did not come within {seconds} s") from error
    return time.monotonic() - began


def texts(driver, selector):
    return [e.text for e in driver.find_elements(By.CSS_SELECTOR, selector)]


def type_into(driver, selector, text):
    field = driver.find_element(By.CSS_SELECTOR, selector)
    field.clear()
    driver.execute_script(
        "arguments[0].value = ''; arguments[0].dispatchEvent(new Event('input'));", field)
    field.send_keys(text)
    return field


def splits(driver):
    """A swim's split cells as [distance, cumulative, lap (when a lap interval
    is chosen), place]."""
    return driver.execute_script(
        "return [...document.querySelectorAll('.split-grid .split')].map((b) =>"
        " [...b.querySelectorAll('.cap, .time, .lap, .place')]"
        ".map((s) => [s.className, s.innerText.trim()]))"
        ".map((cells) => ['cap', 'time', 'lap', 'place'].flatMap((k) =>"
        " cells.filter(([c]) => c === k).map(([, t]) => t)));")
