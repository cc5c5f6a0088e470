#!/usr/bin/env python3
"""Writes a deterministic batch of soils for recharge.

    make_batch.py N KIND PREFIX

writes PREFIX.in, the answers to the dialogue for N soils, PREFIX.soils,
the same soils described for bagrov_solver_benchmark: one line per case,
"case P ETp cs Cs" or "case P ETp months r4 e4 ... r9 e9", and one line per
soil, "soil zr zgw class anaerobiosis", followed for class 0 by theta_r
theta_s alpha n p1 p2, and PREFIX.csv, the same soils as a table for
recharge-table, one row each. All three carry the very same number texts.

KIND "mixed" is a realistic mix: cases of humid climate (0.9 <= P/ETp <= 1.6)
whose soils mostly take the Newton path, some of them the nB >= 9.5 shortcut
because the groundwater is shallow; cases of very humid climate (P >= 2 ETp,
the shortcut); and cases of dry climate (P * 1.15 < ETp) whose groundwater is
at most 50 cm below the root zone, so that every table class has qmax > 0.025
cm/d, and own parameters (p1 >= 200, p2 >= -2.2) more than 0.01 cm/d: the
hydropedotransfer method is certain.

KIND "shortcut" draws exactly the same cases and soils and then sets every P
to 2.4 ETp: every soil takes the Bagrov method and none iterates.

Nothing can end the run early: below P/ETp = 1.75 every coefficient under 9.5
converges, and own parameters keep theta_s - theta_r > 0.05, n > 1, alpha > 0.
"""

import random
import sys

def number(low, high, decimals):
    return round(random.uniform(low, high), decimals)


def climate(kind):
    """P and ETp of a new case of the given kind of climate."""
    if kind == "humid":
        etp = number(45, 70, 1)
        return round(etp * random.uniform(0.9, 1.6), 1), etp
    if kind == "very humid":
        etp = number(40, 60, 1)
        return round(etp * random.uniform(2.05, 2.8), 1), etp
    etp = number(55, 75, 1)
    return round(etp * random.uniform(0.5, 0.82), 1), etp


def main():
    left, batch_kind, prefix = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    random.seed(20240611)
    answers, soils = [], []
    table = ["id,P,ETp,Ps,ETps,Cs," + ",".join(f"rain{m}" for m in range(4, 10)) + "," +
             ",".join(f"etp{m}" for m in range(4, 10)) +
             ",zr,zgw,class,theta_r,theta_s,alpha,n,p1,p2,anaerobiosis"]
    while left > 0:
        kind = random.choices(["humid", "very humid", "dry"], [75, 10, 15])[0]
        P, ETp = climate(kind)
        if batch_kind == "shortcut":
            P = round(2.4 * ETp, 1)
        bagrov = batch_kind == "shortcut" or kind != "dry"
        Ps, ETps = f"{number(0.4, 0.6, 2) * P:.1f}", f"{number(0.7, 0.8, 2) * ETp:.1f}"
        answers += [f"{P} {ETp}", f"{Ps} {ETps}"]
        if random.random() < 0.7:
            Cs = str(number(0.05, 0.6, 3))
            answers += ["1", Cs]
            soils.append(f"case {P} {ETp} cs {Cs}")
            climate_cells = [str(P), str(ETp), Ps, ETps, Cs] + [""] * 12
        else:
            months = [f"{number(3, 12, 1)} {number(3, 14, 1)}" for _ in range(6)]
            answers += ["0"] + months
            soils.append(f"case {P} {ETp} months {' '.join(months)}")
            pairs = [m.split() for m in months]
            climate_cells = ([str(P), str(ETp), Ps, ETps, ""] + [r for r, _ in pairs] +
                             [e for _, e in pairs])
        in_case = min(left, random.randint(1, 80))
        left -= in_case
        for i in range(in_case):
            zr = random.randrange(30, 125, 5)
            if kind == "dry":
                zgw = zr + random.randint(2, 50)
            elif random.random() < 0.1:
                zgw = zr + random.randint(-20, 1)  # qmax 1 cm/d: nB is 10
            else:
                zgw = zr + random.randint(150, 900)
            soil_class = random.randint(1, 34) if random.random() < 0.9 else 0
            anaerobiosis = int(random.random() < 0.2)
            answers += [f"{zr} {zgw}", str(soil_class)]
            line = f"soil {zr} {zgw} {soil_class} {anaerobiosis}"
            own_cells = [""] * 6
            if soil_class == 0:
                own = [f"{number(0, 0.1, 3)} {number(0.35, 0.5, 3)}",
                       f"{number(0.01, 0.3, 4)} {number(1.05, 1.5, 3)}",
                       f"{number(200, 3000, 1)} {number(-2.2, -1.6, 3)}"]
                answers += own
                line += " " + " ".join(own)
                own_cells = " ".join(own).split()
            soils.append(line)
            table.append(",".join([str(len(table))] + climate_cells +
                                  [str(zr), str(zgw), str(soil_class)] + own_cells +
                                  [str(anaerobiosis)]))
            if bagrov:
                answers.append(str(anaerobiosis))
            answers.append("1" if i + 1 < in_case else "0")  # next soil, same climate?
        answers.append("1" if left > 0 else "0")  # next case?
    with open(prefix + ".in", "w") as f:
        f.write("\n".join(answers) + "\n")
    with open(prefix + ".soils", "w") as f:
        f.write("\n".join(soils) + "\n")
    with open(prefix + ".csv", "w") as f:
        f.write("\n".join(table) + "\n")


if __name__ == "__main__":
    main()
