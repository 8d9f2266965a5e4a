"""Beam-quality numbers from a Kestrun result file: TPR20,10 and the depth of maximum dose.

Python standard library only. The result file holds 600 records "(I4,11E11.4)": rows 1-300
the primary block, rows 301-600 the scatter block; columns: depth bin, primary kerma, then the
central-axis dose of the fields 1, 2, 3, 4, 5, 6, 8, 10, 15 and 20 cm. Depth bin j covers
0.1 (j - 1) to 0.1 j cm, so its centre lies at 0.1 j - 0.05 cm.
"""

import math

FIELD_SIDES_CM = (1, 2, 3, 4, 5, 6, 8, 10, 15, 20)
DEPTH_BINS = 300
BIN_CM = 0.1

# The 11-bin running mean that finds the maximum before the fit.
SMOOTH_HALF_WIDTH = 5
# The parabola is fitted to the raw bins where the running mean is within this fraction of
# its peak: narrow maxima get a short window, broad ones (15 MV) a long one.
FIT_LEVEL = 0.97
# ... but never to fewer than 2 * 4 + 1 bins or more than 2 * 20 + 1.
FIT_MIN_HALF_BINS = 4
FIT_MAX_HALF_BINS = 20
# TPR from a straight line through ln D fitted over +-1 cm around each depth: the same
# quantity as the ratio of the two bins, with a tenth of the noise.
TPR_FIT_HALF_BINS = 10


def bin_centre_cm(j):
    """Centre of depth bin j (1-based) [cm]."""
    return BIN_CM * j - BIN_CM / 2


class ResultFile:
    """The tables of one result file, 1-based by depth bin like the file."""

    def __init__(self, kerma, primary, scatter):
        self.kerma = kerma        # kerma[j]
        self.primary = primary    # primary[field_index][j], field_index 1..10
        self.scatter = scatter

    def total(self, field_index):
        """Total dose (primary + scatter) of field 1..10, indexed by depth bin 1..300."""
        p, s = self.primary[field_index], self.scatter[field_index]
        return [None] + [p[j] + s[j] for j in range(1, DEPTH_BINS + 1)]


def parse_result(text):
    """Reads the 600 fixed-column records; raises ValueError on a malformed file."""
    lines = [ln for ln in text.replace("\r\n", "\n").split("\n") if ln.strip()]
    if len(lines) != 2 * DEPTH_BINS:
        raise ValueError("expected %d records, found %d" % (2 * DEPTH_BINS, len(lines)))
    kerma = [None] * (DEPTH_BINS + 1)
    blocks = [[[None] * (DEPTH_BINS + 1) for _ in range(11)] for _ in range(2)]
    for n, line in enumerate(lines):
        block, j = divmod(n, DEPTH_BINS)
        j += 1
        if int(line[0:4]) != j:
            raise ValueError("record %d: depth index %s" % (n + 1, line[0:4].strip()))
        values = [float(line[4 + 11 * c:15 + 11 * c]) for c in range(11)]
        if block == 0:
            kerma[j] = values[0]
        for field in range(1, 11):
            blocks[block][field][j] = values[field]
    return ResultFile(kerma, blocks[0], blocks[1])


def read_result(path):
    with open(path, "r", encoding="ascii", newline="") as f:
        return parse_result(f.read())


def running_mean(dose, half_width=SMOOTH_HALF_WIDTH):
    """Mean over 2 half_width + 1 bins, shortened symmetrically at the surface."""
    out = [None] * len(dose)
    last = len(dose) - 1
    for j in range(1, last + 1):
        h = min(half_width, j - 1, last - j)
        out[j] = sum(dose[j - h:j + h + 1]) / (2 * h + 1)
    return out


def solve3(a, b):
    """Solves the 3 x 3 system a x = b by Cramer's rule."""
    def det(m):
        return (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))
    d = det(a)
    if d == 0:
        raise ValueError("singular fit")
    x = []
    for c in range(3):
        m = [row[:] for row in a]
        for r in range(3):
            m[r][c] = b[r]
        x.append(det(m) / d)
    return x, d


def fit_parabola(xs, ys):
    """Least-squares y = c0 + c1 x + c2 x^2. Returns the coefficients, their covariance
    (from the scatter of the points about the fit) and the residual standard deviation."""
    n = len(xs)
    s = [sum(x ** k for x in xs) for k in range(5)]
    a = [[s[0], s[1], s[2]], [s[1], s[2], s[3]], [s[2], s[3], s[4]]]
    b = [sum(y * x ** k for x, y in zip(xs, ys)) for k in range(3)]
    c, _ = solve3(a, b)
    resid = [y - (c[0] + c[1] * x + c[2] * x * x) for x, y in zip(xs, ys)]
    sigma2 = sum(r * r for r in resid) / max(n - 3, 1)
    inv = []
    for col in range(3):
        e = [1.0 if r == col else 0.0 for r in range(3)]
        inv.append(solve3(a, e)[0])
    cov = [[sigma2 * inv[col][row] for col in range(3)] for row in range(3)]
    return c, cov, math.sqrt(sigma2)


