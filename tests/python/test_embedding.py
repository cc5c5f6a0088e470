"""The package leaves Python's floating-point behaviour and its signal
handlers alone: the model finds its faults by checks of values, computes in
round-to-nearest without traps whatever the caller set, and gives the
caller's floating-point environment back."""

import ctypes
import io
import os
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import recharge
from conftest import same_bits

FAULTS = dict(P=60.0, ETp=[55.0, 0.0, 55.0], Ps=30.0, ETps=40.0, zr=[60.0, 60.0, -60.0], zgw=200.0,
              soil_class=1, Cs=0.3)  # faults on the worker threads too
STATUSES = ["ok", "M6103 floating-point error: divide by zero", "M6201 pow: DOMAIN error"]


def test_python_arithmetic_after_a_call():
    before = signal.getsignal(signal.SIGFPE)
    assert list(recharge.balance(**FAULTS, threads=2).status) == STATUSES
    assert ctypes.CDLL("libm.so.6").fegetexcept() == 0  # no trap armed
    with pytest.warns(RuntimeWarning, match="divide by zero"):
        assert np.float64(1.0) / 0.0 == np.inf
    assert signal.getsignal(signal.SIGFPE) == before


def test_the_callers_rounding_never_reaches_the_model():
    libm = ctypes.CDLL("libm.so.6")
    FE_UPWARD, FE_TONEAREST = 0x800, 0
    P = np.linspace(40, 110, 1000)
    expected = recharge.balance(P, 55, 30, 40, 60, 200, 1, Cs=0.3, threads=2)
    assert libm.fesetround(FE_UPWARD) == 0
    try:
        upward = recharge.balance(P, 55, 30, 40, 60, 200, 1, Cs=0.3, threads=2)
        assert libm.fegetround() == FE_UPWARD
    finally:
        libm.fesetround(FE_TONEAREST)
    assert same_bits(upward.R, expected.R) and same_bits(upward.ETa, expected.ETa)


RUN = "import recharge; print(recharge.balance(**%r).status[1])\n" % FAULTS
LONG_FAULTS = ("import numpy, recharge\n"
               "P = numpy.where(numpy.arange(200_000) % 7 == 0, 60.0, numpy.linspace(40, 110, 200_000))\n"
               "ETp = numpy.where(numpy.arange(200_000) % 7 == 0, 0.0, 55.0)\n")


@pytest.mark.parametrize("script, returncode, out, err", [
    # Python's handler, set before the import, still gets a SIGFPE sent.
    ("import os, signal\n"
     "signal.signal(signal.SIGFPE, lambda *_: print('handled'))\n" + RUN +
     "os.kill(os.getpid(), signal.SIGFPE)\n",
     0, "M6103 floating-point error: divide by zero\nhandled\n", ""),
    # faulthandler, enabled on another thread while faulting cells run.
    (LONG_FAULTS + "import faulthandler, threading\n"
     "threading.Timer(0.2, faulthandler.enable).start()\n"
     "r = recharge.balance(P, ETp, 30, 40, 60, 200, 1, Cs=0.3, threads=2)\n"
     "print(r.status[0])\n",
     0, "M6103 floating-point error: divide by zero\n", ""),
    # A trap the program armed itself: the model computes without it, the
    # program keeps it, and its own division takes Python's path.
    ("import ctypes; ctypes.CDLL('libm.so.6').feenableexcept(4)\n" + RUN +
     "print(ctypes.CDLL('libm.so.6').fegetexcept())\n"
     "import numpy; numpy.float64(1.0) / 0.0\n",
     -signal.SIGFPE, "M6103 floating-point error: divide by zero\n4\n", ""),
])
def test_signals_in_a_python_process(script, returncode, out, err):
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                         env=os.environ, timeout=120)
    assert (run.returncode, run.stdout) == (returncode, out), run.stderr
    assert err in run.stderr and "run-time error" not in run.stderr


def test_fork_while_another_thread_reads_units():
    """A child forked while another thread holds the unit database's lock
    can read units itself: no child hangs."""
    stop = threading.Event()

    def read_units():  # as read_table reads them, without the GIL
        header = ",".join(f"{each.name} [{each.model_unit or '-'}]" for each in recharge.INPUTS)
        while not stop.is_set():
            recharge.read_table(io.BytesIO(header.encode() + b"\n"))

    reader = threading.Thread(target=read_units)
    reader.start()
    hung = 0
    try:
        for _ in range(100):
            child = os.fork()
            if child == 0:
                recharge.column_unit("P", "P", "0.5 m")
                os._exit(0)
            deadline = time.monotonic() + 5
            while os.waitpid(child, os.WNOHANG) == (0, 0):
                if time.monotonic() > deadline:
                    os.kill(child, signal.SIGKILL)
                    os.waitpid(child, 0)
                    hung += 1
                    break
                time.sleep(0.001)
    finally:
        stop.set()
        reader.join()
    assert hung == 0
