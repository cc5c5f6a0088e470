"""The package leaves Python's floating-point behaviour alone: the model's
traps are armed only while it computes, and a SIGFPE that is no fault of the
model takes the action Python gave it."""

import ctypes
import os
import signal
import subprocess
import sys

import numpy as np
import pytest

import recharge

FAULTS = dict(P=60.0, ETp=[55.0, 0.0, 55.0], Ps=30.0, ETps=40.0, zr=[60.0, 60.0, -60.0], zgw=200.0,
              soil_class=1, Cs=0.3)  # faults on the worker threads too


def test_python_arithmetic_after_a_call():
    before = signal.getsignal(signal.SIGFPE)
    statuses = recharge.balance(**FAULTS, threads=2).status_text()
    assert "M6103 floating-point error: divide by zero" in statuses
    assert ctypes.CDLL("libm.so.6").fegetexcept() == 0  # no trap armed
    with pytest.warns(RuntimeWarning, match="divide by zero"):
        assert np.float64(1.0) / 0.0 == np.inf
    assert signal.getsignal(signal.SIGFPE) == before


ARM_DIVISION_TRAP = "import ctypes; ctypes.CDLL('libm.so.6').feenableexcept(4)\n"
RUN = "import recharge; print(recharge.balance(**%r).status_text()[1])\n" % FAULTS


@pytest.mark.parametrize("script, returncode, out, err", [
    # Python's handler, set before the import, still gets a SIGFPE sent.
    ("import os, signal\n"
     "signal.signal(signal.SIGFPE, lambda *_: print('handled'))\n" + RUN +
     "os.kill(os.getpid(), signal.SIGFPE)\n",
     0, "M6103 floating-point error: divide by zero\nhandled\n", ""),
    # faulthandler set after the import stays out of the model's faults.
    ("import faulthandler, recharge; faulthandler.enable()\n" + RUN,
     0, "M6103 floating-point error: divide by zero\n", ""),
    # A trap the program armed itself, outside the model: Python's own path.
    (RUN + ARM_DIVISION_TRAP + "import numpy; numpy.float64(1.0) / 0.0\n",
     -signal.SIGFPE, "M6103 floating-point error: divide by zero\n", ""),
    ("import faulthandler; faulthandler.enable()\n" + RUN + ARM_DIVISION_TRAP +
     "import numpy; numpy.float64(1.0) / 0.0\n",
     -signal.SIGFPE, "M6103 floating-point error: divide by zero\n",
     "Fatal Python error: Floating point exception"),
])
def test_sigfpe_in_a_python_process(script, returncode, out, err):
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                         env=os.environ, timeout=60)
    assert (run.returncode, run.stdout) == (returncode, out), run.stderr
    assert err in run.stderr and "run-time error" not in run.stderr
