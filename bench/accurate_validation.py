"""The 10 x 10 cm depth dose of bench/accurate_depth_dose against the reference code's.

Python standard library only. Usage:
  accurate_validation.py OURS.csv [REFERENCE_fields.csv] [--field 10]
OURS.csv: "depth_cm,field_cm,dose" rows (accurate_depth_dose's output, several files of one
energy may be given joined by '+', their doses are averaged). The reference: the
egsnrc_<tag>_fields.csv of ../shared/reference/egsnrc-water. Prints d_max, D20/D10 and, with
a reference, the build-up's largest dose difference (percent of the maximum, 0.5 mm to
d_max), its largest distance to agreement (depth shift at equal dose, from the first bin's
level up to 95 % of the maximum) and the largest difference of 1 cm means beyond d_max.
"""

import csv
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
import depth_dose_analysis  # noqa: E402  (the engine's own d_max and TPR rules)

BIN_CM = 0.1


def read_ours(paths, field):
    curves = []
    for path in paths.split('+'):
        d = {}
        with open(path) as f:
            for row in csv.DictReader(f):
                if float(row['field_cm']) == field:
                    d[int(round(float(row['depth_cm']) / BIN_CM - 0.5))] = float(row['dose'])
        curves.append([d[k] for k in range(300)])
    return [sum(c[k] for c in curves) / len(curves) for k in range(300)]


def read_reference(path, field):
    with open(path) as f:
        return [float(row[f'D_{field}x{field}']) for row in csv.DictReader(f)]


def depth(k):
    return BIN_CM * k + BIN_CM / 2


def maximum(dose):
    """Depth and value of the maximum from a least-squares parabola over the bins within 3 %
    of the 3-bin running mean's peak (at least +-3 bins)."""
    n = len(dose)
    sm = [sum(dose[max(0, i - 1):i + 2]) / len(dose[max(0, i - 1):i + 2]) for i in range(n)]
    k = max(range(200), key=lambda i: sm[i])
    lo = k
    while lo > 0 and sm[lo - 1] >= 0.97 * sm[k]:
        lo -= 1
    hi = k
    while hi < n - 1 and sm[hi + 1] >= 0.97 * sm[k]:
        hi += 1
    half = max(3, min(30, k - lo, hi - k))
    xs = [depth(i) - depth(k) for i in range(max(0, k - half), k + half + 1)]
    ys = dose[max(0, k - half):k + half + 1]
    s = [sum(x ** p for x in xs) for p in range(5)]
    t = [sum(y * x ** p for x, y in zip(xs, ys)) for p in range(3)]
    a = [[s[0], s[1], s[2]], [s[1], s[2], s[3]], [s[2], s[3], s[4]]]
    c = solve3(a, t)
    if c[2] >= 0:
        return depth(k), sm[k]
    xv = -c[1] / (2 * c[2])
    if abs(xv) > xs[-1]:
        return depth(k), sm[k]
    return depth(k) + xv, c[0] + c[1] * xv + c[2] * xv * xv


def solve3(a, b):
    m = [row[:] + [v] for row, v in zip(a, b)]
    for i in range(3):
        p = max(range(i, 3), key=lambda r: abs(m[r][i]))
        m[i], m[p] = m[p], m[i]
        for r in range(3):
            if r != i:
                f = m[r][i] / m[i][i]
                m[r] = [x - f * y for x, y in zip(m[r], m[i])]
    return [m[i][3] / m[i][i] for i in range(3)]


def log_linear_at(dose, k, half=10):
    xs = [depth(i) for i in range(k - half, k + half + 1)]
    ys = [math.log(dose[i]) for i in range(k - half, k + half + 1)]
    xm = sum(xs) / len(xs)
    ym = sum(ys) / len(ys)
    b = sum((x - xm) * (y - ym) for x, y in zip(xs, ys)) / sum((x - xm) ** 2 for x in xs)
    return math.exp(ym + b * (depth(k) - xm))


def d20_d10(dose):
    return log_linear_at(dose, 199) / log_linear_at(dose, 99)


def depth_at_level(dose, level, kmax):
    """The depth where the rising curve first reaches `level` (linear between bins)."""
    if dose[0] >= level:
        return depth(0)
    for k in range(1, kmax + 1):
        if dose[k] >= level:
            f = (level - dose[k - 1]) / (dose[k] - dose[k - 1])
            return depth(k - 1) + f * BIN_CM
    return depth(kmax)


def compare(ours, ref):
    d_o, m_o = maximum(ours)
    d_r, m_r = maximum(ref)
    o = [v / m_o for v in ours]
    r = [v / m_r for v in ref]
    k_dmax = int(d_r / BIN_CM)
    buildup_diff = max(abs(o[k] - r[k]) for k in range(0, k_dmax + 1)) * 100
    kmax_o = int(d_o / BIN_CM)
    levels = [o[0] + (0.95 - o[0]) * i / 20 for i in range(21)]
    dta = max(abs(depth_at_level(o, L, kmax_o) - depth_at_level(r, L, k_dmax)) for L in levels)
    first = int(math.ceil(d_r))
    tail = 0
    for cm in range(first, 25):
        mo = sum(o[cm * 10:cm * 10 + 10])
        mr = sum(r[cm * 10:cm * 10 + 10])
        tail = max(tail, abs(mo / mr - 1) * 100)
    return buildup_diff, dta * 10, tail


