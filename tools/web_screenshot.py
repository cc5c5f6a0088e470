#!/usr/bin/env python3
"""Remakes the README's screenshot of the web page with headless Chromium.

    /usr/bin/python3 tools/web_screenshot.py [WEB]

run from anywhere after `cmake --workflow --preset wasm` (WEB, the page's
folder, defaults to build/wasm/web). It serves the folder on a free port of
127.0.0.1, opens the page with the README's soil in its address (class 1,
Ss, P 600 mm/a, ETp 550 mm/a, results in mm), lets it compute and draw, and
writes docs/figures/web_page.png (1000 x 1700).
"""

import http.server
import pathlib
import subprocess
import sys
import tempfile
import threading
from functools import partial

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOIL = ("cs=given&P=600&P_unit=mm%2Fa&ETp=550&ETp_unit=mm%2Fa&Ps=300&Ps_unit=mm&ETps=400"
        "&ETps_unit=mm&Cs=0.3&zr=60&zr_unit=cm&zgw=2&zgw_unit=m&class=1&anaerobiosis=0"
        "&output_units=mm")


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


def main():
    web = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "wasm" / "web"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), partial(Quiet, directory=str(web)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    output = ROOT / "docs" / "figures" / "web_page.png"
    address = f"http://127.0.0.1:{server.server_address[1]}/index.html?{SOIL}"
    with tempfile.TemporaryDirectory() as profile:
        # Virtual time runs the page's loading, compiling and computing to
        # their end before the picture is taken.
        subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                        "--hide-scrollbars", "--no-first-run", "--disable-background-networking",
                        "--disable-component-update", "--disable-sync",
                        f"--user-data-dir={profile}", "--window-size=1000,1700",
                        "--virtual-time-budget=10000", f"--screenshot={output}", address],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    server.shutdown()
    print(output)


if __name__ == "__main__":
    main()
