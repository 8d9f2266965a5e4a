#!/usr/bin/env bash
# Lints the C++ against .clang-format (clang-format 14, --dry-run --Werror) and the browser
# edition's JavaScript with prettier (web/.prettierrc.json: the layout, 120 columns) and
# eslint (web/eslint.config.mjs: only rules that catch faults).
#
# Usage: bash tools/lint.sh [--all | BASE]
#   --all  every tracked C++ file and every JavaScript file of web/, whole: what CI runs, so
#          that no commit of a push goes unchecked whatever the push held.
#   BASE   every commit from BASE to HEAD, each on its own (the lines it added or altered,
#          as that commit has them), then what the working tree changed since HEAD; the
#          JavaScript files that any of them touched are checked whole. Default: where HEAD
#          left origin/main (or main); on main itself, or where neither exists, the last
#          commit's parent.
# Mend the C++ with `git clang-format --force --extensions cpp,h BASE` (changed lines) or `clang-format -i FILE`,
# the JavaScript with `(cd web && npx prettier --write FILE)`, and by hand for eslint.
set -euo pipefail
cd "$(dirname "$0")/.."

is_cpp() { case "$1" in */node_modules/*) return 1 ;; *.cpp | *.h | *.cc | *.hpp) return 0 ;; esac; return 1; }
is_js() { case "$1" in */node_modules/*) return 1 ;; web/*.js | web/*.mjs) return 0 ;; esac; return 1; }

command -v clang-format > /dev/null || bash tools/install-deps.sh lint
failed=0
cpp_checked=0
js=()

# The lines of `file` that `diff` (git diff -U0 output) added or altered, as --lines options.
line_ranges() {
  sed -n 's/^@@ -[0-9,]* +\([0-9]*\)\(,\([0-9]*\)\)\{0,1\} @@.*/\1 \3/p' |
    awk '{n = ($2 == "") ? 1 : $2; if (n > 0) printf "--lines=%d:%d\n", $1, $1 + n - 1}'
}

if [ "${1:-}" = "--all" ]; then
  echo "lint: the whole tree"
  while IFS= read -r -d '' f; do
    if is_cpp "$f"; then
      clang-format --dry-run --Werror "$f" 2>&1 || failed=1
      cpp_checked=$((cpp_checked + 1))
    elif is_js "$f"; then
      js+=("${f#web/}")
    fi
  done < <(git ls-files -z)
else
  base=${1:-}
  if [ -z "$base" ]; then
    for branch in origin/main main; do
      if git rev-parse -q --verify "$branch^{commit}" > /dev/null; then
        base=$(git merge-base HEAD "$branch")
        break
      fi
    done
    if [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ]; then
      if ! base=$(git rev-parse -q --verify 'HEAD~1^{commit}'); then
        echo "lint: HEAD has no parent here (a shallow clone?): nothing to compare with, nothing linted"
        exit 0
      fi
    fi
  fi
  echo "lint: every commit since $(git rev-parse --short "$base"), then the working tree"
  declare -A js_seen=()
  # Each commit's C++ lines as that commit wrote them, so that a fault of an early commit is
  # found even where a later one moved the lines.
  for commit in $(git rev-list --reverse "$base..HEAD") WORKTREE; do
    if [ "$commit" = WORKTREE ]; then
      from=HEAD
      to=()
    else
      from="$commit^"
      to=("$commit")
    fi
    while IFS= read -r -d '' f; do
      if is_js "$f"; then
        [ -e "$f" ] && [ -z "${js_seen[$f]:-}" ] && js_seen[$f]=1 && js+=("${f#web/}")
        continue
      fi
      is_cpp "$f" || continue
      mapfile -t ranges < <(git diff -U0 "$from" "${to[@]}" -- "$f" | line_ranges)
      ((${#ranges[@]})) || continue
      if [ "$commit" = WORKTREE ]; then
        clang-format --dry-run --Werror "${ranges[@]}" "$f" 2>&1 || failed=1
      else
        git show "$commit:$f" |
          clang-format --dry-run --Werror "${ranges[@]}" --assume-filename="$f" 2>&1 ||
          { echo "lint: in commit $(git rev-parse --short "$commit")"; failed=1; }
      fi
      cpp_checked=$((cpp_checked + 1))
    done < <(git diff -z --name-only --diff-filter=d "$from" "${to[@]}" --)
  done
fi
echo "lint: clang-format checked $cpp_checked C++ file version(s)"

if ((${#js[@]})); then
  if [ ! -x web/node_modules/.bin/eslint ] || [ ! -x web/node_modules/.bin/prettier ]; then
    command -v npm > /dev/null || bash tools/install-deps.sh lint
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
  fi
  (cd web && ./node_modules/.bin/prettier --check --log-level warn "${js[@]}") || failed=1
  (cd web && ./node_modules/.bin/eslint --no-warn-ignored "${js[@]}") || failed=1
  echo "lint: prettier and eslint checked ${#js[@]} JavaScript file(s)"
fi

if ((failed)); then
  echo "lint: findings above" >&2
  exit 1
fi
echo "lint: clean"
