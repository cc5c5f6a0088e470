"""The R package's results against recharge-table's and the Python package's.

    identity.py TABLE TABLE_OUT FRAME_OUT BALANCE_OUT TIMES_OUT

TABLE_OUT is recharge-table's output for TABLE; FRAME_OUT and BALANCE_OUT are
identity.R's (balance_frame(read_table(TABLE)) and balance() on its doubles).
Every number must be the same double and every status the same text:
balance_frame's are the table's, balance()'s those of the Python package's
balance on the doubles its read_table reads.
"""

import csv
import os
import sys

import numpy as np

import recharge

VALUES = [column.name for column in recharge.RESULTS if not column.text]


def rows(path):
    with open(path, newline="", encoding="utf-8") as file:
        return list(csv.DictReader(file))


def same(expected, r_hex):
    """Whether a cell of R (hex or empty) is the double `expected` (None: empty)."""
    return expected is None and r_hex == "" or (
        expected is not None and r_hex != "" and float.fromhex(r_hex).hex() == expected.hex())


def compare(expected, got, label):
    """expected: [{column: float or None, method, status}], got: R's rows."""
    assert len(expected) == len(got), f"{label}: {len(got)} rows, not {len(expected)}"
    cells = 0
    for number, (want, have) in enumerate(zip(expected, got)):
        for name in VALUES:
            assert same(want[name], have[name]), f"{label} row {number + 1} {name}: {have[name]}"
            cells += 1
        assert want["method"] == have["method"], f"{label} row {number + 1} method"
        assert want["status"] == have["status"], f"{label} row {number + 1}: {have['status']}"
    return cells


def main():
    table, table_out, frame_out, balance_out, times_out = sys.argv[1:]
    written = [{**{name: float(row[name]) if row[name] else None for name in VALUES},
                "method": row["method"], "status": row["status"]} for row in rows(table_out)]
    cells = compare(written, rows(frame_out), "balance_frame")
    statuses = {row["status"].split(":")[0] for row in written}
    print(f"balance_frame(read_table()): {len(written)} rows, {cells} cells and "
          f"{len(written)} statuses ({', '.join(sorted(statuses))}) as recharge-table's")
    if os.path.exists(balance_out):
        frame = recharge.read_table(table)
        fields = [name for name in frame.columns if name != "id"]
        result = recharge.balance(**{
            ("soil_class" if name == "class" else name): frame[name].to_numpy()
            for name in fields if not name.startswith(("rain", "etp"))},
            rain=np.stack([frame[f"rain{m}"] for m in range(4, 10)], axis=-1),
            etp=np.stack([frame[f"etp{m}"] for m in range(4, 10)], axis=-1))
        python = [{**{name: (None if np.isnan(getattr(result, name)[i])
                             else float(getattr(result, name)[i])) for name in VALUES},
                   "method": result.method[i], "status": result.status[i]}
                  for i in range(len(frame))]
        cells = compare(python, rows(balance_out), "balance")
        print(f"balance(): {len(python)} rows, {cells} cells and statuses as the Python "
              "package's balance")
    with open(times_out) as file:
        one, default = file.read().split()
    print(f"balance_frame: {one} us a row on 1 thread, {default} on the default threads")


if __name__ == "__main__":
    main()