def peak_text(dose):
    """d_max as the peak of the 11-bin running mean (the reference summary's and the engine screen's
    first estimate), then the cubic fit of tools/depth_dose_analysis.py."""
    m = depth_dose_analysis.depth_of_maximum([0.0] + dose)
    return f'{m.smoothed_cm:.2f} (fit {m.depth_cm:.2f}) cm'


def read_reference_broad(path):
    """The reference's edep grid summed over its rings: energy per slab per photon [keV]."""
    with open(path) as f:
        return [1000 * sum(float(v) for k, v in row.items() if k.startswith('ring'))
                for row in csv.DictReader(f)]


def compare_broad(ours, ref):
    """The beam as wide as the phantom, in absolute energy per photon: the largest difference
    in the first 3 cm (percent of the reference's maximum, with its sign), the mean and the
    largest depth shift at equal dose on the rise (mm; negative: this dose rises earlier), the
    largest difference of 1 cm means from 3 to 25 cm (%, with its sign)."""
    m = max(ref[:60])
    k_ref = ref.index(m)
    k_ours = ours.index(max(ours[:60]))
    rise = max((ours[k] - ref[k] for k in range(30)), key=abs) / m * 100
    levels = [ref[0] + (0.95 * m - ref[0]) * i / 20 for i in range(21)]
    shifts = [(depth_at_level(ours, L, k_ours) - depth_at_level(ref, L, k_ref)) * 10
              for L in levels]
    tail = max((sum(ours[c * 10:c * 10 + 10]) / sum(ref[c * 10:c * 10 + 10]) - 1
                for c in range(3, 25)), key=abs) * 100
    return rise, sum(shifts) / len(shifts), max(shifts, key=abs), tail


def shift_against(ours, base):
    """A variant against the accurate transport on the same histories, 10 x 10 cm: the
    largest difference in the build-up (% of the maximum, signed), the mean and the largest
    depth shift on the rise (mm, negative: the variant rises earlier), d_max (running-mean
    peak) of both, and the largest difference of 1 cm means beyond d_max (%, signed)."""
    d_b, m_b = maximum(base)
    _, m_o = maximum(ours)
    o = [v / m_o for v in ours]
    b = [v / m_b for v in base]
    k_dmax = int(d_b / BIN_CM)
    rise = max((o[k] - b[k] for k in range(k_dmax + 1)), key=abs) * 100
    levels = [b[0] + (0.95 - b[0]) * i / 20 for i in range(21)]
    shifts = [(depth_at_level(o, L, k_dmax + 10) - depth_at_level(b, L, k_dmax + 10)) * 10
              for L in levels]
    tail = max((sum(o[c * 10:c * 10 + 10]) / sum(b[c * 10:c * 10 + 10]) - 1
                for c in range(int(math.ceil(d_b)), 25)), key=abs) * 100
    return rise, sum(shifts) / len(shifts), max(shifts, key=abs), tail


def main(argv):
    field = 10
    if '--shift' in argv:
        i = argv.index('--shift')
        ours = read_ours(argv[1], 10)
        base = read_ours(argv[i + 1], 10)
        r, mean, worst, t = shift_against(ours, base)
        print(f'build-up {r:+.2f} % of max  rise shift mean {mean:+.2f} mm, largest '
              f'{worst:+.2f} mm  d_max {peak_text(ours)} / {peak_text(base)}  beyond d_max '
              f'{t:+.2f} %')
        return
    if '--broad' in argv:
        i = argv.index('--broad')
        r, mean, worst, t = compare_broad(read_ours(argv[1], 50),
                                          read_reference_broad(argv[i + 1]))
        print(f'broad beam: first 3 cm largest dev {r:+.2f} % of max  rise shift mean '
              f'{mean:+.2f} mm, largest {worst:+.2f} mm  1 cm means 3-25 cm {t:+.2f} %')
        return
    if '--field' in argv:
        i = argv.index('--field')
        field = int(argv[i + 1])
        argv = argv[:i] + argv[i + 2:]
    if '--against' in argv:
        # Two curves of ours (another step size): the largest difference of 1 cm means.
        i = argv.index('--against')
        a = read_ours(argv[1], field)
        b = read_ours(argv[i + 1], field)
        _, ma = maximum(a)
        _, mb = maximum(b)
        dev = max(abs(sum(a[c * 10:c * 10 + 10]) / ma / (sum(b[c * 10:c * 10 + 10]) / mb) - 1)
                  for c in range(25)) * 100
        print(f'largest difference of 1 cm means (0-25 cm): {dev:.2f} %')
        return
    ours = read_ours(argv[1], field)
    line = f'd_max {peak_text(ours)}  D20/D10 {d20_d10(ours):.4f}'
    if len(argv) > 2:
        ref = read_reference(argv[2], field)
        b, dta, tail = compare(ours, ref)
        line += (f'  | reference d_max {peak_text(ref)} D20/D10 {d20_d10(ref):.4f}'
                 f'  | build-up max dev {b:.2f} %  DTA {dta:.2f} mm  beyond d_max {tail:.2f} %')
    print(line)


if __name__ == '__main__':
    main(sys.argv)
