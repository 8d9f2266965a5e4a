"""One table of the accurate transport against every reference-code case, from the curves of
bench/reference_validation.sh.

Python standard library only. Usage: reference_validation.py OUT
OUT holds water-E-SEED.csv (accurate_depth_dose) and CASE-SEED/r.data (Kestrun --phantom);
the seeds of a case (two from the script, more where added by hand) are averaged. The references are looked for in bench/reference/ (the
cases run for this benchmark) and then in ../shared/reference/ (the first two energies, the
6 MV lung slab). The measures and bounds: water, 10 x 10 cm field, each curve relative to its
own maximum: the largest dose difference from the first bin (0.5 mm) to d_max (2 % of the
maximum), the largest depth shift at equal dose on the rise (1.0 mm), the largest difference of
1 cm means beyond d_max (1 %), D20/D10 (0.003); slabs, 1 x 1 and 10 x 10 cm, both relative to the
dose at 2.5 cm: the largest difference of 3-bin means from 0.5 to 25 cm (2 % of D(2.5 cm)) and the
largest distance to agreement near the interfaces (1.5 mm). The measures are those of
accurate_validation.py and phantom_validation.py, imported from them.
"""

import glob
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import accurate_validation as water  # noqa: E402
import phantom_validation as slabs  # noqa: E402

ROOTS = [os.path.join(HERE, 'reference'), os.path.join(HERE, '..', '..', 'shared', 'reference')]
ENERGIES = ['1.975', '5.975', '9.975', '14.975']
SLABS = [('lung-6MV', 'G1_lung_6MV', 'lung 3-13 cm, 6 MV'),
         ('bone-6MV', 'G2_bone_6MV', 'bone 2-4 cm, 6 MV'),
         ('bone-15MV', 'G3_bone_15MV', 'bone 2-4 cm, 15 MV'),
         ('lung-15MV', 'G4_lung_15MV', 'lung 3-13 cm, 15 MV')]


def find(folder, name):
    for root in ROOTS:
        path = os.path.join(root, folder, name)
        if os.path.exists(path):
            return path
    return None


def find_all(folder, name):
    """Every copy of a reference case: the shared one and runs of the same case made here."""
    return [p for p in (os.path.join(root, folder, name) for root in ROOTS) if os.path.exists(p)]


def histories(fields_path):
    with open(fields_path.replace('_fields.csv', '_runinfo.txt')) as f:
        return int(re.search(r'histories: (\d+)', f.read()).group(1))


def pooled_reference(paths, field):
    """The dose per photon of every run of a case, weighted by its histories: independent runs
    of the reference code with the same settings make one larger reference."""
    n = [histories(p) for p in paths]
    dose = None
    for p, w in zip(paths, n):
        d, density = slabs.reference(p, field)
        dose = [w * v for v in d] if dose is None else [a + w * v for a, v in zip(dose, d)]
    return [v / sum(n) for v in dose], density


def mark(ok):
    return '' if ok else ' **x**'


def water_rows(out):
    print('| Photon energy | d_max here / reference (fit) | D20/D10 here / reference | '
          'build-up: largest difference, 0.05 cm to d_max | build-up: largest depth shift | '
          'beyond d_max: largest difference of 1 cm means | reference |')
    print('|---|---|---|---|---|---|---|')
    for e in ENERGIES:
        runs = sorted(glob.glob(os.path.join(out, f'water-{e}-*.csv')))
        ref_path = find('egsnrc-water', f'egsnrc_E{float(e):06.3f}MeV_fields.csv')
        if not runs or not ref_path:
            print(f'| {e} MeV | {"no run" if not runs else "no reference"} | | | | | |')
            continue
        ours = water.read_ours('+'.join(runs), 10)
        ref = water.read_reference(ref_path, 10)
        b, dta, tail = water.compare(ours, ref)
        r_o, r_r = water.d20_d10(ours), water.d20_d10(ref)
        where = os.path.relpath(os.path.dirname(ref_path), os.path.join(HERE, '..'))
        print(f'| {e} MeV | {water.peak_text(ours)} / {water.peak_text(ref)} | '
              f'{r_o:.4f} / {r_r:.4f} ({r_o - r_r:+.4f}){mark(abs(r_o - r_r) <= 0.003)} | '
              f'{b:.2f} %{mark(b <= 2)} | {dta:.2f} mm{mark(dta <= 1.0)} | '
              f'{tail:.2f} %{mark(tail <= 1)} | `{where}` |')
    print('| bound | | ± 0.003 | 2 % | 1.0 mm | 1 % | |')
    print()
    # All rings in absolute energy per photon: a few times less noise than the 10 x 10 cm
    # field, so a transport fault shows here before it shows above.
    print('| Photon energy, beam as wide as the phantom | first 3 cm: largest difference of 1 mm '
          'slabs (% of the maximum) | rise: mean / largest depth shift at equal dose | '
          '3-25 cm: largest difference of 1 cm means |')
    print('|---|---|---|---|')
    for e in ENERGIES:
        runs = sorted(glob.glob(os.path.join(out, f'water-{e}-*.csv')))
        grid = find('egsnrc-water', f'egsnrc_E{float(e):06.3f}MeV_edep_grid.csv')
        if runs and grid:
            r, mean, worst, t = water.compare_broad(water.read_ours('+'.join(runs), 50),
                                                    water.read_reference_broad(grid))
            print(f'| {e} MeV | {r:+.2f} % | {mean:+.2f} / {worst:+.2f} mm | {t:+.2f} % |')


def slab_measures(result_files, ref_paths, field):
    r, density = pooled_reference(ref_paths, field)
    o = slabs.relative(slabs.ours(result_files, field))
    r = slabs.relative(r)
    diffs = [(abs(slabs.mean3(o, k) - slabs.mean3(r, k)), k) for k in range(5, 249)]
    diff, k_worst = max(diffs)
    bounds = [k for k in range(1, 300) if density[k] != density[k - 1]]
    dta = 0.0
    for b in bounds:
        for k in range(max(1, b - 10), min(299, b + 10)):
            if abs(slabs.mean3(o, k) - slabs.mean3(r, k)) > 0.02:
                dta = max(dta, slabs.dta_at(o, r, k))
    return diff * 100, slabs.BIN_CM * k_worst + slabs.BIN_CM / 2, dta * 10


def slab_rows(out):
    print('| Slab phantom | field | largest difference of 3-bin means, 0.5-25 cm (% of D(2.5 cm)) '
          '| at depth [cm] | interface distance to agreement | reference |')
    print('|---|---|---|---|---|---|')
    for name, tag, text in SLABS:
        runs = sorted(glob.glob(os.path.join(out, f'{name}-*', 'r.data')))
        ref_paths = find_all('egsnrc-slabs', f'egsnrc_{tag}_fields.csv')
        if not runs or not ref_paths:
            print(f'| {text} | | {"no run" if not runs else "no reference"} | | | |')
            continue
        where = ' + '.join(f'`{os.path.relpath(os.path.dirname(p), os.path.join(HERE, ".."))}` '
                           f'({histories(p):.1e})' for p in ref_paths)
        for field in (1, 10):
            diff, z, dta = slab_measures('+'.join(runs), ref_paths, field)
            print(f'| {text} | {field} × {field} | {diff:.2f} %{mark(diff <= 2)} | {z:.2f} | '
                  f'{dta:.2f} mm{mark(dta <= 1.5)} | {where} |')
    print('| bound | | 2 % | | 1.5 mm | |')


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    water_rows(argv[1])
    print()
    slab_rows(argv[1])
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
