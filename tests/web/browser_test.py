#!/usr/bin/env python3
"""The web page in headless Chromium, one case per run, against recharge-table
and recharge built natively and against the dialogue's transcripts.

    browser_test.py CASE --web DIR --table PROGRAM --chromium PATH

serves DIR (the page as the wasm build writes it) at / and this folder at
/test/, opens /test/page_test.html?case=CASE, which drives the page in a
frame (page_test.js) and posts what it saw to /result, and checks that:

  soil      the form on the README's example shows recharge-table's cells
            for the same soil (ETa 48.79 cm, R 11.21 cm), the curve and a
            link that gives the same results again
  table     a random table of 2,000 rows (bench/make_batch.py, zgw in m)
            downloads byte for byte as recharge-table writes it in mm
  dialogue  every transcript of tests/app/transcripts gives its bytes and
            exit status in the dialogue panel, and answers typed one by one
            show each question as it is asked
  error     a form with a refused text shows the input error of its status,
            and a table whose header names a refused unit shows recharge-
            table's message, byte for byte
  cancel    a table of 100,000 rows shows its progress, keeps the page
            answering, and is cancelled: no results, the form still works

Exit 0 when every check holds, 1 with the differences, 77 (skipped) with a
message when Chromium or the built page is missing.
"""

import argparse
import base64
import http.server
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
SKIP = 77


def transcript_parts(path):
    """(stdin, stdout, stderr, status) of a transcript, as the native
    transcript test reads it: output lines end in CR LF, input lines in LF."""
    stdin, out = [], {"stdout": [], "stderr": []}
    section, final_line_feed, status = None, True, None
    for line in path.read_text(encoding="latin-1").split("\n"):
        if line.startswith("<<< stdin"):
            section = "stdin"
            final_line_feed = "without final line feed" not in line
        elif line in (">>> stdout", ">>> stderr"):
            section = line[4:]
        elif line.startswith(">>> exit "):
            status, section = int(line[9:]), None
        elif section == "stdin":
            for mark, char in (("<TAB>", "\t"), ("<CR>", "\r"), ("<CTRL-Z>", "\x1a")):
                line = line.replace(mark, char)
            stdin.append(line + "\n")
        elif section is not None:
            out[section].append(line + "\r\n")
    text = "".join(stdin)
    if not final_line_feed:
        text = text[:-1]
    return text, "".join(out["stdout"]), "".join(out["stderr"]), status


class Server(http.server.ThreadingHTTPServer):
    def __init__(self, web, data):
        super().__init__(("127.0.0.1", 0), Handler)
        self.roots = {"/test/": HERE, "/data/": data, "/": web}
        self.result = None
        self.done = threading.Event()


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def translate_path(self, path):
        path = path.split("?", 1)[0]
        for prefix, root in self.server.roots.items():
            if path.startswith(prefix):
                return str(pathlib.Path(root) / path[len(prefix):])
        return str(self.server.roots["/"])

    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        self.server.result = json.loads(body)
        self.send_response(204)
        self.end_headers()
        self.server.done.set()

    def log_message(self, *args):
        pass


