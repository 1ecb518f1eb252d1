# Shared by the packaging checks (sourced; argument: the build folder).
# Gives each check a private temporary folder as HOME and a small PAR 2 set made
# with the real par2.
set -euo pipefail

build_dir=$1
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
# The program under test must find its helpers beside itself.
unset VELMORA_HELPERS_DIR

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# make_set FOLDER: three files and FOLDER/set.par2 with 50 % redundancy.
make_set() {
    mkdir -p "$1"
    local i
    for i in 1 2 3; do head -c 40000 /dev/urandom >"$1/f$i.bin"; done
    (cd "$1" && par2 c -q -q -b30 -r50 -- set.par2 f1.bin f2.bin f3.bin >/dev/null)
}

# expect_headless_verifies PROGRAM SET: an intact set verifies with status 0 and
# one JSON line that says so (document status 5).
expect_headless_verifies() {
    local output
    output=$("$1" --headless --json "$2") || fail "$1 --headless --json $2 exited with $?"
    grep -q '"status":5' <<<"$output" || fail "unexpected report from $1: $output"
}
