"""recharge.solve_bagrov against the closed forms of the Bagrov relation.

The tolerance is the solver's own: it stops once its integral is within
0.0001 cm of P, and P grows with ETa at least as fast as ETa itself
(dP/dETa = 1 / (1 - (ETa/ETp)^nB) >= 1), so ETa lies within 0.0001 cm of
the exact root; the error of the 200-interval Simpson integral below
P/ETp = 2 is far smaller. The shortcut ETa = 0.998 ETp (P >= 2 ETp) is the
model's, not the closed form's."""

import numpy as np
import pytest

import recharge

ETP = 50.0
RATIOS = np.linspace(0.05, 1.99, 200)  # P/ETp, below the shortcut


@pytest.mark.parametrize("nB, closed", [
    (2, lambda r: np.tanh(r)),
    (1, lambda r: -np.expm1(-r)),
])
def test_closed_forms(nB, closed):
    eta = recharge.solve_bagrov(nB, RATIOS * ETP, ETP)
    np.testing.assert_allclose(eta, ETP * closed(RATIOS), rtol=0, atol=1e-4)


@pytest.mark.parametrize("nB, P, ETp, expected", [
    (2, 100.0, 50.0, float(np.float32(0.998)) * 50.0),  # the shortcut, P >= 2 ETp
    (9.5, 60.0, 50.0, float(np.float32(0.998)) * 50.0),  # the shortcut, nB >= 9.5
    (2, 60.0, 0.0, np.nan),  # a division by zero in the first guess
    (2, -60.0, 50.0, np.nan),  # the square root of a negative P/ETp
    (np.nan, 60.0, 50.0, np.nan),
])
def test_shortcut_and_faults(nB, P, ETp, expected):
    eta = recharge.solve_bagrov(nB, P, ETp)
    assert isinstance(eta, np.float64)
    np.testing.assert_equal(eta, expected)


def test_broadcasts():
    eta = recharge.solve_bagrov(np.array([[1.0], [2.0]]), RATIOS[:5] * ETP, ETP)
    assert eta.shape == (2, 5)
    assert eta[1, 3] == recharge.solve_bagrov(2.0, RATIOS[3] * ETP, ETP)
