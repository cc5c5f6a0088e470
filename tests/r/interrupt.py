"""Ctrl-C stops a long balance() of the R package within a second.

    interrupt.py

Rscript (the package on R_LIBS) starts a call of some 30 seconds; SIGINT a
second into it must end it with R's interrupt within a second.
"""

import signal
import subprocess
import sys
import time

CALL = """
library(recharge)
cat("started\\n")
r <- tryCatch(balance(P = seq(80, 100, length.out = 1e6), ETp = 50, Ps = 30, ETps = 40,
                      Cs = 0.3, zr = 100, zgw = 500, class = 14, threads = 1),
              interrupt = function(e) cat("interrupted\\n"))
"""


def main():
    run = subprocess.Popen(["Rscript", "-e", CALL], stdout=subprocess.PIPE, text=True)
    assert run.stdout.readline() == "started\n"
    time.sleep(1)
    sent = time.monotonic()
    run.send_signal(signal.SIGINT)
    said = run.stdout.readline()
    waited = time.monotonic() - sent
    run.wait(timeout=60)
    if said != "interrupted\n" or waited > 1:
        sys.exit(f"balance() went on {waited:.2f} s after SIGINT: {said!r}")
    print(f"balance() interrupted {waited * 1000:.0f} ms after SIGINT")


if __name__ == "__main__":
    main()
