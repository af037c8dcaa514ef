#!/usr/bin/env python3
"""The web page's figures, measured in headless Chromium (SwiftShader, no GPU): its size as a
server sends it gzip-compressed, the time from navigation to the first frame after Play, the
time the browser takes over one frame beside the same renderer's native time, and (with
--whole-show) how far the show's clock strays from the sound over the whole show.

usage: bench/web_measure.py [--page build-web] [--native build] [--runs 3] [--whole-show]
Play is pressed as soon as the page offers it; "navigation to the first frame" is the page's
own performance.now() (which starts at navigation) when the first frame is shown, less the
wait between the button's appearing and the press.
"""
import argparse
import gzip
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
from browser import Browser  # noqa: E402
from web_test import Server, page_files, state_is  # noqa: E402

TOWER_MS = 5000  # the first part: the tower under the title


def measure_size(page_dir):
    total = 0
    for name in page_files(page_dir):
        with open(os.path.join(page_dir, name), "rb") as file:
            data = file.read()
        packed = len(gzip.compress(data, compresslevel=6))
        total += packed
        print(f"  {name:18} {len(data):9} bytes, {packed:9} compressed")
    print(f"size: {total} bytes compressed ({total / 1e6:.2f} MB)")


def measure_start(server, runs):
    firsts = []
    for run in range(runs):
        with Browser() as browser:
            page = browser.open_page(1024, 768)
            page.navigate(server.url + "index.html")
            page.wait_for(state_is("ready"), 120, poll=0.01)
            page.click("#play")
            page.wait_for("window.oyunTimes.firstFrame !== undefined", 120, poll=0.01)
            times = page.evaluate("window.oyunTimes")
            first = times["firstFrame"] - (times["play"] - times["ready"])
            firsts.append(first)
            print(f"  run {run + 1}: data and music ready {times['loaded']:.0f} ms, Play offered {times['ready']:.0f} ms, "
                  f"first frame {times['firstFrame'] - times['play']:.0f} ms after the press: {first:.0f} ms")
    print(f"start: navigation to the first frame, median {statistics.median(firsts):.0f} ms of {runs}")


def measure_frame(server, native, repeat=5):
    with Browser() as browser:
        page = browser.open_page(1024, 768)
        page.navigate(f"{server.url}index.html?frame={TOWER_MS}&repeat={repeat}")
        page.wait_for(state_is("drawn", "failed"), 300)
        browser_ms = page.evaluate("window.oyunTimes.drawMs")
    run = subprocess.run([os.path.join(native, "bench", "oyun_frame_time"), os.path.join(native, "data"),
                          str(TOWER_MS), str(repeat)],
                         capture_output=True, text=True, env={**os.environ, "SDL_VIDEODRIVER": "offscreen"})
    native_ms = float(run.stdout.split(":")[1]) if run.returncode == 0 else float("nan")
    print(f"tower frame ({TOWER_MS} ms, median of {repeat}): headless Chromium {browser_ms:.0f} ms, "
          f"native gles3 {native_ms:.0f} ms")


def measure_whole_show(server):
    with Browser() as browser:
        page = browser.open_page(1024, 768)
        page.navigate(server.url + "index.html")
        page.wait_for(state_is("ready"), 120)
        page.click("#play")
        page.wait_for(state_is("playing"), 120)
        started = time.monotonic()
        page.wait_for(state_is("ended", "failed"), 400, poll=0.5)
        sync = page.evaluate("window.oyunSync")
        print(f"whole show: {time.monotonic() - started:.1f} s, {sync['frames']} frames measured against the sound, "
              f"drift {sync['minDrift']:.1f} to {sync['maxDrift']:.1f} ms; console errors: {page.errors() or 'none'}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--page", default=os.path.join(HERE, "..", "build-web"))
    parser.add_argument("--native", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--whole-show", action="store_true")
    args = parser.parse_args()
    measure_size(args.page)
    server = Server(args.page)
    try:
        measure_start(server, args.runs)
        measure_frame(server, args.native)
        if args.whole_show:
            measure_whole_show(server)
    finally:
        server.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
