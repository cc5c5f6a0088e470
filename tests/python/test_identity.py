"""Every value and status of the package equals what recharge-table writes
for the same soils (conftest.py): the doubles bit for bit, the statuses once
the table's "line N: " is dropped, and a required value with no value is
"no data" on a grid."""

import numpy as np
import pytest

import recharge
from conftest import FIELDS, ROWS, VALUES, grid_statuses, same_bits, status_texts

MONTHS = {"rain": [f"rain{m}" for m in range(4, 10)], "etp": [f"etp{m}" for m in range(4, 10)]}


def check(result, table, statuses):
    for name in VALUES:
        assert same_bits(result[name], table[name]), name
    assert list(result["status"]) == statuses


def of_result(result):
    out = {name: getattr(result, name) for name in VALUES}
    out["status"] = result.status
    return out


@pytest.mark.parametrize("threads", [1, 2])
def test_balance(soils, table, threads):
    own = {k: soils[k] for k in ("theta_r", "theta_s", "alpha", "n", "p1", "p2")}
    result = recharge.balance(
        soils["P"], soils["ETp"], soils["Ps"], soils["ETps"], soils["zr"], soils["zgw"],
        soils["class"], Cs=soils["Cs"], anaerobiosis=soils["anaerobiosis"], threads=threads,
        rain=np.stack([soils[m] for m in MONTHS["rain"]], axis=-1),
        etp=np.stack([soils[m] for m in MONTHS["etp"]], axis=-1), **own)
    check(of_result(result), table, grid_statuses(table["status"]))
    assert list(result.method) == table["method"]
    assert status_texts(result.status_code) == [s.split(": ")[0] if s.startswith("input") else s
                                           for s in grid_statuses(table["status"])]


def test_frame(soils, table):
    pd = pytest.importorskip("pandas")
    frame = pd.DataFrame({"id": [f"soil {i}" for i in range(ROWS)], **soils},
                         index=np.arange(ROWS) * 10)
    out = recharge.balance_frame(frame)
    assert list(out.columns) == ["id", "Cs", "FC", "WP", "Wmax", "qmax", "method", "nB",
                                 "h_an", "g", "ETa", "R", "status"]
    assert out.index.equals(frame.index) and out["id"].equals(frame["id"])
    check(out, table, table["status"])
    assert [m if isinstance(m, str) else "" for m in out["method"]] == table["method"]


def test_frame_of_the_table_read(table):
    pytest.importorskip("pandas")
    out = recharge.balance_frame(recharge.read_table(table["path"]))
    check(out, table, table["status"])


@pytest.mark.parametrize("chunks", [None, {"row": 700}])
def test_dataset(soils, table, chunks):
    xr = pytest.importorskip("xarray")
    if chunks:
        pytest.importorskip("dask")
    ds = xr.Dataset({name: ("row", soils[name]) for name in FIELDS})
    out = recharge.balance_dataset(ds if chunks is None else ds.chunk(chunks))
    assert out.R.chunks == (None if chunks is None else ((700,) * 4 + (200,),))
    out = out.compute()
    check({**out, "status": status_texts(out.status_code.values)}, table,
          [s.split(": ")[0] if s.startswith("input") else s
           for s in grid_statuses(table["status"])])


def test_solve_bagrov_is_the_models_solver(soils, table):
    """On the Bagrov path, ETa of the solver alone is the table's ETa; it is
    NaN where the table says no convergence."""
    bagrov = np.array([m == "bagrov" for m in table["method"]]) & ~np.isnan(table["nB"])
    eta = recharge.solve_bagrov(table["nB"][bagrov], soils["P"][bagrov], soils["ETp"][bagrov])
    assert same_bits(eta, table["ETa"][bagrov])
    assert np.isnan(eta[np.array(table["status"])[bagrov] == "no convergence"]).all()


@pytest.mark.filterwarnings("ignore::DeprecationWarning")  # tornado's, in distributed
def test_dataset_on_a_cluster(soils, table):
    """Chunks computed by two worker processes of a dask.distributed cluster."""
    xr = pytest.importorskip("xarray")
    distributed = pytest.importorskip("distributed")
    ds = xr.Dataset({name: ("row", soils[name]) for name in FIELDS}).chunk({"row": 1000})
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address="127.0.0.1:0") as cluster, \
            distributed.Client(cluster):
        out = recharge.balance_dataset(ds).compute()
    check({**out, "status": status_texts(out.status_code.values)}, table,
          [s.split(": ")[0] if s.startswith("input") else s
           for s in grid_statuses(table["status"])])
