#!/usr/bin/env bash
# The metainfo software centres read, as built and as a release with a web page
# (which adds the home page and the screenshot) makes it. Skipped (77) where
# appstreamcli is not installed.
. "$(dirname "$0")/common.sh"

command -v appstreamcli >/dev/null || { echo "appstreamcli is not installed: skipped"; exit 77; }
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
built=$build_dir/generated/org.velmora.Velmora.metainfo.xml
release=$work/org.velmora.Velmora.metainfo.xml
cmake -DVELMORA_WEBPAGE_URL=https://velmora.example.org/ -DSOURCE_DIR="$source_dir" \
    -DOUTPUT="$release" -P "$source_dir/cmake/Metainfo.cmake"
grep -q '<image>https://velmora.example.org/screenshots/main-window.png</image>' "$release" ||
    fail "no screenshot in the release metainfo"
for file in "$built" "$release"; do
    appstreamcli validate --no-net --explain "$file" || fail "$file is not valid"
done
# The entry software centres launch must be the one the package installs.
grep -q '<launchable type="desktop-id">org.velmora.Velmora.desktop</launchable>' "$built" ||
    fail "the metainfo launches another desktop entry"
[ -f "$source_dir/resources/org.velmora.Velmora.desktop" ] || fail "no org.velmora.Velmora.desktop"
echo "appstream: passed"
