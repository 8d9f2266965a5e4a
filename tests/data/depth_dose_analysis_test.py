"""Checks of tools/depth_dose_analysis.py on depth-dose curves whose answers are known."""

import math
import os
import random
import sys
import unittest

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import depth_dose_analysis as dda  # noqa: E402


def fortran_e(value):
    """A value as the engine's E11.4 field writes it: 0.dddd mantissa, two-digit exponent."""
    if value == 0:
        return " 0.0000E+00"
    exponent = math.floor(math.log10(abs(value))) + 1
    mantissa = value / 10 ** exponent
    if round(abs(mantissa), 4) >= 1:
        mantissa /= 10
        exponent += 1
    return "%7.4fE%+03d" % (mantissa, exponent)


def build_up(z, a, mu):
    """(1 - exp(-a z)) exp(-mu z): maximum at ln((a + mu) / mu) / a."""
    return (1 - math.exp(-a * z)) * math.exp(-mu * z)


def curve(a, mu, noise=0.0, seed=1):
    rng = random.Random(seed)
    return [None] + [build_up(dda.bin_centre_cm(j), a, mu) * (1 + noise * rng.gauss(0, 1))
                     for j in range(1, dda.DEPTH_BINS + 1)]


class DepthOfMaximumTest(unittest.TestCase):
    # (a [1/cm], mu [1/cm]): build-ups from cobalt-like to 15 MV-like maxima.
    CASES = ((4.0, 0.06), (1.5, 0.05), (1.0, 0.04), (0.7, 0.035))

    def test_noiseless_curves_give_the_analytic_maximum(self):
        for a, mu in self.CASES:
            with self.subTest(a=a, mu=mu):
                expected = math.log((a + mu) / mu) / a
                self.assertAlmostEqual(dda.depth_of_maximum(curve(a, mu)).depth_cm, expected, delta=0.02)

    def test_noise_of_a_long_run_moves_the_maximum_by_little_more_than_a_millimetre(self):
        for a, mu in self.CASES:
            expected = math.log((a + mu) / mu) / a
            for seed in range(1, 6):
                with self.subTest(a=a, mu=mu, seed=seed):
                    m = dda.depth_of_maximum(curve(a, mu, noise=0.003, seed=seed))
                    self.assertAlmostEqual(m.depth_cm, expected, delta=0.15)
                    self.assertLess(m.window_cm[0], expected)
                    self.assertGreater(m.window_cm[1], expected)


class TprTest(unittest.TestCase):
    def test_exponential_fall_off_gives_the_exact_ratio(self):
        mu = 0.045
        dose = [None] + [math.exp(-mu * dda.bin_centre_cm(j)) for j in range(1, dda.DEPTH_BINS + 1)]
        self.assertAlmostEqual(dda.tpr_bins(dose), math.exp(-10 * mu), places=12)
        self.assertAlmostEqual(dda.tpr_fit(dose), math.exp(-10 * mu), places=9)

    def test_fit_is_less_noisy_than_two_bins(self):
        mu, spread_bins, spread_fit = 0.045, [], []
        for seed in range(20):
            rng = random.Random(seed)
            dose = [None] + [math.exp(-mu * dda.bin_centre_cm(j)) * (1 + 0.005 * rng.gauss(0, 1))
                             for j in range(1, dda.DEPTH_BINS + 1)]
            spread_bins.append(dda.tpr_bins(dose))
            spread_fit.append(dda.tpr_fit(dose))
        sd = lambda v: math.sqrt(sum((x - sum(v) / len(v)) ** 2 for x in v) / (len(v) - 1))
        self.assertLess(sd(spread_fit), 0.5 * sd(spread_bins))


class ResultFileTest(unittest.TestCase):
    def file_text(self):
        rows = []
        for block in (0, 1):
            for j in range(1, dda.DEPTH_BINS + 1):
                values = [0.001 * j + block] + [block + j * 1e-4 * f for f in range(1, 11)]
                rows.append("%4d" % j + "".join(fortran_e(v) for v in values))
        return "\r\n".join(rows) + "\r\n"

    def test_total_adds_the_two_blocks_of_a_field(self):
        r = dda.parse_result(self.file_text())
        self.assertAlmostEqual(r.kerma[7], 0.007, places=7)
        self.assertAlmostEqual(r.primary[3][250], 0.075, places=6)
        self.assertAlmostEqual(r.scatter[3][250], 1.075, places=6)
        self.assertAlmostEqual(r.total(3)[250], 1.15, places=6)

    def test_malformed_files_are_refused(self):
        text = self.file_text()
        lines = text.split("\r\n")
        for bad in ("\r\n".join(lines[:599]) + "\r\n",            # a record short
                    text.replace(" 123", "  99", 1)):            # an index out of order
            with self.assertRaises(ValueError):
                dda.parse_result(bad)


if __name__ == "__main__":
    unittest.main()
