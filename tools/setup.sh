#!/usr/bin/env bash
# The two set-up commands of the README:
#   tools/setup.sh start [OPTIONS...]  install what is missing, build, start the workstation on the demo complex
#   tools/setup.sh test                install what is missing, build with sanitizers, run every test,
#                                      then the serial port's tests again under ThreadSanitizer
# Both are idempotent: packages are installed only when absent, builds are incremental.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-}
shift || true

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-multimedia-dev qt6-translations-l10n fonts-dejavu-core
          libgtest-dev libgmock-dev libbenchmark-dev)

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
    install_missing
    configure_and_build "$top/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIRVAN_TESTS=OFF
    demo="$top/build/demo"
    if [ ! -d "$demo" ]; then
        cp -r "$top/resources/demo" "$demo"
        echo "Created the demo workstation folder $demo"
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: running the workstation offscreen for 10 seconds; its window is saved as build/demo-screenshot.png"
        export QT_QPA_PLATFORM=offscreen
        exec "$top/build/release/console/KirvanMonitorP" --dir "$demo" --quit-after 10 \
            --screenshot "$top/build/demo-screenshot.png" "$@"
    fi
    exec "$top/build/release/console/KirvanMonitorP" --dir "$demo" "$@"
    ;;
test)
    install_missing
    configure_and_build "$top/build/asan" -DCMAKE_BUILD_TYPE=Debug -DKIRVAN_SANITIZE=address,undefined
    failed=0
    ctest --test-dir "$top/build/asan" --output-on-failure -j"$(nproc)" || failed=1
    # The serial port's worker threads are checked for data races in a build of their own.
    configure "$top/build/tsan" -DCMAKE_BUILD_TYPE=Debug -DKIRVAN_SANITIZE=thread
    cmake --build "$top/build/tsan" --target commport_tests -j"$(nproc)"
    TSAN_OPTIONS="suppressions=$top/tests/commport/tsan.supp" \
        ctest --test-dir "$top/build/tsan" -L commport --output-on-failure || failed=1
    exit "$failed"
    ;;
*)
    echo "usage: tools/setup.sh start [workstation options] | tools/setup.sh test" >&2
    exit 2
    ;;
esac
