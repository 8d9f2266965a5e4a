# Sourced by the statistical bench scripts: sets $work to KEEP's folder, where runs stay and
# are not made again, or else to a temporary folder removed when the script ends.
if [ -n "${KEEP:-}" ]; then
  work="$KEEP"
  mkdir -p "$work"
else
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
fi
