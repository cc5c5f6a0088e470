#!/usr/bin/env python3
"""How far the model's Bagrov solver lies from the exact Bagrov relation.

    PYTHONPATH=build/default/python /usr/bin/python3 tools/bagrov_deviation.py [PNG]

The exact ETa solves P = integral from 0 to ETa of dE / (1 - (E/ETp)^nB)
with no cap on E/ETp and no shortcut; here it is found apart from the model,
by mpmath's tanh-sinh quadrature (mp.quad) and Newton root finder
(mp.findroot) at 32 significant digits, on 96 points of P/ETp from 0.1 to 2
for each nB of COEFFICIENTS (about 8 s on two processes). The model's
solver, recharge.solve_bagrov, is run on the same points with ETp = 50 cm/a
(its tolerance is 0.0001 cm on P, so ETp sets its share of the deviation).
The script prints the largest deviation of ETa/ETp, solver
minus exact, for each nB as a Markdown table, on the Newton path and at the
shortcut ETa = 0.998 ETp (P >= 2 ETp, or nB >= 9.5), and draws the
deviations against P/ETp into PNG (default docs/figures/bagrov_deviation.png
of the repository this script lies in, from any current folder).
Example: for nB = 2 and P = ETp the exact ETa/ETp is tanh(1) = 0.7615941559...
"""

import sys
from concurrent.futures import ProcessPoolExecutor
from pathlib import Path

import matplotlib
import mpmath as mp
import numpy as np

import recharge

COEFFICIENTS = (0.5, 1, 2, 3, 5, 7, 10)
RATIOS = np.linspace(0.1, 2.0, 96)  # P/ETp
ETP = 50.0  # cm/a
DIGITS = 32
FIGURE = Path(__file__).resolve().parents[1] / "docs" / "figures" / "bagrov_deviation.png"


def exact_ratios(nB, ratios):
    """Exact ETa/ETp of the Bagrov relation for each P/ETp of ``ratios``, ascending from 0.

    With x = ETa/ETp and p = P/ETp the relation is p = integral from 0 to x
    of dt / (1 - t^nB). The integral up to each root is the grid's p, so the
    next root solves p_before + integral from x_before to x = p: a short
    quadrature each time. Newton starts from x_before, below the root; the
    integrand is increasing, so its first step lands above the root (below
    1 for nB < 50) and the next ones come down to it.
    """
    mp.mp.dps = DIGITS
    exponent = mp.mpf(nB)

    def integrand(t):
        return 1 / (1 - t**exponent)

    roots = []
    x_before = p_before = mp.mpf(0)
    for p in map(mp.mpf, ratios):
        x = mp.findroot(lambda x: p_before + mp.quad(integrand, [x_before, x]) - p, x_before,
                        df=integrand, solver="newton")
        roots.append(float(x))
        x_before, p_before = x, p
    return np.array(roots)


def is_shortcut(nB, ratios):
    """Where the solver takes ETa = 0.998 ETp without iterating."""
    return (ratios >= 2.0) | (nB >= 9.5)


def deviations():
    """{nB: solver minus exact ETa/ETp on RATIOS}; the exact roots on two processes."""
    with ProcessPoolExecutor(2) as pool:
        exact = pool.map(exact_ratios, COEFFICIENTS, [RATIOS] * len(COEFFICIENTS))
        return {nB: recharge.solve_bagrov(nB, RATIOS * ETP, ETP) / ETP - x
                for nB, x in zip(COEFFICIENTS, exact)}


def largest(deviation, where):
    """The largest deviation by magnitude where ``where`` holds, and its P/ETp, as text."""
    if not where.any():
        return "–"
    i = np.flatnonzero(where)[np.nanargmax(np.abs(deviation[where]))]
    return f"{deviation[i]:+.2e} at {RATIOS[i]:.2f}"


def table(found):
    """Markdown table of the largest deviations of each nB."""
    lines = ["| nB | Newton path: largest deviation at P/ETp "
             "| shortcut 0.998 ETp: largest deviation at P/ETp |", "|---|---|---|"]
    for nB, deviation in found.items():
        shortcut = is_shortcut(nB, RATIOS)
        lines.append(f"| {nB:g} | {largest(deviation, ~shortcut)} "
                     f"| {largest(deviation, shortcut)} |")
    return "\n".join(lines)


def draw(found, path):
    """Draws |solver - exact| against P/ETp, the shortcut as markers, into ``path``."""
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    fig, ax = plt.subplots(figsize=(8, 5), dpi=100, layout="constrained")
    ax.axvspan(1.995, 2.1, color="0.9")
    ax.text(2.05, 2e-9, "shortcut P ≥ 2·ETp", rotation=90, ha="center", va="bottom", fontsize=9)
    for nB, deviation in found.items():
        shortcut = is_shortcut(nB, RATIOS)
        size = np.abs(deviation)
        newton = np.where(shortcut, np.nan, size)
        if nB >= 9.5:
            line, = ax.plot(RATIOS, size, ":", label=f"nB = {nB:g}, shortcut nB ≥ 9.5")
        else:
            line, = ax.plot(RATIOS, newton, label=f"nB = {nB:g}")
            ax.plot(RATIOS[shortcut], size[shortcut], "o", color=line.get_color())
    ax.set_yscale("log")
    ax.set_xlim(0.0, 2.1)
    ax.set_xlabel("P / ETp")
    ax.set_ylabel("|ETa/ETp of the solver − exact ETa/ETp|")
    ax.set_title(f"Model's Bagrov solver against the exact relation (ETp = {ETP:g} cm/a)")
    ax.grid(alpha=0.3, which="both")
    ax.set_ylim(1e-12, 1.0)
    ax.legend(loc="lower center", fontsize=9, ncols=2)
    fig.savefig(path)
    plt.close(fig)


def main():
    found = deviations()
    print(table(found))
    draw(found, sys.argv[1] if len(sys.argv) > 1 else FIGURE)


if __name__ == "__main__":
    main()
