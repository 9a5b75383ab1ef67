#!/usr/bin/env bash
# The two set-up commands of the README:
#   tools/setup.sh start [--seconds N] [OPTIONS...]
#                                      install what is missing, build, start the simulator and the
#                                      workstation on the demo complex (without a display: N seconds
#                                      offscreen, default 30, with the journal on the terminal)
#   tools/setup.sh test                install what is missing, build with sanitizers, run every test,
#                                      then the serial port's tests again under ThreadSanitizer; build
#                                      everything optimised (Release, tests and benchmarks too) and
#                                      check the Debian package made of that build
#   tools/setup.sh package             build build/package/kirvanmonitorp_VERSION_ARCH.deb and check
#                                      it with lintian
# All are idempotent: packages are installed only when absent, builds are incremental.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# ccache keys objects by paths relative to the clone, so a fresh clone elsewhere on the machine
# (a CI run) compiles only what differs from the builds before it.
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
mode=${1:-}
shift || true

# qt6-base-dev brings Qt Print Support as well (the journal viewer's printing and PDF).
packages=(cmake ninja-build g++ pkg-config ccache
          qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n fonts-dejavu-core
          libemf2svg-dev libwmf-dev libpng-dev libsodium-dev libseccomp-dev fonts-urw-base35
          libmosquitto-dev mosquitto openssl
          libgtest-dev libgmock-dev libbenchmark-dev
          dpkg-dev file desktop-file-utils man-db logrotate
          xvfb xdotool libxcb-cursor0)

# The optimised build of the test and package commands: a Release build with the default options
# and the benchmarks, installed under /usr.
optimised=(-DCMAKE_BUILD_TYPE=Release -DKIRVAN_BENCHMARKS=ON -DCMAKE_INSTALL_PREFIX=/usr)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

configure() { # build-folder cmake-options...
    local build=$1
    shift
    [ -f "$build/build.ninja" ] || cmake -S "$top" -B "$build" -G Ninja "$@" >/dev/null
}

configure_and_build() { # build-folder cmake-options...
    configure "$@"
    cmake --build "$1" -j"$(nproc)"
}

case "$mode" in
start)
    seconds=30
    if [ "${1:-}" = "--seconds" ]; then
        seconds=${2:?"--seconds needs a number"}
        shift 2
    fi
    install_missing
    configure_and_build "$top/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRVAN_TESTS=OFF
    demo="$top/build/demo"
    if [ ! -d "$demo" ]; then
        cp -r "$top/resources/demo" "$demo"
        echo "Created the demo workstation folder $demo"
    fi
    # The simulator plays the demo's systems on COM1 and runs the demo script; the workstation
    # opens COM1, so its polling reaches the simulator.
    "$top/build/release/tools/kirvan-sim/kirvan-sim" --dir "$demo" --com 1 \
        --script "$top/resources/demo/demo-script.txt" </dev/null >"$top/build/demo-sim.log" 2>&1 &
    simulator=$!
    trap 'kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
        [ -L "$demo/ports/COM1" ] && break
        kill -0 "$simulator" 2>/dev/null || { cat "$top/build/demo-sim.log" >&2; exit 1; }
        sleep 0.1
    done
    workstation=("$top/build/release/window/KirvanMonitorP" --dir "$demo" --com 1)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: running the demo offscreen for $seconds seconds with the scripted events; the journal follows, the window is saved as build/demo-screenshot.png"
        touch "$demo/KirvanMonitorP.txt"
        tail -n 0 -F "$demo/KirvanMonitorP.txt" 2>/dev/null > >(iconv -f CP1251 -t UTF-8 | tr -d '\r') &
        journal=$!
        # The screen of a guard room, 1920 x 1080 on 24 inches, so the picture shows what an
        # operator would see.
        printf '%s\n' '{"screens": [{"name": "demo", "x": 0, "y": 0, "width": 1920, "height": 1080,' \
            '"logicalDpi": 92, "logicalBaseDpi": 96, "dpr": 1}]}' >"$top/build/demo-screen.json"
        QT_QPA_PLATFORM="offscreen:configfile=$top/build/demo-screen.json" "${workstation[@]}" --quit-after "$seconds" \
            --screenshot "$top/build/demo-screenshot.png" "$@" || status=$?
        sleep 0.5 # the shut-down line reaches the terminal
        kill "$journal" 2>/dev/null || true
        exit "${status:-0}"
    fi
    "${workstation[@]}" "$@"
    ;;
test)
    install_missing
    configure_and_build "$top/build/asan" -DCMAKE_BUILD_TYPE=Debug -DKIRVAN_SANITIZE=address,undefined
    failed=0
    ctest --test-dir "$top/build/asan" --output-on-failure -j"$(nproc)" || failed=1
    # The serial port's worker threads are checked for data races in a build of their own.
    configure "$top/build/tsan" -DCMAKE_BUILD_TYPE=Debug -DKIRVAN_SANITIZE=thread
    cmake --build "$top/build/tsan" --target serial_tests -j"$(nproc)"
    TSAN_OPTIONS="suppressions=$top/tests/serial/tsan.supp" \
        ctest --test-dir "$top/build/tsan" -L serial --output-on-failure || failed=1
    # The optimised build compiles cleanly with the tests and benchmarks too; the package is made of it.
    configure_and_build "$top/build/package" "${optimised[@]}"
    "$top/tests/package/check-package.sh" "$top/build/package" || failed=1
    exit "$failed"
    ;;
package)
    packages+=(lintian)
    install_missing
    configure_and_build "$top/build/package" "${optimised[@]}"
    rm -f "$top"/build/package/kirvanmonitorp_*.deb
    (cd "$top/build/package" && cpack -G DEB)
    deb=$(echo "$top"/build/package/kirvanmonitorp_*.deb)
    lintian --fail-on error "$deb"
    echo "Built $deb"
    ;;
*)
    echo "usage: tools/setup.sh start [--seconds N] [workstation options] | tools/setup.sh test | tools/setup.sh package" >&2
    exit 2
    ;;
esac
