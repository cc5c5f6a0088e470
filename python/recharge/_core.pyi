# Types of recharge._core, the compiled part of the package (src/python_binding).
from typing import Any, Callable, Optional, Sequence

import numpy as np
import numpy.typing as npt

__version__: str
# (name, description, quantity, model unit, offered units, group, required, month or None)
INPUTS: tuple[tuple[str, str, str, str, tuple[str, ...], str, bool, Optional[int]], ...]
# (name, description, fields April to September)
SERIES: tuple[tuple[str, str, tuple[str, ...]], ...]
STATUS_DESCRIPTION: str
# (name, unit, description, in the results' length unit, a column of text)
RESULT_COLUMNS: tuple[tuple[str, str, str, bool, bool], ...]
METHODS: tuple[str, ...]
STATUSES: tuple[str, ...]
NO_METHOD: int
MAX_THREADS: int
COMMON_UNIT_FIELDS: tuple[str, ...]

_Problems = tuple[npt.NDArray[np.int64], npt.NDArray[np.uint8], npt.NDArray[np.uint8],
                 npt.NDArray[np.float64]]

def available_cpus() -> int: ...
def balance(fields: Sequence[Optional[np.ndarray]], shape: Sequence[int], no_data: bool,
            threads: int, refused: Sequence[Optional[npt.NDArray[np.int32]]],
            units: Sequence[Optional[str]], output_units: Optional[str],
            interrupted: Optional[Callable[..., Any]]
            ) -> tuple[dict[str, np.ndarray], _Problems]: ...
def solve_bagrov(nB: np.ndarray, P: np.ndarray, ETp: np.ndarray, shape: Sequence[int],
                 threads: int) -> npt.NDArray[np.float64]: ...
def problem_texts(kind: npt.NDArray[np.uint8], field: npt.NDArray[np.uint8],
                  value: npt.NDArray[np.float64], reasons: Sequence[str]) -> list[str]: ...
def map_names(names: Sequence[bytes], holder: str, name: str, with_id: bool, common_unit: str
              ) -> tuple[list[Optional[int]], Optional[int], str, str, list[Optional[str]]]: ...
def split_unit(name: str) -> tuple[str, str]: ...
def named_unit(name: str, field: str, given: str, given_name: str) -> Optional[str]: ...
def unit_scale(field: str, unit: str) -> tuple[int, Optional[float]]: ...
def length_scale(unit: str) -> tuple[int, Optional[float]]: ...
def result_units(length: str, year: str) -> tuple[str, ...]: ...
# (name, texts) for a text column; (name, values, (rows, texts, reasons)) for a number column
def read_table(fd: int, decimal: Optional[str], name: str, units: str, output_units: str
               ) -> list[tuple]: ...
def read_cells(field: str, unit: Optional[str], cells: Sequence[object]
               ) -> tuple[npt.NDArray[np.float64], dict[int, str]]: ...
