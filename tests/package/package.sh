#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into an empty folder and runs what
# it holds: the program, the shipped examples found from the installed place, and the desktop
# files the launcher and software centres read.
set -u
build="$(realpath "$1")"
src="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
deb="$(ls "$work"/out/*.deb 2>/dev/null | head -1)"
check "cpack made one .deb" "[ -f \"$deb\" ]"
[ -f "$deb" ] || exit 1
root="$work/root"
dpkg-deb -x "$deb" "$root"
depends="$(dpkg-deb -f "$deb" Depends)"
check "the dependencies are computed from the binary (Qt, libmodbus)" \
  "[[ \"\$depends\" == *libqt6widgets6* && \"\$depends\" == *libmodbus* ]]"

share="$root/usr/share"
for f in bin/torvane share/applications/torvane.desktop share/metainfo/org.torvane.Torvane.metainfo.xml \
         share/icons/hicolor/48x48/apps/torvane.png share/icons/hicolor/256x256/apps/torvane.png \
         share/icons/hicolor/scalable/apps/torvane.svg share/man/man1/torvane.1.gz \
         share/doc/torvane/copyright share/torvane/examples/bridge.awl \
         share/torvane/examples/exercises/bridge/exercise.toml; do
  check "the package holds /usr/$f" "[ -s \"$root/usr/$f\" ]"
done
check "the manual page carries the options of --help" \
  "zcat \"$share/man/man1/torvane.1.gz\" | grep -q -- 'scenario' && zcat \"$share/man/man1/torvane.1.gz\" | grep -q '^\\.TH TORVANE .1.'"
check "the manual page is in English, whatever the language of the machine that built it" \
  "zcat \"$share/man/man1/torvane.1.gz\" | grep -q 'show this help'"
check "the copyright file names the MIT licence" "grep -q '^License: MIT' \"$share/doc/torvane/copyright\""
check "the launcher is valid" "desktop-file-validate \"$share/applications/torvane.desktop\""
check "the metainfo is valid" \
  "appstreamcli validate --no-net \"$share/metainfo/org.torvane.Torvane.metainfo.xml\" >\"$work/as.log\" 2>&1 || { cat \"$work/as.log\"; false; }"

bin="$root/usr/bin/torvane"
# In English whatever the language of the machine running the test (messages are matched).
run() { (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE LC_ALL="${run_locale:-C.UTF-8}" QT_QPA_PLATFORM=offscreen "$bin" "$@"); }
out="$(run --version 2>&1)"
check "the unpacked program runs" "[[ \"\$out\" =~ ^torvane\ [0-9] ]]"
out="$(run_locale=es_ES.UTF-8 run --help 2>&1)"
check "the unpacked program speaks Spanish on a Spanish desktop" "[[ \"\$out\" == Uso:* ]]"
out="$(run --headless --scenario bridge.scn "$share/torvane/examples/bridge.awl" 2>&1)"; rc=$?
check "a scenario named without a path is found among the installed examples and passes" \
  "[ $rc -eq 0 ] && [[ \"\$out\" == *'using '*examples/bridge.scn* ]]"
out="$(run --headless --scenario bridge.scn "missing.awl" 2>&1)"; rc=$?
check "a missing program of a scenario run is not replaced by a shipped one" \
  "[ $rc -eq 2 ] && [[ \"\$out\" != *'using '*bridge.awl* ]]"
out="$(run --check "$share/torvane/examples/bridge.awl" 2>&1)"; rc=$?
check "the unpacked program checks a shipped program clean" "[ $rc -eq 0 ]" || echo "$out"
out="$(run exercise check bridge 2>&1)"; rc=$?
check "an installed exercise is found by name and checks" "[ $rc -eq 0 ]" || echo "$out"

# The guide's commands, as a student or teacher types them after installing the package: every
# line of its `sh` boxes, in an empty folder holding the guide's first program; a line may say
# which exit code it expects ("# exits 1"). Only the install prefix differs from /usr.
guide="$work/guide"
mkdir -p "$guide"
awk '/^```awl$/{on=1; next} /^```$/{on=0} on' "$src/docs/guide.md" >"$guide/first.awl"
ran=0
while IFS= read -r line; do
  [ -z "$line" ] && continue
  want=0
  [[ "$line" =~ \#\ exits\ ([0-9]+)$ ]] && want="${BASH_REMATCH[1]}"
  cmd="${line//\/usr\/share\/torvane/$root/usr/share/torvane}"
  (cd "$guide" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
     PATH="$root/usr/bin:$PATH" bash -c "$cmd") >"$work/guide.log" 2>&1
  rc=$?
  ran=$((ran + 1))
  check "the guide's '$line' exits $want" "[ $rc -eq $want ]" || cat "$work/guide.log"
done < <(awk '/^```sh$/{on=1; next} /^```$/{on=0} on' "$src/docs/guide.md")
check "the guide's commands were found" "[ $ran -ge 4 ]"
check "the guide's grading wrote its three reports" \
  "[ -s \"$guide/report.html\" ] && [ -s \"$guide/grades.csv\" ] && [ -s \"$guide/grades.xml\" ]"
exit $fail
