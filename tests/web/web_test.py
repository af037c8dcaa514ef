#!/usr/bin/env python3
"""The web page in headless Chromium: likeness to the native renderer, playback, the end screen,
a browser without WebGL 2, and the page's size.

usage: web_test.py PAGE_DIR CHECK [options]
  CHECK likeness --reference PROGRAM --data DIR   the ?frame= pictures against the native gles3 frames
                                                   (PROGRAM: the desktop build's oyun-capture)
  CHECK playback                                   Play, 5 s of the show in step with its sound, Escape
  CHECK no-webgl, no-wasm                          the page says what is missing
  CHECK size                                       all files, gzip-compressed, within the goal
Exit 0 when the check holds, 1 with what failed.
"""
import argparse
import gzip
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
from functools import partial
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, BrowserError  # noqa: E402
import images  # noqa: E402

# Eight or more moments across all six parts of the show (milliseconds).
MOMENTS = [5000, 15000, 24000, 45000, 65000, 75000, 83000, 88000, 95000, 115000]
LIKENESS_DB = 30.0
SIZE_GOAL = 6 * 1000 * 1000  # bytes as a server sends them gzip-compressed
FRAME_MS = 1000.0 / 60.0     # one frame of a 60 Hz display


class QuietHandler(SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server:
    """The page's folder on a static server at a free port, as any would serve it."""

    def __init__(self, folder):
        self.httpd = ThreadingHTTPServer(("127.0.0.1", 0), partial(QuietHandler, directory=folder))
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def state_is(*states):
    return " || ".join(f"document.documentElement.dataset.oyun === {json.dumps(s)}" for s in states)


def native_frame(args, ms, folder):
    """The native gles3 frame at `ms` in `folder`, from oyun-capture --renderer gles3 --frame.
    (picture path, error or None)"""
    path = os.path.join(folder, f"{ms}-native.png")
    command = [args.reference, "--renderer", "gles3", "--data", args.data, "--frame", str(ms), "--output", path]
    run = subprocess.run(command, capture_output=True, text=True)
    return path, (run.stderr.strip() or f"status {run.returncode}") if run.returncode != 0 else None


def check_likeness(page_dir, args):
    failures = []
    server = Server(page_dir)
    work = tempfile.mkdtemp(prefix="oyun-web-likeness-")
    try:
        with Browser() as browser:
            page = browser.open_page(1024, 768)
            for ms in MOMENTS:
                reference, error = native_frame(args, ms, work)
                if error:
                    failures.append(f"{ms} ms: the native frame failed: {error}")
                    continue
                page.navigate(f"{server.url}index.html?frame={ms}")
                page.wait_for(state_is("drawn", "failed"), 120)
                if page.evaluate("document.documentElement.dataset.oyun") != "drawn":
                    failures.append(f"{ms} ms: the page did not draw: {page.errors()}")
                    continue
                shot = os.path.join(work, f"{ms}.png")
                with open(shot, "wb") as file:
                    file.write(page.screenshot())
                db = images.psnr(images.read_picture(shot), images.read_picture(reference))
                print(f"likeness at {ms / 1000:g} s: {db:.1f} dB PSNR", flush=True)
                if db < LIKENESS_DB:
                    failures.append(f"{ms} ms: {db:.1f} dB, under {LIKENESS_DB} (pictures kept in {work})")
                errors = page.errors()
                if errors:
                    failures.append(f"{ms} ms: console errors {errors}")
                page.console.clear()
                page.exceptions.clear()
    finally:
        server.close()
    if not failures:
        subprocess.run(["rm", "-rf", work], check=False)
    return failures


def check_playback(page_dir, args):
    failures = []
    server = Server(page_dir)
    try:
        with Browser() as browser:
            page = browser.open_page(1024, 768)
            page.navigate(server.url + "index.html")
            page.wait_for(state_is("ready", "failed"), 60)
            page.click("#play")
            page.wait_for(state_is("playing", "failed", "ended"), 30)
            if page.evaluate("document.documentElement.dataset.oyun") != "playing":
                return [f"Play did not start the show: {page.errors()}"]
            first = page.evaluate("window.oyunSync.lastShowMs")
            time.sleep(5.0)
            # A software GPU may take seconds over a tower frame: a few frames are waited for.
            page.wait_for("window.oyunSync.frames >= 3", 30)
            sync = page.evaluate("window.oyunSync")
            context = page.evaluate("Module.oyunAudioContext && Module.oyunAudioContext.state")
            print(f"after 5 s: audio context {context}, show clock {sync['lastShowMs']} ms at the last of "
                  f"{sync['frames']} frames, drift from the sound {sync['minDrift']:.1f} to {sync['maxDrift']:.1f} ms",
                  flush=True)
            if context != "running":
                failures.append(f"the audio context is {context}, not running")
            # However slow the frames, each shows the moment of the sound heard.
            if sync["lastShowMs"] - first < 2500:
                failures.append(f"the show's clock moved only {sync['lastShowMs'] - first} ms in 5 s")
            if sync["frames"] < 3:
                failures.append(f"only {sync['frames']} frames were measured against the sound")
            elif max(abs(sync["minDrift"]), abs(sync["maxDrift"])) > FRAME_MS:
                failures.append(f"the show's clock left the sound's by {sync['minDrift']:.1f} to "
                                f"{sync['maxDrift']:.1f} ms, more than a frame")
            if page.errors():
                failures.append(f"console errors while playing: {page.errors()}")
            page.key("Escape", "Escape", 27, hold=0.1)
            page.wait_for(state_is("ended", "failed"), 20)
            if not page.evaluate("!document.getElementById('end').hidden && "
                                 "document.getElementById('end').textContent.includes('Play again')"):
                failures.append("Escape did not bring the end screen with \"Play again\"")
            page.click("#again")
            page.wait_for(state_is("playing", "failed", "ended"), 60)
            if page.evaluate("document.documentElement.dataset.oyun") != "playing":
                failures.append(f"\"Play again\" did not start the show again: {page.errors()}")
    finally:
        server.close()
    return failures


def check_missing(flags, needed, page_dir):
    """The page in a browser started with `flags` says that `needed` is missing."""
    server = Server(page_dir)
    try:
        with Browser(extra_flags=flags) as browser:
            page = browser.open_page(1024, 768)
            page.navigate(server.url + "index.html")
            page.wait_for(state_is("failed", "ready"), 30)
            text = page.evaluate("document.getElementById('problem').hidden ? '' : "
                                 "document.getElementById('problem').textContent")
            print(f"with {' '.join(flags)} the page says: {' '.join(text.split())}", flush=True)
            if needed not in text:
                return [f"the page does not say that {needed} is missing"]
            if page.evaluate("!document.getElementById('start').hidden"):
                return ["the Play screen is still shown"]
    finally:
        server.close()
    return []


def check_no_webgl(page_dir, args):
    return check_missing(["--disable-webgl"], "WebGL 2", page_dir)


def check_no_wasm(page_dir, args):
    # Without its JIT, V8 has no WebAssembly.
    return check_missing(["--js-flags=--jitless"], "WebAssembly", page_dir)


def page_files(page_dir):
    with open(os.path.join(page_dir, "files.json"), encoding="utf-8") as file:
        manifest = json.load(file)
    names = ["index.html", "page.css", "page.js", "files.json", manifest["script"]["url"], manifest["wasm"]["url"]]
    return names + [entry["url"] for entry in manifest["data"]]


def check_size(page_dir, args):
    total = 0
    for name in page_files(page_dir):
        with open(os.path.join(page_dir, name), "rb") as file:
            total += len(gzip.compress(file.read(), compresslevel=6))
    print(f"the page's files gzip-compressed: {total} bytes ({total / 1e6:.2f} MB)", flush=True)
    return [] if total <= SIZE_GOAL else [f"{total} bytes compressed, over the {SIZE_GOAL} of the goal"]


CHECKS = {"likeness": check_likeness, "playback": check_playback, "no-webgl": check_no_webgl,
          "no-wasm": check_no_wasm, "size": check_size}


def main():
    parser = argparse.ArgumentParser(description="The web page's checks in headless Chromium.")
    parser.add_argument("page_dir")
    parser.add_argument("check", choices=sorted(CHECKS))
    parser.add_argument("--reference", help="oyun-capture: the native gles3 frames")
    parser.add_argument("--data", help="the show's data folder for the native frames")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.page_dir, "files.json")):
        print(f"web_test: no page in {args.page_dir} (build it with cmake --preset web)", file=sys.stderr)
        return 1
    if args.check == "likeness" and not (args.reference and os.access(args.reference, os.X_OK)):
        print(f"web_test: the native reference program {args.reference} is missing (build the release preset)",
              file=sys.stderr)
        return 1
    try:
        failures = CHECKS[args.check](args.page_dir, args)
    except BrowserError as error:
        failures = [str(error)]
    for failure in failures:
        print(f"web_test {args.check}: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
