"""Ctrl-C during a long call: KeyboardInterrupt within about a second, long
before the call would have ended, no thread of the call left running, and
the next call as good as one before.

SIGINT is sent to this process from a timer thread while the call runs on
the Newton path (some 60 us a cell), as Ctrl-C sends it; the call's length
without it is taken from a fiftieth of its cells."""

import os
import signal
import threading
import time

import numpy as np
import pytest

import recharge

SOIL = dict(ETp=55, Ps=30, ETps=40, zr=60, zgw=200, soil_class=1, Cs=0.3)
CALLS = {
    # name: (the call on an array P of precipitations, its cells)
    "balance on 1 thread": (lambda P: recharge.balance(P, **SOIL, threads=1).R, 300_000),
    "balance on 2 threads": (lambda P: recharge.balance(P, **SOIL, threads=2).R, 300_000),
    "solve_bagrov": (lambda P: recharge.solve_bagrov(2.0, P, 55.0),
                     150_000 * recharge._core.available_cpus()),
}


def _threads():
    """The OS threads of this process, the pool's workers among them."""
    return len(os.listdir("/proc/self/task"))


@pytest.mark.parametrize("name", CALLS)
def test_ctrl_c_stops_a_long_call(name):
    call, cells = CALLS[name]
    P = np.linspace(40, 100, cells)
    start = time.perf_counter()
    before = call(P[::50])
    uninterrupted = 50 * (time.perf_counter() - start)
    assert uninterrupted > 3, "too short a call to interrupt"
    threads = _threads()

    timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
    start = time.perf_counter()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        call(P)
    elapsed = time.perf_counter() - start
    timer.join()

    assert elapsed < uninterrupted / 3
    assert _threads() == threads
    np.testing.assert_array_equal(call(P[::50]), before)


@pytest.mark.filterwarnings("ignore:no units attribute")
def test_ctrl_c_stops_the_chunks_of_a_dask_computation():
    """Ctrl-C ends a Dask computation on the main thread; its chunks, each
    seconds long on Dask's threads, stop with it: the process is idle a
    moment later."""
    xr = pytest.importorskip("xarray")
    pytest.importorskip("dask")
    P = np.linspace(40, 100, 200_000)
    ds = xr.Dataset({"P": ("x", P), **{k: v for k, v in SOIL.items() if k != "soil_class"},
                     "class": 1}).chunk({"x": 50_000})
    lazy = recharge.balance_dataset(ds)
    timer = threading.Timer(0.5, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        lazy.compute(scheduler="threads", num_workers=2)
    timer.join()
    time.sleep(1.0)
    start = time.process_time()
    time.sleep(1.0)
    assert time.process_time() - start < 0.3
