#!/usr/bin/env bash
# Runs on a private session bus (dbus-run-session). A windowed Velmora is running;
# a second start with a relative file name hands it over and ends with 0, and
# the first one opens and repairs that set. Headless runs keep to themselves.
. "$(dirname "$0")/common.sh"

velmora=$build_dir/bin/velmora
export QT_QPA_PLATFORM=offscreen

make_set "$work/set"
cp "$work/set/f2.bin" "$work/f2.original"
rm "$work/set/f2.bin"

"$velmora" >"$work/first.log" 2>&1 &
first=$!
stop_first() {
    kill "$first" 2>/dev/null || true
    wait "$first" 2>/dev/null || true
    cleanup
}
trap stop_first EXIT

service_is_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.velmora.Velmora | grep -q 'boolean true'
}
for _ in $(seq 100); do
    service_is_owned && break
    kill -0 "$first" 2>/dev/null || fail "the first instance ended: $(cat "$work/first.log")"
    sleep 0.2
done
service_is_owned || fail "the first instance did not take the service name"

(cd "$work/set" && timeout 30 "$velmora" set.par2) || fail "the second start exited with $?"

make_set "$work/headless"
expect_headless_verifies "$velmora" "$work/headless/set.par2"

for _ in $(seq 300); do
    cmp -s "$work/f2.original" "$work/set/f2.bin" && break
    sleep 0.2
done
cmp -s "$work/f2.original" "$work/set/f2.bin" ||
    fail "the running instance did not repair the handed-over set: $(cat "$work/first.log")"
kill -0 "$first" 2>/dev/null || fail "the first instance ended: $(cat "$work/first.log")"
echo "second instance: passed"
