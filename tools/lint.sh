#!/usr/bin/env bash
# Lints what changed since a base commit: the changed lines of the C++ files against
# .clang-format (clang-format --dry-run --Werror), and the changed JavaScript files of web/
# with eslint (web/eslint.config.mjs: only rules that catch faults). The tree as a whole
# keeps its layout; a changed line must follow it.
#
# Usage: bash tools/lint.sh [BASE]
#   BASE  the commit to compare the working tree with. Default: where HEAD left origin/main
#         (or main); on main itself, or where neither exists (a fresh CI clone), the last
#         commit's parent, so that the last commit's changes are linted (a merge's: the
#         whole merged branch).
# Mend what it finds with `git clang-format --force BASE` (changed lines only) and by hand for eslint.
set -euo pipefail
cd "$(dirname "$0")/.."

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
echo "lint: changes since $(git rev-parse --short "$base")"

cpp=()
js=()
while IFS= read -r -d '' f; do
  case "$f" in
    */node_modules/*) ;;
    *.cpp|*.h|*.cc|*.hpp) cpp+=("$f") ;;
    web/*.js|web/*.mjs) js+=("${f#web/}") ;;
  esac
done < <(git diff -z --name-only --diff-filter=d "$base" --)

failed=0

if ((${#cpp[@]})); then
  command -v clang-format > /dev/null || bash tools/install-deps.sh lint
  for f in "${cpp[@]}"; do
    # The line ranges that the change added or altered in the file as it is now.
    mapfile -t ranges < <(git diff -U0 "$base" -- "$f" |
      sed -n 's/^@@ -[0-9,]* +\([0-9]*\)\(,\([0-9]*\)\)\{0,1\} @@.*/\1 \3/p' |
      awk '{n = ($2 == "") ? 1 : $2; if (n > 0) printf "--lines=%d:%d\n", $1, $1 + n - 1}')
    ((${#ranges[@]})) || continue
    clang-format --dry-run --Werror "${ranges[@]}" "$f" 2>&1 || failed=1
  done
  echo "lint: clang-format checked ${#cpp[@]} C++ file(s)"
fi

if ((${#js[@]})); then
  if [ ! -x web/node_modules/.bin/eslint ]; then
    command -v npm > /dev/null || bash tools/install-deps.sh lint
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
  fi
  (cd web && ./node_modules/.bin/eslint --no-warn-ignored "${js[@]}") || failed=1
  echo "lint: eslint checked ${#js[@]} JavaScript file(s)"
fi

if ((failed)); then
  echo "lint: findings above; \`git clang-format --force $(git rev-parse --short "$base")\` mends the" \
       "C++ layout of the changed lines" >&2
  exit 1
fi
echo "lint: clean"