def run_page(args, case, data):
    server = Server(args.web, data)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    address = f"http://127.0.0.1:{server.server_address[1]}/test/page_test.html?case={case}"
    with tempfile.TemporaryDirectory() as profile:
        browser = subprocess.Popen(
            [args.chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", f"--user-data-dir={profile}", address],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            if not server.done.wait(args.timeout):
                return {"error": f"no result within {args.timeout} s"}
        finally:
            browser.kill()
            browser.wait()
            server.shutdown()
    return server.result


def native(program, arguments, cwd, stdin=b""):
    run = subprocess.run([program, *arguments], cwd=cwd, input=stdin, capture_output=True)
    return run.returncode, run.stdout, run.stderr


def check_soil(args, result, data, problems):
    soil = "P,ETp,Ps,ETps,Cs,zr,zgw,class,anaerobiosis\n60,55,30,40,0.3,60,200,1,0\n"
    (data / "example.csv").write_text(soil)
    _, _, _ = native(args.table, ["-q", "--output-units", "cm", "-o", "example.out.csv",
                                  "example.csv"], data)
    lines = (data / "example.out.csv").read_text().splitlines()
    expected = dict(zip([name.split(" [")[0] for name in lines[0].split(",")],
                        lines[1].split(",")))
    for name, value in result["cells"].items():
        if expected.get(name) != value:
            problems.append(f"{name}: the page shows {value!r}, recharge-table {expected.get(name)!r}")
    for name in ("ETa", "R"):
        problems += [] if f"{float(expected[name]):.2f}" in ("48.79", "11.21") else [
            f"{name} {expected[name]} is not the README's"]
    if result["cells"] != result["linked"]:
        problems.append(f"the link gives {result['linked']}, not {result['cells']}")
    if result["curve_points"] < 100 or not result["point"]:
        problems.append(f"the curve has {result['curve_points']} points, its soil {result['point']}")


def check_table(args, result, data, problems):
    code, _, err = native(args.table, ["--output-units", "mm", "-o",
                                       "batch.out.csv", "batch.csv"], data)
    expected = (data / "batch.out.csv").read_bytes()
    got = base64.b64decode(result["output"])
    if got != expected:
        lines = zip(got.split(b"\n"), expected.split(b"\n"))
        first = next((i for i, (a, b) in enumerate(lines) if a != b), None)
        problems.append(f"the download differs from recharge-table's ({len(got)} and "
                        f"{len(expected)} bytes; first at line {first})")
    if result["messages"] != err.decode().strip():
        problems.append(f"the page says {result['messages']!r}, recharge-table {err.decode()!r}")
    if result["rows"] != 2000 or code != 0:
        problems.append(f"{result['rows']} rows, recharge-table's status {code}")


def check_dialogue(args, result, data, problems):
    for name, run in result["transcripts"].items():
        _, stdout, stderr, status = transcript_parts(HERE.parent / "app" / "transcripts" / name)
        got = (base64.b64decode(run["stdout"]).decode("latin-1"),
               base64.b64decode(run["stderr"]).decode("latin-1"), run["status"])
        if got != (stdout, stderr, status):
            problems.append(f"{name}: the panel's run differs from the transcript")
    if len(result["transcripts"]) != len(list((HERE.parent / "app" / "transcripts").glob("*.txt"))):
        problems.append(f"only {len(result['transcripts'])} transcripts ran")
    for asked, expected in result["typed"]:
        if not asked.rstrip().endswith(expected):
            problems.append(f"after typing, the panel ends {asked[-80:]!r}, not {expected!r}")


def check_error(args, result, data, problems):
    if result["status"] != 'status: input error: line 2: P: "6o0" is not a number':
        problems.append(f"the form shows {result['status']!r}")
    _, _, err = native(args.table, ["-o", "bad.out.csv", "bad.csv"], data)
    if result["messages"] != err.decode().strip():
        problems.append(f"the page says {result['messages']!r}, recharge-table {err.decode()!r}")


def check_cancel(args, result, data, problems):
    if not result["progress"].endswith("s left"):
        problems.append(f"progress shown: {result['progress']!r}")
    if result["longest_pause_ms"] > 250:
        problems.append(f"the page did not answer for {result['longest_pause_ms']} ms")
    if result["messages"] != "Cancelled." or result["download"]:
        problems.append(f"after cancel: {result['messages']!r}, download {result['download']}")
    if result["after"] != "status: ok":
        problems.append(f"the form after cancelling shows {result['after']!r}")


def prepare(case, data):
    """The files a case's page reads from /data/."""
    if case in ("table", "cancel"):
        rows = "2000" if case == "table" else "100000"
        subprocess.run([sys.executable, ROOT / "bench" / "make_batch.py", rows, "mixed",
                        data / "batch"], check=True, stdout=subprocess.DEVNULL)
        # Units in the header and out: zgw in m (200 m: deep groundwater).
        text = (data / "batch.csv").read_text()
        (data / "batch.csv").write_text(text.replace(",zgw,", ",zgw [m],", 1))
    if case == "dialogue":
        transcripts = {path.name: transcript_parts(path)[0]
                       for path in sorted((HERE.parent / "app" / "transcripts").glob("*.txt"))}
        (data / "transcripts.json").write_text(json.dumps(transcripts))
    if case == "error":
        (data / "bad.csv").write_text("P,ETp,Ps,ETps,Cs,zr,zgw [1/m],class\n"
                                      "60,55,30,40,0.3,60,2,1\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["soil", "table", "dialogue", "error", "cancel"])
    parser.add_argument("--web", required=True, type=pathlib.Path)
    parser.add_argument("--table", required=True)
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--timeout", type=float, default=300)
    args = parser.parse_args()
    chromium = shutil.which(args.chromium)
    if chromium is None:
        print(f"skipped: {args.chromium} not found (Debian's chromium)")
        return SKIP
    if not (args.web / "index.html").exists() or not os.access(args.table, os.X_OK):
        print(f"skipped: the page ({args.web}) or native recharge-table ({args.table}) "
              "is not built (cmake --workflow --preset default, then wasm)")
        return SKIP
    args.chromium = chromium
    args.table = os.path.abspath(args.table)
    with tempfile.TemporaryDirectory() as folder:
        data = pathlib.Path(folder)
        prepare(args.case, data)
        result = run_page(args, args.case, data)
        problems = []
        if result.get("error"):
            problems.append(f"the page failed: {result['error']}")
        else:
            globals()[f"check_{args.case}"](args, result, data, problems)
    for problem in problems:
        print(problem)
    print(f"{args.case}: {'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
