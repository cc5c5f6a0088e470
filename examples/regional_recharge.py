#!/usr/bin/env python3
"""Groundwater recharge of a region from GeoTIFF grids, chunk by chunk on a
local dask.distributed cluster.

    PYTHONPATH=build/default/python /usr/bin/python3 examples/regional_recharge.py [DIR]

Makes a synthetic region of 160 x 120 cells of 100 m in ETRS89 / UTM zone 32N
(EPSG:25832) and writes its inputs to DIR (default: regional_recharge/) as
GeoTIFF files, one a variable, each with its unit as climate and groundwater
data come: P falling from 950 to 450 mm/a and ETp rising from 550 to 670
mm/a from west to east, Ps = 0.55 P and ETps = 0.7 ETp (mm), Cs = 0.3, a root
zone zr of 30 to 90 cm, groundwater zgw at 0.6 m under a valley running north
to south in the dry east (where the soils draw on it: negative recharge) and
down to 10 m on the uplands, and soil classes in patches (class.tif, uint8,
255 for a lake without soil: no data). Every file records its nodata value,
NaN for the float grids, 255 for class.tif. Then it opens them again, masked
(nodata is NaN), as Dask chunks of 40 x 40 cells, computes
recharge.balance_dataset on a cluster of 2 worker processes on 127.0.0.1
(each grid converted from the unit it carries), writes the recharge R (mm/a)
as R.tif with the inputs' CRS and transform and nodata NaN (the lake), and
draws it as R.png with recharge.plot.recharge_map (the lake grey). It prints
the statuses and the mean recharge.
"""

import sys
from pathlib import Path

import numpy as np
import rioxarray
import xarray as xr
from distributed import Client, LocalCluster

import recharge
import recharge.plot

ROWS, COLUMNS, CELL = 120, 160, 100.0  # cells, m
WEST, NORTH = 480000.0, 5760000.0  # m, EPSG:25832
CHUNKS = {"y": 40, "x": 40}


def synthetic_region():
    """The input grids as a Dataset on x and y (cell centres, m)."""
    x = WEST + CELL * (np.arange(COLUMNS) + 0.5)
    y = NORTH - CELL * (np.arange(ROWS) + 0.5)
    east = np.linspace(0.0, 1.0, COLUMNS)[None, :] * np.ones((ROWS, 1))
    south = np.linspace(0.0, 1.0, ROWS)[:, None] * np.ones((1, COLUMNS))
    valley = np.abs(east - 0.85 - 0.08 * np.sin(6.0 * south))  # distance, in widths
    P = 950.0 - 500.0 * east  # mm/a, wet west, dry east
    ETp = 550.0 + 120.0 * east
    patches = np.array([1, 12, 18, 24, 3, 20, 33, 15])
    soil_class = patches[np.minimum(4 * east, 3).astype(int)
                         + 4 * np.minimum(2 * south, 1).astype(int)].astype(np.uint8)
    lake = (east - 0.3) ** 2 + (south - 0.7) ** 2 < 0.01
    soil_class[lake] = 255
    grids = {
        "P": P, "ETp": ETp, "Ps": 0.55 * P, "ETps": 0.7 * ETp,
        "Cs": np.full((ROWS, COLUMNS), 0.3),
        "zr": 30.0 + 60.0 * south,
        "zgw": np.minimum(0.6 + 40.0 * valley, 10.0),
        "class": soil_class,
    }
    units = {"P": "mm/a", "ETp": "mm/a", "Ps": "mm", "ETps": "mm", "Cs": "1", "zr": "cm",
             "zgw": "m", "class": "1"}
    ds = xr.Dataset({name: (("y", "x"), grid, {"units": units[name]})
                     for name, grid in grids.items()}, coords={"x": x, "y": y})
    for name, grid in ds.data_vars.items():
        ds[name] = grid.rio.write_nodata(255 if name == "class" else np.nan)
    return ds.rio.write_crs("EPSG:25832")


def write_inputs(ds, directory):
    for name, grid in ds.data_vars.items():
        grid.rio.to_raster(directory / f"{name}.tif")


def open_inputs(directory, names):
    """The GeoTIFF files as one chunked Dataset; masked: nodata is NaN. Each
    variable keeps its units attribute."""
    grids = {name: rioxarray.open_rasterio(directory / f"{name}.tif", masked=True,
                                           chunks=CHUNKS).squeeze("band", drop=True)
             for name in names}
    return xr.Dataset(grids)


def main(directory):
    directory.mkdir(parents=True, exist_ok=True)
    write_inputs(synthetic_region(), directory)
    inputs = open_inputs(directory, ["P", "ETp", "Ps", "ETps", "Cs", "zr", "zgw", "class"])
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                      dashboard_address="127.0.0.1:0") as cluster, Client(cluster):
        result = recharge.balance_dataset(inputs, output_units="mm").compute()
    result.R.rio.write_nodata(np.nan).rio.to_raster(directory / "R.tif")
    import matplotlib

    matplotlib.use("Agg")
    ax = recharge.plot.recharge_map(result, var="R")
    ax.figure.savefig(directory / "R.png")
    codes, counts = np.unique(result.status_code.values, return_counts=True)
    for code, count in zip(codes, counts):
        print(f"{recharge.STATUSES[code]}: {count} cells")
    print(f"mean recharge {float(result.R.mean()):.1f} {result.R.units}; wrote {directory / 'R.tif'} "
          f"and {directory / 'R.png'}")


if __name__ == "__main__":
    main(Path(sys.argv[1] if len(sys.argv) > 1 else "regional_recharge"))
