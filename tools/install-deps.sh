#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and any extra ones
# named, when missing; the one place that installs packages for the scripts and the CI.
#
# Usage: bash tools/install-deps.sh [group-or-package...]
#   fuzz      clang and its runtime (libFuzzer, sanitizers) for tools/fuzz.sh
#   package   dpkg-dev (dpkg-shlibdeps for cpack) and file, for tools/package.sh
#   web       Emscripten, the acorn module its optimiser needs, and Node.js and npm where
#             they are missing, for tools/build-web.sh
#   browser   Chromium and Firefox ESR, for the browser edition's page tests in both engines
#   locale    the locale de_DE.UTF-8 (generated), whose decimal point is a comma, so that the
#             test that the number texts keep their '.' in any locale runs instead of skipping
#   lint      clang-format, and Node.js and npm where they are missing, for tools/lint.sh
#   any other word is taken as a Debian package name
set -euo pipefail

packages=(cmake g++ make libgtest-dev libbenchmark-dev qt6-base-dev fonts-ipafont-gothic
          libxrl-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          qt6-translations-l10n)
comma_locale=0
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    package) packages+=(dpkg-dev file) ;;
    web)
      packages+=(emscripten node-acorn)
      command -v node > /dev/null || packages+=(nodejs)
      command -v npm > /dev/null || packages+=(npm)
      ;;
    browser) packages+=(chromium firefox-esr) ;;
    locale) packages+=(locales); comma_locale=1 ;;
    lint)
      packages+=(clang-format)
      command -v node > /dev/null || packages+=(nodejs)
      command -v npm > /dev/null || packages+=(npm)
      ;;
    -*) echo "install-deps.sh: unknown option $extra" >&2; exit 2 ;;
    *) packages+=("$extra") ;;
  esac
done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian generates the locales listed in /etc/locale.gen; de_DE.UTF-8 is there commented out.
if ((comma_locale)) && ! locale -a | grep -qix 'de_DE\.utf-\?8'; then
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  else
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen > /dev/null
  fi
  $SUDO locale-gen
fi
