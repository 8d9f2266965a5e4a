#!/usr/bin/env bash
# Renders the PNG icons of the desktop entry from packaging/icons/dosavia.svg (needs
# rsvg-convert, Debian package librsvg2-bin). The PNGs are committed, so building the
# package does not need it; run this after editing the SVG and commit the result.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" dosavia.svg -o "dosavia-$size.png"
done
