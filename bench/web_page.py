#!/usr/bin/env python3
"""Web page benchmark: the page as the wasm preset builds it, in headless
Chromium, against recharge-table built natively, on one core each.

    bench/web_page.py [rows]    (default 100,000, the mix of make_batch.py)

Prints the page's files and their gzipped size, the time from the start of
loading to the first result (the README's soil from the page's address), and
a table of `rows` soils computed in the page's worker, per row, against
`recharge-table -j 1` on the same file, with the peak memory of the browser's
processes. Targets: the files under 500 KB gzipped in all, the first result
under 1 s, a row under 2.5 times native. Exits 1 if one is missed.
"""

import gzip
import pathlib
import subprocess
import sys
import tempfile
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "web"))
import browser_test  # noqa: E402  (the page's server and Chromium)

WEB = ROOT / "build" / "wasm" / "web"
TABLE = ROOT / "build" / "default" / "recharge-table"


def browser_memory(peak, stop):
    """The largest sum of the resident memory of Chromium's processes."""
    while not stop.is_set():
        total = 0
        for status in pathlib.Path("/proc").glob("[0-9]*/status"):
            try:
                text = status.read_text()
            except OSError:
                continue
            if "Name:\tchromium" in text or "Name:\tchrome" in text:
                total += int(text.split("VmRSS:")[1].split()[0]) if "VmRSS:" in text else 0
        peak[0] = max(peak[0], total)
        time.sleep(0.2)


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    sizes = {path.name: len(gzip.compress(path.read_bytes(), 9)) for path in WEB.iterdir()}
    total = sum(sizes.values())
    for name, size in sorted(sizes.items()):
        print(f"  {name:24} {size / 1000:7.1f} KB gzipped")
    print(f"page files: {total / 1000:.1f} KB gzipped in all (target < 500)")

    with tempfile.TemporaryDirectory() as folder:
        data = pathlib.Path(folder)
        subprocess.run([sys.executable, ROOT / "bench" / "make_batch.py", str(rows), "mixed",
                        data / "batch"], check=True, stdout=subprocess.DEVNULL)
        native = []
        for _ in range(3):
            begun = time.perf_counter()
            subprocess.run([TABLE, "-j", "1", "-q", "-o", data / "native.csv", data / "batch.csv"])
            native.append(time.perf_counter() - begun)
        peak, stop = [0], threading.Event()
        watcher = threading.Thread(target=browser_memory, args=(peak, stop))
        watcher.start()
        args = type("Args", (), {"web": WEB, "chromium": "chromium", "timeout": 1800})
        result = browser_test.run_page(args, "speed", data)
        stop.set()
        watcher.join()
    if result.get("error"):
        print(result["error"])
        return 1
    page_row = result["table_ms"] * 1000 / rows
    native_row = min(native) * 1e6 / rows
    ratio = page_row / native_row
    print(f"first result: {result['first_result_ms']} ms after the page began loading "
          f"(target < 1000)")
    print(f"{rows} rows: {result['table_ms'] / 1000:.2f} s in the page, {page_row:.1f} us a row; "
          f"recharge-table -j 1 {native_row:.1f} us a row: {ratio:.2f} times (target < 2.5)")
    print(f"browser's peak memory: {peak[0] / 1000:.0f} MB")
    missed = total >= 500000 or result["first_result_ms"] >= 1000 or ratio >= 2.5
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
