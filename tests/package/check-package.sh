#!/usr/bin/env bash
# tests/package/check-package.sh BUILD-FOLDER: makes the .deb of a build folder, unpacks it into a
# temporary root as dpkg would install it, and checks it from there: the programs start, the
# desktop entries are valid, the manual pages carry the help text, and an installed program that
# cannot write its own folder works in the user's data folder, which it creates with nothing in it
# but what the first start writes.
set -euo pipefail

build=$(cd "$1" && pwd)
fail() {
    echo "package check: $*" >&2
    exit 1
}

rm -f "$build"/kirvanmonitorp_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack failed in $build"
deb=$(echo "$build"/kirvanmonitorp_*.deb)
[ -f "$deb" ] || fail "no package in $build"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
chmod 755 "$root"
dpkg-deb -x "$deb" "$root"

# The Qt libraries come from what the programs link, not from a list kept by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libsodium23 libc6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

version=$(dpkg-deb -f "$deb" Version)
shown=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/KirvanMonitorP" --version)
[ "$shown" = "KirvanMonitorP $version" ] || fail "KirvanMonitorP --version says '$shown'"
LC_ALL=C.UTF-8 "$root/usr/bin/kirvan-tool" --help | grep -q '^Usage: kirvan-tool ini' || fail "kirvan-tool --help"
LC_ALL=C.UTF-8 "$root/usr/bin/kirvan-sim" --help | grep -q '^Usage: kirvan-sim --dir' || fail "kirvan-sim --help"
LC_ALL=C.UTF-8 "$root/usr/bin/kirvan-journal" --help | grep -q '^Usage: kirvan-journal' || fail "kirvan-journal --help"

for file in usr/share/kirvanmonitorp/Help/index.html usr/share/kirvanmonitorp/demo/kirvanmonitorp.cnf \
    usr/share/kirvanmonitorp/fault.wav usr/share/kirvanmonitorp/alarm.wav \
    usr/share/icons/hicolor/scalable/apps/kirvanmonitorp.svg usr/share/icons/hicolor/48x48/apps/kirvanmonitorp.png \
    usr/lib/systemd/user/kirvanmonitorp.service etc/logrotate.d/kirvanmonitorp \
    usr/share/doc/kirvanmonitorp/copyright usr/share/doc/kirvanmonitorp/changelog.gz \
    usr/lib/kirvanmonitorp/kirvan-plan-decoder; do
    [ -f "$root/$file" ] || fail "/$file is missing"
done
grep -qx 'Restart=always' "$root/usr/lib/systemd/user/kirvanmonitorp.service" ||
    fail "the user unit does not start the workstation again after every end"
desktop-file-validate "$root/usr/share/applications/kirvanmonitorp.desktop" \
    "$root/usr/share/kirvanmonitorp/kiosk/kirvanmonitorp-autostart.desktop" || fail "desktop entries"

# Each manual page renders without a complaint and names every option of its program's help.
for program in KirvanMonitorP kirvan-journal kirvan-sim kirvan-tool; do
    for page in "$root/usr/share/man/man1/$program.1.gz" "$root/usr/share/man/ru/man1/$program.1.gz"; do
        [ -f "$page" ] || fail "${page#"$root"} is missing"
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man ${page#"$root"}"
        [ -z "$warnings" ] || fail "${page#"$root"}: $warnings"
    done
done
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/ru/man1/KirvanMonitorP.1.gz" 2>/dev/null)
for option in --dir --com --fullscreen --quit-after --screenshot; do
    [[ "$text" == *"$option"* ]] || fail "the Russian manual page lacks $option"
done
[[ "$text" == *"Рабочее место оператора"* ]] || fail "the Russian manual page is not in Russian"
# The English page tells what the program is for, every file of its folder and where the guides are.
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/KirvanMonitorP.1.gz" 2>/dev/null)
for part in DESCRIPTION "SEE ALSO" KirvanMonitorP.users KirvanMonitorP.alarms KirvanMonitorP.pcn Help/index.html \
    kirvanmonitorp.service /etc/logrotate.d/kirvanmonitorp; do
    [[ "$text" == *"$part"* ]] || fail "the manual page lacks $part"
done
for guide in installing.md site-guide.md settings.md integration.md; do
    [[ "$text" == *"$guide"* && -f "$root/usr/share/doc/kirvanmonitorp/$guide" ]] || fail "the guide $guide is not named or not installed"
done

# A user who cannot write /usr/bin: the workstation folder is ~/.local/share/kirvanmonitorp.
home="$root/home"
mkdir -p "$home"
chown nobody "$home"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$home" PATH=/usr/bin:/bin \
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/KirvanMonitorP" --quit-after 0 >/dev/null 2>&1 ||
    fail "the installed KirvanMonitorP did not run as another user"
folder="$home/.local/share/kirvanmonitorp"
created=$(cd "$folder" && ls -A | tr '\n' ' ')
# Besides the settings, the log and the stored state of the alarms, only the folder's owner-only
# lock file.
[ "$created" = ".KirvanMonitorP.lock KirvanMonitorP.alarms KirvanMonitorP.ini KirvanMonitorP.txt " ] || fail "the first start made: $created"
[ "$(stat -c %a "$folder/.KirvanMonitorP.lock")" = 600 ] || fail "the lock file can be read by others"
grep -q 'ВЫКЛЮЧЕН' <(iconv -f CP1251 -t UTF-8 "$folder/KirvanMonitorP.txt") || fail "no shut-down line in the log"
echo "package check: $(basename "$deb") passed"
