#!/usr/bin/env bash
# Debian's own checks on the .deb: no error and no warning. Skipped (77) where
# lintian is not installed.
. "$(dirname "$0")/common.sh"

command -v lintian >/dev/null || { echo "lintian is not installed: skipped"; exit 77; }
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(echo "$work"/deb/velmora_*.deb)
[ -f "$deb" ] || fail "cpack made no package"
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"
# What is left is lintian's own remark about running as root.
grep -E '^[EW]: ' <<<"$report" && fail "lintian reports problems"
echo "lintian: passed"
