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
# A cubic is fitted to the raw bins of a window symmetric about the running mean's peak, as
# wide as the running mean stays within FIT_LEVEL of its peak on both sides (a short window
# for the narrow maxima of low energies, a long one for the broad maxima of high energies).
# A parabola would be tilted towards the deep side, because the build-up is steeper than
# the fall-off (0.05 to 0.1 cm on curves of the shape (1 - exp(-a z)) exp(-mu z)); the cubic
# term takes up that asymmetry.
FIT_LEVEL = 0.95
# ... but never fewer than 2 * 4 + 1 bins or more than 2 * 20 + 1.
FIT_MIN_HALF_BINS = 4
FIT_MAX_HALF_BINS = 20
# TPR from a straight line through ln D fitted over +-1 cm around each depth: the same
# quantity as the ratio of the two bins with about half its noise (neighbouring bins are
# correlated through the electron tracks, so not the tenth that independent bins would give).
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


def polyfit(xs, ys, degree):
    """Least-squares polynomial c0 + c1 x + ... + c_degree x^degree through the points, by
    Gaussian elimination with partial pivoting on the normal equations."""
    n = degree + 1
    m = [[sum(x ** (i + k) for x in xs) for k in range(n)] + [sum(y * x ** i for x, y in zip(xs, ys))]
         for i in range(n)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(m[r][col]))
        if m[pivot][col] == 0:
            raise ValueError("singular fit")
        m[col], m[pivot] = m[pivot], m[col]
        for r in range(n):
            if r != col:
                f = m[r][col] / m[col][col]
                m[r] = [a - f * b for a, b in zip(m[r], m[col])]
    return [m[i][n] / m[i][i] for i in range(n)]


def _cubic_maximum(c):
    """The local maximum of c0 + c1 x + c2 x^2 + c3 x^3 nearest x = 0, or None."""
    a, b, k = 3 * c[3], 2 * c[2], c[1]  # derivative a x^2 + b x + k
    if a == 0:
        return -k / b if b < 0 else None
    disc = b * b - 4 * a * k
    if disc < 0:
        return None
    roots = [(-b + sign * math.sqrt(disc)) / (2 * a) for sign in (1, -1)]
    maxima = [x for x in roots if 2 * c[2] + 6 * c[3] * x < 0]
    return min(maxima, key=abs) if maxima else None


class Maximum:
    """Depth of maximum dose of one curve."""

    def __init__(self, depth_cm, smoothed_cm, window_cm):
        self.depth_cm = depth_cm        # maximum of the fitted cubic
        self.smoothed_cm = smoothed_cm  # centre of the bin where the running mean peaks
        self.window_cm = window_cm      # (first, last) bin centre of the fit


def depth_of_maximum(dose, search_to_bin=150, max_iterations=6):
    """d_max: the peak of the 11-bin running mean within the first search_to_bin bins,
    refined by a cubic fitted to the raw bins of a symmetric window about it. The window is
    then centred on the bin of the cubic's maximum and fitted again until it stays put; when
    the maximum lies outside the window (a sharp peak ahead of a long, slow fall-off drags
    the running mean deep), the window moves half its width towards the higher end. Its
    noise is best judged from repeated runs: the bins are correlated through the electron
    tracks."""
    smooth = running_mean(dose)
    last = len(dose) - 1
    peak = max(range(1, search_to_bin + 1), key=lambda j: smooth[j])
    smoothed_cm = bin_centre_cm(peak)
    centre, depth, half = peak, None, FIT_MIN_HALF_BINS
    for _ in range(max_iterations):
        level = FIT_LEVEL * smooth[centre]
        half = 0
        while (half < FIT_MAX_HALF_BINS and centre - half - 1 >= 1 and centre + half + 1 <= last
               and smooth[centre - half - 1] >= level and smooth[centre + half + 1] >= level):
            half += 1
        half = min(max(half, FIT_MIN_HALF_BINS), centre - 1, last - centre)
        x_ref = bin_centre_cm(centre)
        # Abscissae relative to the centre keep the normal equations well conditioned.
        xs = [bin_centre_cm(j) - x_ref for j in range(centre - half, centre + half + 1)]
        c = polyfit(xs, [dose[j] for j in range(centre - half, centre + half + 1)], 3)
        x0 = _cubic_maximum(c)
        if x0 is None or abs(x0) > xs[-1]:
            value = lambda x: c[0] + x * (c[1] + x * (c[2] + x * c[3]))
            step = max(half // 2, 1)
            moved = centre + (step if value(xs[-1]) > value(xs[0]) else -step)
            moved = min(max(moved, FIT_MIN_HALF_BINS + 1), last - FIT_MIN_HALF_BINS)
            if moved == centre:
                break
            centre, depth = moved, None
            continue
        depth = x0 + x_ref
        moved = int(depth / BIN_CM) + 1
        if abs(moved - centre) <= 1:
            break
        centre = moved
    window = (bin_centre_cm(centre - half), bin_centre_cm(centre + half))
    # Without a maximum inside the window the fit says nothing beyond the running mean.
    return Maximum(smoothed_cm if depth is None else depth, smoothed_cm, window)


def tpr_bins(dose):
    """TPR20,10 as the ratio of depth bins 200 and 100 (19.9-20.0 and 9.9-10.0 cm)."""
    return dose[200] / dose[100]


def log_linear_at(dose, j, half=TPR_FIT_HALF_BINS):
    """Dose at bin j's centre from a straight line fitted to ln D over bins j-half..j+half
    (the exponential fall-off is straight in ln D to well within the noise)."""
    xs = [bin_centre_cm(k) - bin_centre_cm(j) for k in range(j - half, j + half + 1)]
    c = polyfit(xs, [math.log(dose[k]) for k in range(j - half, j + half + 1)], 1)
    return math.exp(c[0])


def tpr_fit(dose):
    """TPR20,10 from the log-linear fits at bins 200 and 100."""
    return log_linear_at(dose, 200) / log_linear_at(dose, 100)
