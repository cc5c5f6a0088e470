# Types of recharge._core, the compiled part of the package (src/python_binding).
from typing import Optional, Sequence

import numpy as np
import numpy.typing as npt

__version__: str
FIELDS: tuple[str, ...]  # "P", "ETp", ..., "rain4", ..., "anaerobiosis"
MONTH_FIELDS: dict[str, tuple[str, ...]]  # {"rain": ("rain4", ..., "rain9"), "etp": ...}
STATUS_DESCRIPTION: str
# (name, in the results' length unit, description, a column of text)
RESULT_COLUMNS: tuple[tuple[str, bool, str, bool], ...]
METHODS: tuple[str, ...]
STATUSES: tuple[str, ...]
NO_METHOD: int
NO_DATA: int
INPUT_ERROR: int
MAX_THREADS: int
COMMON_UNIT_FIELDS: tuple[str, ...]
DIMENSIONAL_FIELDS: tuple[str, ...]

Problems = tuple[npt.NDArray[np.int64], npt.NDArray[np.uint8], npt.NDArray[np.uint8],
                 npt.NDArray[np.float64]]

def available_cpus() -> int: ...
def balance(fields: Sequence[Optional[np.ndarray]], shape: Sequence[int], no_data: bool,
            threads: int, refused: Sequence[Optional[npt.NDArray[np.int32]]]
            ) -> tuple[dict[str, np.ndarray], Problems]: ...
def solve_bagrov(nB: np.ndarray, P: np.ndarray, ETp: np.ndarray, shape: Sequence[int],
                 threads: int) -> npt.NDArray[np.float64]: ...
def problem_texts(kind: npt.NDArray[np.uint8], field: npt.NDArray[np.uint8],
                  value: npt.NDArray[np.float64], reasons: Sequence[str]) -> list[str]: ...
def map_names(names: Sequence[str], holder: str, name: str, with_id: bool
              ) -> tuple[list[Optional[int]], Optional[int], str, str, list[Optional[str]]]: ...
def unit_scale(field: str, unit: str) -> tuple[int, Optional[float]]: ...
def length_scale(unit: str) -> tuple[int, Optional[float]]: ...
def result_units(length: str, year: str) -> tuple[str, ...]: ...
# (name, texts) for a text column; (name, values, (rows, texts, reasons)) for a number column
def read_table(fd: int, decimal: Optional[str], name: str) -> list[tuple]: ...
def cell_number(field: str, text: str) -> tuple[Optional[float], Optional[str]]: ...
