"""recharge.read_table: a CSV table of soils read by recharge-table's own
reader, as a DataFrame for ``balance_frame``."""

import os
from typing import IO, TYPE_CHECKING, Optional, Union

import numpy as np

from . import _core

if TYPE_CHECKING:
    import pandas


class Unreadable(str):
    """A cell that the table's reader could not read as a number: its text as
    it stands, with ``reason`` the row's input error (``zr: "6o" is not a
    number``, ``unterminated quote``). ``balance_frame`` gives its row that
    input error, as recharge-table does."""

    reason: str

    def __new__(cls, text: str, reason: str) -> "Unreadable":
        cell = super().__new__(cls, text)
        cell.reason = reason
        return cell

    def __reduce__(self):
        # Pickled with its reason (a frame to another process, to_pickle).
        return Unreadable, (str(self), self.reason)


def _is_path(source):
    return isinstance(source, (str, bytes, os.PathLike)) and not hasattr(source, "read")


def _name(source):
    """The table's name in messages, as recharge-table gives it: its path, or
    the buffer's."""
    return os.fsdecode(source) if _is_path(source) else "the buffer"


def _table_fd(source):
    """A readable file descriptor of ``source``, the caller's to close."""
    if _is_path(source):
        return os.open(source, os.O_RDONLY | os.O_CLOEXEC)
    data = source.read()
    if isinstance(data, str):
        data = data.encode("utf-8")
    fd = os.memfd_create("recharge-table", os.MFD_CLOEXEC)
    try:
        os.write(fd, data)
        os.lseek(fd, 0, os.SEEK_SET)
    except BaseException:
        os.close(fd)
        raise
    return fd


def read_table(source: Union[str, bytes, "os.PathLike[str]", IO[str], IO[bytes]], *,
               decimal: Optional[str] = None, units: Optional[str] = None,
               output_units: Optional[str] = None) -> "pandas.DataFrame":
    """Read a CSV table of soils exactly as recharge-table reads it.

    The table's own reader: the delimiter found from the header (comma,
    semicolon or tab), the decimal mark (a comma with a semicolon or a tab),
    quotes, a UTF-8 byte-order mark, blanks around names and values, rows
    within 1 MiB. Every number of an input column (named as the table's, case
    aside) is the correctly rounded double of its text; a column whose name
    gives its unit (``P [mm]``), or takes ``units``, is converted to the
    model's unit as the table converts it, by moving the decimal point of the
    text for a power of ten, and named with that unit (``P [cm]``). Other
    columns (``id``, notes) are text as read.

    Parameters
    ----------
    source : str, path-like or file-like
        The table's path, or an open file (text or binary) to read.
    decimal : {"point", "comma"}, optional
        The decimal mark, as recharge-table's ``--decimal``.
    units : str, optional
        The unit of the climate and depth columns whose name gives none, as
        recharge-table's ``--units``.
    output_units : str, optional
        The length of the results, as recharge-table's ``--output-units``:
        kept in the frame's ``attrs``, where ``balance_frame`` finds it.

    Returns
    -------
    pandas.DataFrame
        One row for every row of the table, in order. An input column is
        float64 (NaN for an empty cell), or of objects when it has cells that
        are no number: each such cell is kept as an ``Unreadable`` text whose
        reason ``balance_frame`` gives its row, as the table would; so is
        every input cell of a malformed row (an unterminated quote, too many
        fields). ``balance_frame(read_table(f, ...))`` gives the very numbers
        and statuses of ``recharge-table ... f`` with the same options
        (without the statuses' ``line N:``).

    Raises
    ------
    OSError
        The file cannot be opened or read.
    ValueError
        A table that recharge-table refuses as a whole: no header, a
        malformed header (UTF-16 text), a required column missing or one
        twice, a unit of the wrong kind (in a name, ``units`` or
        ``output_units``).

    Examples
    --------
    >>> import io
    >>> table = "id;P [mm];ETp;Ps;ETps;Cs;zr;zgw;class\\na;605;55;30;40;0,3;6o;200;1\\n"
    >>> frame = read_table(io.StringIO(table))
    >>> frame[["id", "P [cm]", "Cs", "zr"]]
      id  P [cm]   Cs  zr
    0  a    60.5  0.3  6o
    >>> frame["zr"][0].reason
    'zr: "6o" is not a number'
    """
    import pandas as pd

    if decimal not in (None, "point", "comma"):
        raise ValueError(f"decimal: point or comma, not {decimal!r}")
    fd = _table_fd(source)
    try:
        columns = _core.read_table(fd, decimal, _name(source), "" if units is None else str(units),
                                   "" if output_units is None else str(output_units))
    finally:
        os.close(fd)
    data, names = {}, []
    for position, column in enumerate(columns):
        names.append(column[0])
        if len(column) == 2:
            data[position] = np.array(column[1], dtype=object)
            continue
        values, (rows, texts, reasons) = column[1], column[2]
        if rows:
            values = values.astype(object)
            for row, text, reason in zip(rows, texts, reasons):
                values[row] = Unreadable(text, reason)
        data[position] = values
    frame = pd.DataFrame(data)
    frame.columns = names
    if output_units is not None:
        frame.attrs["output_units"] = str(output_units)
    return frame
