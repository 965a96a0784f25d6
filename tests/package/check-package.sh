#!/usr/bin/env bash
# The Debian package as a shop gets it: made by CPack from the programs already built, with its
# control data, its files, nothing that points back at the build, and programs that run from where
# the package puts them.
#
#   check-package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! (cd "$build" && cpack -G DEB -B "$work/out") > "$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=$(ls "$work"/out/korvelapos_*.deb)
echo "package: $deb"

# Control data: name, version, and the dependencies on Debian's own packages.
[ "$(dpkg-deb -f "$deb" Package)" = korvelapos ] || fail "Package is not korvelapos"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libqt6widgets6 libqt6sql6 libqt6sql6-ibase libqt6printsupport6 libfbclient2 firebird3.0-server-core \
           firebird3.0-utils libcups2 "libxlsxwriter[0-9]*" qt6-qpa-plugins libqt6charts6; do
    grep -Eq "(^|, )$dep( |,|$)" <<< "$depends" || fail "Depends lacks $dep"
done
# Outputs are read whole before they are searched: under pipefail, "grep -q" leaving a pipe early
# makes the writer die of SIGPIPE and the check fail at random.
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description"
conffiles=$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles 2>/dev/null || true)
grep -qx /etc/default/korvela-backup <<< "$conffiles" || fail "/etc/default/korvela-backup is not a conffile"

# The files, where Debian expects them.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' > "$work/files"
for f in /usr/bin/korvelapos /usr/bin/korvela-db /usr/share/applications/korvelapos.desktop \
         /usr/share/icons/hicolor/scalable/apps/korvelapos.svg /usr/lib/systemd/system/korvela-backup.service \
         /usr/lib/systemd/system/korvela-backup.timer /etc/default/korvela-backup \
         /usr/share/doc/korvelapos/README.md; do
    grep -qx "$f" "$work/files" || fail "$f is not in the package"
done
if grep -Eq '/(tests?|bench)/|test_|kv_register_worker|\.a$' "$work/files"; then
    fail "the package carries tests or build leftovers: $(grep -E '/(tests?|bench)/|test_|kv_register_worker|\.a$' "$work/files" | tr '\n' ' ')"
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"

# The menu entry: "Korvela POS", starting the installed program with its icon.
desktop="$root/usr/share/applications/korvelapos.desktop"
grep -qx 'Name=Korvela POS' "$desktop" || fail "the menu entry is not named Korvela POS"
grep -qx 'Exec=korvelapos' "$desktop" || fail "the menu entry does not start korvelapos"
grep -qx 'Icon=korvelapos' "$desktop" || fail "the menu entry has no icon"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the menu entry"
fi
# The timer is shipped off: no maintainer script turns it on or starts it. What they do on removal
# and purge is tried for real by scripts/trial-install-debian.
mkdir "$work/control"
dpkg-deb -e "$deb" "$work/control"
for script in postinst prerm postrm; do
    if [ ! -x "$work/control/$script" ]; then
        fail "the package has no executable $script"
        continue
    fi
    sh -n "$work/control/$script" || fail "$script is not a valid shell script"
    if grep -Eq '(systemctl|deb-systemd-helper|deb-systemd-invoke)([^;&|]*) (enable|start|restart|reenable|unmask)( |$)' \
        "$work/control/$script"; then
        fail "$script turns the nightly backup on"
    fi
done


# Nothing points at the build or source tree, and no search path is baked into the programs.
if grep -rlaF -e "$build" -e "$source" "$root" > "$work/pointing"; then
    fail "files naming the build tree: $(tr '\n' ' ' < "$work/pointing")"
fi
for exe in korvelapos korvela-db; do
    if grep -Eq 'RPATH|RUNPATH' <<< "$(readelf -d "$root/usr/bin/$exe")"; then
        fail "$exe carries a library search path"
    fi
done

# The unpacked programs run.
out=$("$root/usr/bin/korvelapos" --version) || fail "korvelapos --version failed"
[ "$out" = "korvelapos $version" ] || fail "korvelapos --version says '$out', the package is $version"
if "$root/usr/bin/korvela-db" demo "$work/demo" > "$work/demo.log" 2>&1; then
    for f in korvela.fdb tavro.fdb DireccionBd.txt; do
        [ -s "$work/demo/$f" ] || fail "korvela-db demo made no $f"
    done
else
    cat "$work/demo.log" >&2
    fail "the unpacked korvela-db demo failed"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
