#!/usr/bin/env python3
"""Beam-quality validation of the shipped X-ray spectra with the real Kestrun binary.

Reproduces every number and figure of docs/validation.md from scratch (Python standard
library only):

1. configures and builds Kestrun, make_spectra, electron_depth_dose and, where Qt is found,
   Dosavia in a build folder of its own;
2. runs Kestrun on each shipped spectrum (data/*.csv, checked against what make_spectra
   writes now) with N photons and, for the noise, again with 1.01 N, 1.02 N, ... (the
   engine's generator has a fixed seed; another photon total shifts every bin's histories
   to other random numbers);
3. does the same for the thick-target alternative (make_spectra --thick-target), and runs the
   thick target once more under the shipped set's copper;
4. runs the reference beams: monoenergetic photons of 2 to 14 MeV (5.975 MeV has a reference
   value) and the two cobalt-60 lines;
5. runs the broad electron beams of electron_depth_dose;
6. draws the depth-dose figures with `Dosavia --plot` into docs/validation/;
7. prints the tables in Markdown and writes them to <work>/tables.md.

Usage: tools/validate_beams.py [--histories 1.00E+07] [--repeats 2] [--build DIR]
                               [--work DIR] [--figures DIR] [--skip-build] [--jobs 2]
                               [--reuse]
Each 1.00E+07 run takes 20 to 60 s on one core; the default settings run 35 of them.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import depth_dose_analysis as dda  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENERGIES = (4, 6, 10, 15)
# Typical clinical beams (BJR Supplement 25, IAEA TRS-398): TPR20,10 and d_max [cm].
REFERENCE = {4: (0.62, "1.0–1.2", 1.2), 6: (0.67, "1.5", 1.5), 10: (0.73, "2.3–2.5", 2.5),
             15: (0.76, "2.9–3.0", 3.0)}
TPR_TOLERANCE = 0.01
DMAX_TOLERANCE_CM = 0.3
FIELD_10 = 8  # field column of the 10 x 10 cm field
# Figures: every beam at 10 x 10 cm, and the narrowest and widest field at 10 MV.
FIGURE_FIELDS = {4: (8,), 6: (8,), 10: (1, 8, 10), 15: (8,)}


def log(msg):
    print(msg, file=sys.stderr, flush=True)


def build(build_dir, jobs):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release"],
                   check=True, stdout=subprocess.DEVNULL)
    targets = ["Kestrun", "make_spectra", "electron_depth_dose"]
    subprocess.run(["cmake", "--build", build_dir, "-j%d" % jobs, "--target"] + targets, check=True)
    # The picture needs Qt; without it the tables are still complete.
    r = subprocess.run(["cmake", "--build", build_dir, "-j%d" % jobs, "--target", "Dosavia"])
    if r.returncode != 0:
        log("Dosavia could not be built (no Qt?): no figures")


def photon_text(n):
    """The photon total as the conditions file holds it, e.g. 1.00E+07."""
    return "%.2E" % n


def run_kestrun(kestrun, work, spectrum_file, stem, n, reuse=False):
    """Runs one batch in `work` (which holds the data files) and returns the result path,
    named `stem`-<millions>M.data (at most 20 characters, as the conditions file allows).
    With `reuse`, a result file left by an earlier run is taken as it is."""
    name = "%s-%gM.data" % (stem, n / 1e6)
    assert len(name) <= 20, name
    if reuse and os.path.exists(os.path.join(work, name)):
        return os.path.join(work, name)
    with open(os.path.join(work, "Joken.dat"), "w", newline="") as f:
        f.write("%s\r\n%s\r\n%s\r\n" % (spectrum_file, name, photon_text(n)))
    with open(os.path.join(work, name + ".console"), "w") as console:
        subprocess.run([kestrun], cwd=work, stdin=subprocess.DEVNULL, stdout=console,
                       stderr=subprocess.STDOUT, check=True)
    return os.path.join(work, name)


def prepare_work(work, spectra_dir, spectrum_names):
    os.makedirs(work, exist_ok=True)
    for f in ("water20.dat", "ELDAT.dat"):
        shutil.copy(os.path.join(ROOT, "data", f), work)
    for f in spectrum_names:
        shutil.copy(os.path.join(spectra_dir, f), work)


def mono_spectrum(bins):
    """A spectrum file with equal weights in the given bins (1-based) and 0 elsewhere."""
    return "".join("%6.3f, %9.3E\r\n" % (0.05 * i - 0.025, 1.0 if i in bins else 0.0)
                   for i in range(1, 401))


class Beam:
    """The runs of one spectrum: the N run and the repeats."""

    def __init__(self, paths):
        self.results = [dda.read_result(p) for p in paths]
        self.paths = paths

    def mean_total(self, field):
        """The total dose of a field averaged over the runs. Each run is normalised by its own
        kerma maximum, a constant factor per run, so the shape is that of all runs together."""
        curves = [r.total(field) for r in self.results]
        return [None] + [sum(c[j] for c in curves) / len(curves) for j in range(1, dda.DEPTH_BINS + 1)]

    def quality(self, field=FIELD_10):
        """(TPR bins, TPR fit, d_max) averaged over the runs, and the standard deviation of
        each among the runs (the noise of one run; None with a single run)."""
        rows = []
        for r in self.results:
            d = r.total(field)
            rows.append((dda.tpr_bins(d), dda.tpr_fit(d), dda.depth_of_maximum(d).depth_cm))
        mean = tuple(statistics.mean(col) for col in zip(*rows))
        spread = tuple(statistics.stdev(col) for col in zip(*rows)) if len(rows) > 1 else None
        return mean, spread


def fmt_pm(value, sd, digits):
    if sd is None:
        return "%.*f" % (digits, value)
    return "%.*f ± %.*f" % (digits, value, digits, sd)


def quality_table(title, beams, n):
    lines = ["### %s" % title, "",
             "| Beam | TPR20,10 bins 200/100 | TPR20,10 fitted | reference | d_max [cm] | "
             "reference [cm] | TPR within ±%.2f | d_max within %d mm |" % (TPR_TOLERANCE, round(10 * DMAX_TOLERANCE_CM)),
             "|---|---|---|---|---|---|---|---|"]
    for e in ENERGIES:
        (tb, tf, dm), sd = beams[e].quality()
        ref_tpr, ref_text, ref_upper = REFERENCE[e]
        sd = sd or (None, None, None)
        tpr_ok = abs(tf - ref_tpr) <= TPR_TOLERANCE
        # Pure photons may lie at or beyond the clinical value (no contaminating electrons).
        dmax_ok = dm - ref_upper <= DMAX_TOLERANCE_CM and float(ref_text.split("–")[0]) - dm <= DMAX_TOLERANCE_CM
        lines.append("| %d MV | %s | %s | %.2f | %s | %s | %s | %s (%+.2f) |" % (
            e, fmt_pm(tb, sd[0], 3), fmt_pm(tf, sd[1], 3), ref_tpr, fmt_pm(dm, sd[2], 2),
            ref_text, "yes" if tpr_ok else "no", "yes" if dmax_ok else "no", dm - ref_upper))
    lines.append("")
    lines.append("Mean of the runs with %s photons; ± is the standard deviation among them, the "
                 "noise of one run." % ", ".join(photon_text(n * (1 + 0.01 * k))
                                                 for k in range(len(beams[4].results))))
    return lines


def field_tables(beams):
    sides = dda.FIELD_SIDES_CM
    head = "| Field [cm] | " + " | ".join("%d MV" % e for e in ENERGIES) + " |"
    rule = "|---|" + "---|" * len(ENERGIES)
    dmax = ["### d_max [cm] by field size (total dose, mean curve of the runs)", "", head, rule]
    surf = ["### Dose in bin 1 (0–1 mm) by field size: per maximum primary kerma, as the file "
            "holds it, and as a share of the field's maximum dose", "", head, rule]
    scat = ["### Scatter share of the total dose at d_max and at 10 cm", "", head, rule]
    trends = []
    for i, side in enumerate(sides, start=1):
        cells_d, cells_s, cells_c = [], [], []
        for e in ENERGIES:
            d = beams[e].mean_total(i)
            m = dda.depth_of_maximum(d)
            peak = max(d[1:151])
            jmax = int(m.depth_cm / dda.BIN_CM) + 1
            runs = beams[e].results
            scatter = [None] + [sum(r.scatter[i][j] for r in runs) / len(runs)
                                for j in range(1, dda.DEPTH_BINS + 1)]
            cells_d.append("%.2f" % m.depth_cm)
            cells_s.append("%.3f (%.0f %%)" % (d[1], 100 * d[1] / peak))
            cells_c.append("%.0f %% / %.0f %%" % (100 * scatter[jmax] / d[jmax], 100 * scatter[100] / d[100]))
        dmax.append("| %d × %d | %s |" % (side, side, " | ".join(cells_d)))
        surf.append("| %d × %d | %s |" % (side, side, " | ".join(cells_s)))
        scat.append("| %d × %d | %s |" % (side, side, " | ".join(cells_c)))
    for e in ENERGIES:
        r = beams[e].results[0]
        d_list = [dda.depth_of_maximum(beams[e].mean_total(i)).depth_cm for i in range(1, 11)]
        s_list = [r.scatter[i][100] / r.total(i)[100] for i in range(1, 11)]
        trends.append("- %d MV: d_max 1 × 1 %.2f cm, 10 × 10 %.2f cm (%s); scatter share at "
                      "10 cm rises monotonically with the field: %s" % (
                          e, d_list[0], d_list[7],
                          "narrow field shallower" if d_list[0] < d_list[7] else "NOT shallower",
                          "yes" if all(b > a for a, b in zip(s_list, s_list[1:])) else "NO"))
    return dmax + [""] + surf + [""] + scat + ["", "Trends:", ""] + trends


# Monoenergetic beams: spectrum bin and energy [MeV]. Bin 120 (5.975 MeV) has a reference
# from a general-purpose transport code; the series shows how d_max follows the energy.
MONO_BINS = ((40, 1.975), (80, 3.975), (120, 5.975), (160, 7.975), (200, 9.975), (280, 13.975))


def reference_table(mono, cobalt):
    lines = ["### Reference beams (10 × 10 cm)", "",
             "| Beam | D(20)/D(10) bins | fitted | d_max [cm] | reference |", "|---|---|---|---|---|"]
    for label, beam, ref in (("5.975 MeV photons", mono[120], "D(20)/D(10) ≈ 0.80, d_max ≈ 2.8 cm "
                              "(general-purpose transport code)"),
                             ("cobalt-60 lines 1.175 + 1.325 MeV", cobalt,
                              "TPR20,10 0.572, d_max 0.5 cm (measured ⁶⁰Co units)")):
        (tb, tf, dm), _ = beam.quality()
        lines.append("| %s | %.3f | %.3f | %.2f | %s |" % (label, tb, tf, dm, ref))
    lines += ["", "### Monoenergetic photons: d_max [cm] by field size", "",
              "| Energy [MeV] | 1 × 1 | 3 × 3 | 10 × 10 | 20 × 20 | D(20)/D(10), 10 × 10 |",
              "|---|---|---|---|---|---|"]
    for b, e in MONO_BINS:
        cells = ["%.2f" % dda.depth_of_maximum(mono[b].results[0].total(f)).depth_cm for f in (1, 3, 8, 10)]
        lines.append("| %.3f | %s | %.3f |" % (e, " | ".join(cells), mono[b].quality()[0][1]))
    return lines


def write_spectra(make_spectra, sources, folder, options):
    """Runs make_spectra into `folder`; returns {energy: (folder, copper [cm], on-axis
    transmission at the mean energy)} from its report."""
    os.makedirs(folder, exist_ok=True)
    out = subprocess.run([make_spectra, sources, folder] + options, check=True, capture_output=True,
                         text=True).stdout
    report = {}
    for line in out.splitlines():
        # "<folder>/10MV.csv: mean energy 2.935 MeV, copper 2.80 cm, on-axis transmission 0.372 ..."
        name = os.path.basename(line.split(":")[0])
        words = line.split()
        report[int(name.split("MV")[0])] = (folder, float(words[words.index("copper") + 1]),
                                            float(words[words.index("transmission") + 1]))
    return report


def spectrum_table(spectra):
    """Mean energy, the share of photons and of energy fluence in the top 30 % of each
    spectrum (where the thin and thick targets differ), and the filtration."""
    lines = ["### Spectra: mean energy, the top end and the filtration", "",
             "| Beam | set | mean [MeV] | photons above 0.7 T0 | energy fluence above 0.7 T0 | "
             "copper [cm] | on-axis transmission at the mean energy |",
             "|---|---|---|---|---|---|---|"]
    for e in ENERGIES:
        for label, report in spectra.items():
            folder, copper, transmission = report[e]
            with open(os.path.join(folder, "%dMV.csv" % e)) as f:
                w = [float(line.split(",")[1]) for line in f if line.strip()]
            k = [0.05 * i - 0.025 for i in range(1, len(w) + 1)]
            top = [i for i in range(len(w)) if k[i] > 0.7 * e]
            n, ef = sum(w), sum(wi * ki for wi, ki in zip(w, k))
            lines.append("| %d MV | %s | %.3f | %.3f | %.3f | %.1f | %.2f |" % (
                e, label, ef / n, sum(w[i] for i in top) / n, sum(w[i] * k[i] for i in top) / ef,
                copper, transmission))
    return lines


def draw(dosavia, result, field, out_png):
    """The non-visual screen's graph of one result file; run beside the file, so that the
    title names the file alone."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    subprocess.run([dosavia, "--plot", os.path.basename(result), "--field", str(field), "--out", out_png],
                   check=True, env=env, cwd=os.path.dirname(result), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--histories", type=float, default=1.0e7)
    ap.add_argument("--repeats", type=int, default=2)
    ap.add_argument("--build", default=os.path.join(ROOT, "build-validation"))
    ap.add_argument("--work", default=os.path.join(ROOT, "build-validation", "validation"))
    ap.add_argument("--figures", default=os.path.join(ROOT, "docs", "validation"))
    ap.add_argument("--skip-build", action="store_true")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--reuse", action="store_true",
                    help="take result files of an earlier run in the work folder as they are")
    args = ap.parse_args()
    # The runs change into their working folders: every path must be absolute.
    args.build, args.work, args.figures = (os.path.abspath(p) for p in (args.build, args.work, args.figures))

    if not args.skip_build:
        build(args.build, args.jobs)
    workdir = os.path.join(args.build, "workdir")
    kestrun = os.path.join(workdir, "Kestrun")
    dosavia = os.path.join(workdir, "Dosavia")
    make_spectra = os.path.join(args.build, "tools", "make_spectra")
    electron = os.path.join(args.build, "tools", "electron_depth_dose")
    n = args.histories
    totals = [n * (1 + 0.01 * k) for k in range(args.repeats + 1)]
    names = ["%dMV.csv" % e for e in ENERGIES]

    # The spectra written afresh: the shipped set (which must equal data/), the thick-target
    # set, and the thick target under the shipped set's copper.
    sources = os.path.join(ROOT, "data", "sources")
    spectra = {}
    shipped_dir = os.path.join(args.work, "shipped-spectra")
    spectra["shipped"] = write_spectra(make_spectra, sources, shipped_dir, [])
    for name in names:
        with open(os.path.join(shipped_dir, name), "rb") as a, open(os.path.join(ROOT, "data", name), "rb") as b:
            if a.read() != b.read():
                log("WARNING: data/%s differs from what make_spectra writes; run the regenerate_data "
                    "target. The shipped file is validated as it is." % name)
    thin_copper = ",".join("%g" % spectra["shipped"][e][1] for e in ENERGIES)
    spectra["thick"] = write_spectra(make_spectra, sources, os.path.join(args.work, "thick-spectra"),
                                     ["--thick-target"])
    spectra["thick, shipped copper"] = write_spectra(
        make_spectra, sources, os.path.join(args.work, "thick-thin-copper-spectra"),
        ["--thick-target", "--copper", thin_copper])
    # label: (spectra folder, run folder, result stem, photon totals); the shipped files are
    # run as data/ holds them.
    sets = {"shipped": (os.path.join(ROOT, "data"), "shipped", "%dMV", totals),
            "thick": (os.path.join(args.work, "thick-spectra"), "thick", "%dMV-thk", totals),
            "thick, shipped copper": (os.path.join(args.work, "thick-thin-copper-spectra"),
                                      "thick-thin-copper", "%dMV-tcu", totals[:1])}
    beams = {}
    for label, (spectra_dir, folder, stem, runs) in sets.items():
        work = os.path.join(args.work, folder)
        prepare_work(work, spectra_dir, names)
        beams[label] = {}
        for e in ENERGIES:
            paths = []
            for total in runs:
                log("%s %d MV, %s photons" % (label, e, photon_text(total)))
                paths.append(run_kestrun(kestrun, work, "%dMV.csv" % e, stem % e, total, args.reuse))
            beams[label][e] = Beam(paths)

    refs = os.path.join(args.work, "reference")
    prepare_work(refs, os.path.join(ROOT, "data"), [])
    log("reference beams")
    mono = {}
    for b, _ in MONO_BINS:
        with open(os.path.join(refs, "mono%d.csv" % b), "w", newline="") as f:
            f.write(mono_spectrum({b}))
        mono[b] = Beam([run_kestrun(kestrun, refs, "mono%d.csv" % b, "mono%d" % b, n, args.reuse)])
    with open(os.path.join(refs, "co60.csv"), "w", newline="") as f:
        f.write(mono_spectrum({24, 27}))
    cobalt = Beam([run_kestrun(kestrun, refs, "co60.csv", "co60", n, args.reuse)])
    log("electron beams")
    electrons = subprocess.run([electron, os.path.join(ROOT, "data"), "200000", "1", "2", "4", "6", "10", "15", "20"],
                               check=True, capture_output=True, text=True).stdout

    lines = ["## Results", ""]
    lines += quality_table("Shipped spectra (thin target)", beams["shipped"], n) + [""]
    lines += quality_table("Thick-target alternative (make_spectra --thick-target)", beams["thick"], n) + [""]
    lines += quality_table("Thick target under the shipped copper (make_spectra --thick-target --copper %s)"
                           % thin_copper, beams["thick, shipped copper"], n) + [""]
    lines += spectrum_table(spectra) + [""]
    lines += field_tables(beams["shipped"]) + [""]
    lines += reference_table(mono, cobalt) + [""]
    lines += ["### Broad parallel electron beams (electron_depth_dose, 200000 electrons)", "", "```",
              electrons.rstrip(), "```", ""]

    if os.path.exists(dosavia):
        os.makedirs(args.figures, exist_ok=True)
        for e in ENERGIES:
            for field in FIGURE_FIELDS[e]:
                side = dda.FIELD_SIDES_CM[field - 1]
                out = os.path.join(args.figures, "%dMV-%dx%d.png" % (e, side, side))
                draw(dosavia, beams["shipped"][e].paths[0], field, out)
                lines.append("figure: %s" % os.path.relpath(out, ROOT))
            out = os.path.join(args.figures, "%dMV-thick-target-10x10.png" % e)
            draw(dosavia, beams["thick"][e].paths[0], FIELD_10, out)
            lines.append("figure: %s" % os.path.relpath(out, ROOT))

    text = "\n".join(lines) + "\n"
    with open(os.path.join(args.work, "tables.md"), "w") as f:
        f.write(text)
    print(text)


if __name__ == "__main__":
    main()
