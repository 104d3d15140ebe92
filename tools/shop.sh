#!/usr/bin/env bash
# The two ways into the shop on a Debian 12 machine:
#   tools/shop.sh run    installs what is missing, builds, stages a program folder and starts
#                        the stand-in chat client and the shop on it
#   tools/shop.sh test   installs what is missing, builds and runs every test, then builds them
#                        again with ASan and UBSan and runs them once more (QUORL_SANITIZED_TESTS=0
#                        skips that second run)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORL_BUILD:-$root/build}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev
          libbenchmark-dev libxcb1-dev dbus dbus-x11 xvfb xauth openbox xdotool imagemagick at-spi2-core
          python3-gi gir1.2-atspi-2.0 fonts-dejavu-core
          desktop-file-utils xdg-utils shared-mime-info libfile-mimeinfo-perl libglib2.0-bin trayer x11-utils
          ngircd openssl qtkeychain-qt6-dev python3-aiosmtpd poppler-utils util-linux
          dpkg-dev lintian appstream file man-db gzip qt6-qpa-plugins
          weechat-headless weechat-plugins hexchat xclip)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)"
}

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer: any report ends the
# test process, so the run fails. Leaks are not checked: the toolkit keeps caches until exit.
sanitized_tests() {
  local asan=${QUORL_ASAN_BUILD:-$root/build-asan}
  # -O1 and line tables only: a third of the build time of -O2 -g, and reports still name lines.
  cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
    -DQUORL_SANITIZE=ON -DQUORL_BENCH=OFF >/dev/null
  cmake --build "$asan" -j"$(nproc)"
  (cd "$asan" && \
    ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j"$(nproc)" --timeout 600)
}

case "${1:-}" in
  run)
    install_missing
    build
    exec "$root/tools/run-shop.sh" "$build/stage" "${@:2}"
    ;;
  test)
    install_missing
    build
    (cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 300)
    [ "${QUORL_SANITIZED_TESTS:-1}" = 0 ] || sanitized_tests
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
