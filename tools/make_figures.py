#!/usr/bin/env python3
"""Remakes the committed figures of docs/figures/ from the built package.

    PYTHONPATH=build/default/python /usr/bin/python3 tools/make_figures.py

writes docs/figures/bagrov_curves.png (recharge.plot.bagrov_curves with its
default coefficients) and docs/figures/bagrov_deviation.png (the solver
against the exact relation, tools/bagrov_deviation.py, whose table of the
largest deviations it prints), each 800 x 500 pixels, into the repository
this script lies in, from any current folder; takes about 15 s.
"""

import matplotlib

matplotlib.use("Agg")

import bagrov_deviation  # noqa: E402  (beside this script)
import recharge.plot  # noqa: E402

FIGURES = bagrov_deviation.FIGURE.parent


def main():
    figure = recharge.plot.bagrov_curves().figure
    figure.savefig(FIGURES / "bagrov_curves.png")
    found = bagrov_deviation.deviations()
    print(bagrov_deviation.table(found))
    bagrov_deviation.draw(found, FIGURES / "bagrov_deviation.png")


if __name__ == "__main__":
    main()
