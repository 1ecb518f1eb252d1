#!/usr/bin/env bash
# Builds the .deb, checks its dependencies and maintainer scripts, has lintian
# check it where lintian is installed, and runs the program unpacked from it.
. "$(dirname "$0")/common.sh"

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(echo "$work"/deb/velmora_*.deb)
[ -f "$deb" ] || fail "cpack made no package"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6widgets6 libqt6dbus6 libunrar5 libssl3 qt6-qpa-plugins; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

[ "$(dpkg-deb -f "$deb" Section)" = contrib/utils ] || fail "not in contrib/utils"
grep -qE '^[^<>]+ <[^@<> ]+@[^@<> ]+>$' <<<"$(dpkg-deb -f "$deb" Maintainer)" ||
    fail "the maintainer has no address: $(dpkg-deb -f "$deb" Maintainer)"

dpkg-deb -e "$deb" "$work/control"
for script in postinst:configure postrm:remove; do
    name=${script%%:*}
    [ -x "$work/control/$name" ] || fail "no executable $name"
    grep -qx 'set -e' "$work/control/$name" || fail "$name does not stop on errors"
    # Without the desktop tools there is nothing to update, and that is no error.
    env -i PATH="$work/none" /bin/sh "$work/control/$name" "${script#*:}" ||
        fail "$name fails where the desktop tools are missing"
done

if command -v lintian >/dev/null; then
    report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"
    # What is left is lintian's own remark about running as root.
    grep -E '^[EW]: ' <<<"$report" && fail "lintian reports problems"
else
    echo "lintian is not installed: its checks are left out"
fi

root=$work/root
dpkg -x "$deb" "$root"
helper=$root/usr/libexec/velmora/par2SL
[ -f "$helper" ] && [ ! -L "$helper" ] && [ -x "$helper" ] || fail "the package lacks its own par2SL"
for doc in copyright changelog.gz json.md; do
    [ -f "$root/usr/share/doc/velmora/$doc" ] || fail "the package lacks $doc"
done
"$root/usr/bin/velmora" --version | grep -qx 'Velmora [0-9.]*' || fail "--version"
make_set "$work/set"
expect_headless_verifies "$root/usr/bin/velmora" "$work/set/set.par2"
echo "debian package: passed"
