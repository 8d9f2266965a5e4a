# Sourced by the Kestrun benchmarks: the number of histories a run actually makes.
#   histories SPECTRUM_FILE PHOTONS
# The sum over the spectrum's bins of trunc(W(i) N), W = intensity / sum (columns 9-17 of
# each of the 400 records); computed here in double, so it may differ from the engine's float
# count by a history in a rare bin.
histories() {
  awk -v n="$2" '
    NR <= 400 { w[NR] = substr($0, 9, 9) + 0; s += w[NR] }
    END { for (i = 1; i <= 400; i++) if (w[i] > 0) t += int(w[i] / s * n); printf "%d", t }' \
    "$1"
}
