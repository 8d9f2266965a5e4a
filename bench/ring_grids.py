"""Two ring x slab grids of energy deposited, ring group by ring group, and the narrow fields
that rest on them.

Python standard library only. Usage:
  ring_grids.py OURS.csv[+OURS2.csv...] REFERENCE_edep_grid.csv
OURS.csv: the grid that `accurate_depth_dose ... grid` prints (several, from different seeds,
are averaged); the reference: an egsnrc_<tag>_edep_grid.csv of ../shared/reference (both in
MeV per photon, rows k,z_lo_cm,z_hi_cm[,density_g_cm3],ring1..ring125). Prints, per depth
range, the ratio of the energies of groups of rings (1, 2, 3, 4, 5-6, 7-10, 11-20, 21-50,
51-125): a transport whose electrons spread too little sideways puts too much into ring 1
and too little into rings 4-10 at every depth. Then the share within 0.6 cm of the axis
(rings 1-3, what a 1 x 1 cm field folds in) and the absolute 1 x 1 and 10 x 10 cm doses at
2.5 cm, folded as the engine folds them.
"""

import csv
import math
import sys

RINGS = 125
GROUPS = [(0, 1), (1, 2), (2, 3), (3, 4), (4, 6), (6, 10), (10, 20), (20, 50), (50, 125)]
DEPTHS_CM = [(0, 1), (1, 2), (2, 3), (3, 4), (4, 5), (5, 7), (7, 9), (9, 11), (11, 12), (12, 13),
             (13, 14), (14, 16), (18, 22)]


def load(path):
    with open(path) as f:
        rows = list(csv.reader(f))
    first = rows[0].index('ring1')
    return [[float(x) for x in r[first:first + RINGS]] for r in rows[1:]]


def mean_of(paths):
    grids = [load(p) for p in paths.split('+')]
    return [[sum(g[k][j] for g in grids) / len(grids) for j in range(RINGS)] for k in range(len(grids[0]))]


def folded(grid, k, side):
    """The engine's fold of slab k into the square field of `side` cm (energy per slab)."""
    h = side / 2
    total = 0.0
    for j in range(min(RINGS, int(side * math.sqrt(2) * 2.5))):
        rho = 0.2 * (j + 1) - 0.1
        q = 1 if h >= rho else (math.pi / 4 - math.atan(math.sqrt(rho * rho - h * h) / h)) / (math.pi / 4)
        total += q * grid[k][j]
    return total


def main():
    ours, theirs = mean_of(sys.argv[1]), load(sys.argv[2])
    print('depth [cm] ' + ' '.join(f'r{a + 1}-{b}'.rjust(8) for a, b in GROUPS))
    for z0, z1 in DEPTHS_CM:
        cells = []
        for a, b in GROUPS:
            o = sum(ours[k][j] for k in range(z0 * 10, z1 * 10) for j in range(a, b))
            t = sum(theirs[k][j] for k in range(z0 * 10, z1 * 10) for j in range(a, b))
            cells.append(f'{o / t:8.3f}')
        print(f'{z0:4d}-{z1:<4d} ' + ' '.join(cells))
    for k0, k1 in [(5, 30), (30, 250)]:
        share = [sum(sum(g[k][:3]) for k in range(k0, k1)) / sum(sum(g[k]) for k in range(k0, k1))
                 for g in (ours, theirs)]
        print(f'share within 0.6 cm, {k0 / 10:g}-{k1 / 10:g} cm: {share[0]:.4f} against {share[1]:.4f}')
    for side in (1, 10):
        at = [(folded(g, 24, side) + folded(g, 25, side)) / 2 for g in (ours, theirs)]
        print(f'{side} x {side} cm at 2.5 cm, per photon: {at[0] / at[1]:.4f} of the reference')


if __name__ == '__main__':
    main()
