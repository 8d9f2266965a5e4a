"""Slab-phantom depth doses of Kestrun against the reference code's, field by field.

Python standard library only. Usage:
  phantom_validation.py RESULT.data[+RESULT2.data...] REFERENCE_fields.csv [--fields 1,10]
RESULT.data: Kestrun result files of one phantom (several, from different seeds, are
averaged). The reference: egsnrc_<tag>_fields.csv of ../shared/reference/egsnrc-slabs. Both
curves are taken relative to their dose at 2.5 cm (the mean of the 2.45 and 2.55 cm bins).
Prints per field the largest difference of 3-bin means from 0.5 to 25 cm (percent of the
dose at 2.5 cm) and the largest distance to agreement at the interfaces (the depth shift at
equal dose, for the bins within 1 cm of a boundary whose 3-bin mean misses by more than 2 %;
0 where none does).
"""

import csv
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
import depth_dose_analysis  # noqa: E402

BIN_CM = 0.1
FIELDS = [1, 2, 3, 4, 5, 6, 8, 10, 15, 20]


def ours(result_files, field):
    index = FIELDS.index(field) + 1
    curves = [depth_dose_analysis.read_result(p).total(index)[1:] for p in result_files.split('+')]
    return [sum(c[k] for c in curves) / len(curves) for k in range(300)]


def reference(path, field):
    with open(path) as f:
        rows = list(csv.DictReader(f))
    density = [float(r['density_g_cm3']) for r in rows]
    return [float(r[f'D_{field}x{field}']) for r in rows], density


def relative(dose):
    at = (dose[24] + dose[25]) / 2
    return [v / at for v in dose]


def mean3(d, k):
    return (d[k - 1] + d[k] + d[k + 1]) / 3


def dta_at(o, r, k):
    """Shortest depth shift [cm] that brings our bin k's dose onto the reference curve
    (linear between bins, searched within 1 cm; 1 cm where none does)."""
    best = 1.0
    for j in range(max(0, k - 10), min(299, k + 10)):
        lo, hi = sorted((r[j], r[j + 1]))
        if lo <= o[k] <= hi:
            f = 0 if hi == lo else (o[k] - r[j]) / (r[j + 1] - r[j])
            best = min(best, abs((j + f) - k) * BIN_CM)
    return best


def main():
    args = sys.argv[1:]
    fields = [1, 10]
    if '--fields' in args:
        i = args.index('--fields')
        fields = [int(x) for x in args[i + 1].split(',')]
        del args[i:i + 2]
    result_files, ref_path = args
    worst = 0
    for field in fields:
        r, density = reference(ref_path, field)
        o = relative(ours(result_files, field))
        r = relative(r)
        diff = max(abs(mean3(o, k) - mean3(r, k)) for k in range(5, 249)) * 100
        bounds = [k for k in range(1, 300) if density[k] != density[k - 1]]
        dta = 0.0
        for b in bounds:
            for k in range(max(1, b - 10), min(299, b + 10)):
                if abs(mean3(o, k) - mean3(r, k)) > 0.02:
                    dta = max(dta, dta_at(o, r, k))
        at = lambda d, z: d[int(z / BIN_CM)]  # noqa: E731
        print(f'{field}x{field}: max |3-bin mean diff| {diff:.2f} % of D(2.5), '
              f'interface DTA {dta * 10:.2f} mm; D(12.95)/D(2.5) {at(o, 12.95):.3f} '
              f'(reference {at(r, 12.95):.3f}), D(14.05) {at(o, 14.05):.3f} '
              f'(reference {at(r, 14.05):.3f})')
        worst = max(worst, diff)
    return 0


if __name__ == '__main__':
    sys.exit(main())
