#!/usr/bin/env bash
# cmake --install into a temporary prefix: the layout, the desktop entry, the file
# types as the desktop sees them, the man page, and the installed program at work
# with both of its helpers.
. "$(dirname "$0")/common.sh"

prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

for file in bin/velmora libexec/velmora/par share/applications/org.velmora.Velmora.desktop \
    share/metainfo/org.velmora.Velmora.metainfo.xml share/doc/velmora/copyright \
    share/mime/packages/velmora.xml share/man/man1/velmora.1.gz \
    share/icons/hicolor/scalable/apps/velmora.svg; do
    [ -f "$prefix/$file" ] || fail "the install lacks $file"
done
for size in 16 22 24 32 48 64 128 256 512; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/velmora.png
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size px PNG"
done
"$prefix/libexec/velmora/par2SL" -V >/dev/null || fail "the installed par2SL does not run"

desktop-file-validate "$prefix/share/applications/org.velmora.Velmora.desktop" ||
    fail "invalid desktop entry"
warnings=$(gzip -dc "$prefix/share/man/man1/velmora.1.gz" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "the man page does not format cleanly: $warnings"

# The desktop's view of our files, through the staged MIME database.
update-mime-database "$prefix/share/mime"
samples=$work/samples
mkdir -p "$samples"
make_set "$samples"
printf 'PAR\0\0\0\0\0\0\0\1\0' >"$samples/index.par"
cp "$samples/index.par" "$samples/index.p01"
cp "$samples/index.par" "$samples/INDEX.P17"
cp "$samples/set.par2" "$samples/par2-without-extension"
cp "$samples/index.par" "$samples/par1-without-extension"
check_type() {
    local found
    found=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$prefix/share:/usr/share" \
        xdg-mime query filetype "$samples/$1")
    [ "$found" = "$2" ] || fail "$1 is seen as '$found', not $2"
}
check_type set.par2 application/x-par2
check_type par2-without-extension application/x-par2
check_type index.par application/x-par
check_type index.p01 application/x-par
check_type INDEX.P17 application/x-par
check_type par1-without-extension application/x-par

"$prefix/bin/velmora" --version | grep -qx 'Velmora [0-9.]*' || fail "--version"
expect_headless_verifies "$prefix/bin/velmora" "$samples/set.par2"
"$prefix/bin/velmora" --headless --create "$samples/new.par" --volumes 1 \
    "$samples/f1.bin" "$samples/f2.bin" >/dev/null || fail "the installed par helper did not run"
[ -f "$samples/new.P01" ] || fail "no PAR 1 volume made"
echo "staged install: passed"