class Maximum:
    """Depth of maximum dose of one curve."""

    def __init__(self, depth_cm, sigma_cm, smoothed_cm, window_cm):
        self.depth_cm = depth_cm        # vertex of the fitted parabola
        self.sigma_cm = sigma_cm        # its statistical standard deviation
        self.smoothed_cm = smoothed_cm  # centre of the bin where the running mean peaks
        self.window_cm = window_cm      # (first, last) bin centre of the fit


def depth_of_maximum(dose, search_to_bin=150):
    """d_max: the peak of the 11-bin running mean within the first search_to_bin bins,
    refined by a parabola fitted to the raw bins around it (where the running mean stays
    within FIT_LEVEL of its peak). The vertex's standard deviation follows from the fit's
    covariance, (dx0)^2 = (d x0/d c1, d x0/d c2) cov (...)^T with x0 = -c1 / (2 c2)."""
    smooth = running_mean(dose)
    peak = max(range(1, search_to_bin + 1), key=lambda j: smooth[j])
    level = FIT_LEVEL * smooth[peak]
    lo = peak
    while lo > 1 and peak - lo < FIT_MAX_HALF_BINS and smooth[lo - 1] >= level:
        lo -= 1
    hi = peak
    while hi < len(dose) - 1 and hi - peak < FIT_MAX_HALF_BINS and smooth[hi + 1] >= level:
        hi += 1
    lo = max(1, min(lo, peak - FIT_MIN_HALF_BINS))
    hi = max(hi, peak + FIT_MIN_HALF_BINS)
    # Centre the abscissae on the peak so the normal equations stay well conditioned.
    x_ref = bin_centre_cm(peak)
    xs = [bin_centre_cm(j) - x_ref for j in range(lo, hi + 1)]
    ys = [dose[j] for j in range(lo, hi + 1)]
    c, cov, _ = fit_parabola(xs, ys)
    if not c[2] < 0:
        # No downward curvature: the fit says nothing beyond the running mean.
        return Maximum(x_ref, BIN_CM * SMOOTH_HALF_WIDTH, x_ref, (xs[0] + x_ref, xs[-1] + x_ref))
    x0 = -c[1] / (2 * c[2])
    g1, g2 = -1 / (2 * c[2]), c[1] / (2 * c[2] ** 2)
    var = g1 * g1 * cov[1][1] + 2 * g1 * g2 * cov[1][2] + g2 * g2 * cov[2][2]
    return Maximum(x0 + x_ref, math.sqrt(max(var, 0.0)), x_ref,
                   (xs[0] + x_ref, xs[-1] + x_ref))


def tpr_bins(dose):
    """TPR20,10 as the ratio of depth bins 200 and 100 (19.9-20.0 and 9.9-10.0 cm)."""
    return dose[200] / dose[100]


def log_linear_at(dose, j, half=TPR_FIT_HALF_BINS):
    """Dose at bin j's centre from a straight line fitted to ln D over bins j-half..j+half,
    with the relative standard deviation of that value (the scatter of the bins about the
    line; the exponential fall-off is straight in ln D to well within the noise)."""
    xs = [bin_centre_cm(k) - bin_centre_cm(j) for k in range(j - half, j + half + 1)]
    ys = [math.log(dose[k]) for k in range(j - half, j + half + 1)]
    n = len(xs)
    mx, my = sum(xs) / n, sum(ys) / n
    sxx = sum((x - mx) ** 2 for x in xs)
    slope = sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sxx
    icpt = my - slope * mx
    resid = [y - (icpt + slope * x) for x, y in zip(xs, ys)]
    s2 = sum(r * r for r in resid) / (n - 2)
    # Variance of the line at x = 0 (mx is 0 for the symmetric window).
    var0 = s2 * (1.0 / n + mx * mx / sxx)
    return math.exp(icpt), math.sqrt(var0), math.sqrt(s2)


def tpr_fit(dose):
    """TPR20,10 from the log-linear fits at bins 200 and 100, with its standard deviation
    and the relative noise of one bin at 20 cm (which is also the noise of tpr_bins)."""
    d20, r20, bin20 = log_linear_at(dose, 200)
    d10, r10, bin10 = log_linear_at(dose, 100)
    tpr = d20 / d10
    return tpr, tpr * math.hypot(r20, r10), tpr * math.hypot(bin20, bin10)
