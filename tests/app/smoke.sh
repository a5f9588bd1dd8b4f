#!/usr/bin/env bash
# Smoke test of the program's command line on a machine without a display.
set -u
bin="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$@"; }

out="$(run --version 2>&1)"; rc=$?
check "--version exits 0 without a display" "[ $rc -eq 0 ]"
check "--version names the program and a version" "[[ \"\$out\" =~ ^torvane\ [0-9]+\.[0-9]+\.[0-9]+ ]]"

out="$(run --help 2>&1)"; rc=$?
check "--help exits 0 without a display" "[ $rc -eq 0 ]"
check "--help lists --version and --screenshot" "[[ \"\$out\" == *--version* && \"\$out\" == *--screenshot* ]]"

run --no-such-option >/dev/null 2>&1; rc=$?
check "an unknown option fails" "[ $rc -ne 0 ]"

out="$(cd "$work" && run 2>&1)"; rc=$?
check "without a display the demo is written as a PNG" "[ $rc -eq 0 ] && [ -s \"$work/screenshots/demo.png\" ]"
check "and the program says where" "[[ \"\$out\" == *\"$work/screenshots/demo.png\"* ]]"
check "the file is a PNG" "head -c 8 \"$work/screenshots/demo.png\" | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a'"

run --screenshot "$work/sub/dir/shot.png" >/dev/null 2>&1; rc=$?
check "--screenshot creates its folder" "[ $rc -eq 0 ] && [ -s \"$work/sub/dir/shot.png\" ]"

touch "$work/blocker"
out="$(run --screenshot "$work/blocker/x.png" 2>&1)"; rc=$?
check "an unwritable path fails with a message naming it" "[ $rc -ne 0 ] && [[ \"\$out\" == *blocker* ]]"

exit $fail
