#!/usr/bin/env bash
# The command line end to end on a machine without a display: help and version, usage errors,
# headless scenario runs and their exit codes (0 held, 1 failed, 2 cannot be loaded, with
# file:line:col on stderr), the trace and the screenshots.
set -u
bin="$(realpath "$1")"
src="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }
# Messages are checked in English, whatever the language of the machine running the tests.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE LC_ALL=C.UTF-8 "$bin" "$@"; }
data="$src/tests/app/data"

out="$(run --version 2>&1)"; rc=$?
check "--version exits 0 without a display" "[ $rc -eq 0 ]"
check "--version names the program and a version" "[[ \"\$out\" =~ ^torvane\ [0-9]+\.[0-9]+\.[0-9]+ ]]"
out="$(run --help 2>&1)"; rc=$?
check "--help exits 0 and lists the options" "[ $rc -eq 0 ] && [[ \"\$out\" == *--scenario* && \"\$out\" == *--headless* && \"\$out\" == *--trace* && \"\$out\" == *--screenshot* && \"\$out\" == *--run* ]]"

run --no-such-option >/dev/null 2>&1; rc=$?
check "an unknown option exits 2" "[ $rc -eq 2 ]"
# The language: --lang, else the desktop's locale; a language without a catalogue is refused.
out="$(run --lang es --help 2>&1)"; rc=$?
check "--lang es gives the help in Spanish" "[ $rc -eq 0 ] && [[ \"\$out\" == Uso:* && \"\$out\" == *--scenario* ]]"
out="$(run --lang xx --help 2>&1)"; rc=$?
check "--lang xx exits 2 naming the languages there are" "[ $rc -eq 2 ] && [[ \"\$out\" == *\"no 'xx' translation\"*'en, es'* ]]"
out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE LC_ALL=es_ES.UTF-8 "$bin" --bogus 2>&1)"
check "a Spanish desktop gets the errors in Spanish" "[[ \"\$out\" == *'opción desconocida'* ]]"
out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE LC_ALL=es_ES.UTF-8 "$bin" --lang en --help 2>&1)"
check "--lang en wins over a Spanish desktop" "[[ \"\$out\" == Usage:* ]]"
out="$(run --headless "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "--headless without --scenario exits 2 and says why" "[ $rc -eq 2 ] && [[ \"\$out\" == *--scenario* ]]"
out="$(run "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "without a display the windows are not opened, with advice" "[ $rc -ne 0 ] && [[ \"\$out\" == *--headless* ]]"

out="$(run --headless --scenario "$data/failing.scn" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "a failing expectation exits 1" "[ $rc -eq 1 ]"
check "and the summary counts it" "[[ \"\$out\" == *'1 passed, 1 failed'* ]]"

out="$(run --headless --scenario "$src/examples/bridge.scn" "$data/broken.awl" 2>&1)"; rc=$?
check "a program that does not compile exits 2" "[ $rc -eq 2 ]"
check "naming file:line:col" "[[ \"\$out\" =~ broken\.awl:6:[0-9]+: ]]"

out="$(run --headless --scenario "$data/broken.scn" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "a scenario that does not parse exits 2" "[ $rc -eq 2 ]"
check "naming file:line:col for each error" "[[ \"\$out\" =~ broken\.scn:2:5: && \"\$out\" =~ broken\.scn:3:[0-9]+: ]]"

out="$(run --headless --scenario "$data/unknown_component.scn" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "unknown names exit 2 before anything runs" "[ $rc -eq 2 ] && [[ \"\$out\" == *'unknown_component.scn:2:1:'*SubirBoton* && \"\$out\" != *passed* ]]"

out="$(run --headless --scenario "$work/missing.scn" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "a missing scenario exits 2 naming it" "[ $rc -eq 2 ] && [[ \"\$out\" == *missing.scn:1:1:* ]]"

run --headless --scenario "$src/examples/bridge.scn" --trace "$work/run.vcd" "$src/examples/bridge.awl" >/dev/null 2>&1; rc=$?
check "a traced run still passes" "[ $rc -eq 0 ]"
check "the trace names the bits by symbol and carries the elevation" \
  "grep -q 'E124_1_SUBIR' \"$work/run.vcd\" && grep -q 'A125_7_S_ROJO' \"$work/run.vcd\" && grep -q ' Elevacion ' \"$work/run.vcd\""
check "the trace ends on plant time past 80 s" "[ \"\$(grep '^#' \"$work/run.vcd\" | tail -1 | tr -d '#')\" -gt 80000 ]"

mkdir -p "$work/shots"
out="$(run --headless --scenario "$src/docs/main-window.scn" --screenshot "$work/shots/a" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "--screenshot writes a PNG of every window" "[ $rc -eq 0 ] && [ -s \"$work/shots/a/main-window.png\" ] && [ -s \"$work/shots/a/plc-window.png\" ] && [ -s \"$work/shots/a/simulator-window.png\" ]"
check "the file is a PNG" "head -c 8 \"$work/shots/a/main-window.png\" | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a'"
out="$(run --run --trace "$work/start.vcd" --screenshot "$work/shots/b" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "--screenshot without a scenario renders the start and exits" "[ $rc -eq 0 ] && [ -s \"$work/shots/b/main-window.png\" ]"
check "--run starts the CPU: the trace shows phase 0 lit" "grep -q 'A125_0_L_FASE0' \"$work/start.vcd\" && [ \"\$(grep -c '^#' \"$work/start.vcd\")\" -ge 2 ]"
touch "$work/blocker"
out="$(run --run --screenshot "$work/blocker/x" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "an unwritable folder fails with a message naming it" "[ $rc -ne 0 ] && [[ \"\$out\" == *blocker* ]]"

out="$(run --run --screenshot "$work/nowhere/deeper/x" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "a screenshot folder is made, but not the missing folders above it" "[ $rc -ne 0 ] && [ ! -e \"$work/nowhere\" ] && [[ \"\$out\" == *nowhere/deeper/x* ]]"

# No output may replace what the user wrote: the run's own inputs, any file that is not an
# earlier output of the same kind, a device. Each case: the arguments, then the file that must
# come out of the run byte for byte as it went in ("" for none).
cp "$src/examples/bridge.awl" "$work/P.awl"; cp "$data/failing.scn" "$work/S.scn"
printf 'notes of my own\n' > "$work/notes.vcd"; printf 'not a picture\n' > "$work/notes.png"
for f in P.awl S.scn notes.vcd notes.png; do cp "$work/$f" "$work/$f.orig"; done
while IFS='|' read -r name kept args; do
  [ -z "$name" ] && continue
  for f in P.awl S.scn notes.vcd notes.png; do cp "$work/$f.orig" "$work/$f"; done
  eval "set -- $args"
  out="$(cd "$work" && run "$@" 2>&1)"; rc=$?
  check "$name: refused with a message" "[ $rc -ne 0 ] && [[ \"\$out\" == *torvane:* ]] && [[ \"\$out\" != *' 0 failed'* ]]"
  [ -n "$kept" ] && check "$name: $kept unchanged" "cmp -s \"$work/$kept\" \"$work/$kept.orig\""
done <<'CASES'
the program as the trace|P.awl|--headless --scenario S.scn --trace P.awl
the program as the trace and the program|P.awl|--headless --scenario S.scn --trace P.awl P.awl
the scenario as the trace|S.scn|--headless --scenario S.scn --trace S.scn P.awl
a file that is not a trace|notes.vcd|--headless --scenario S.scn --trace notes.vcd P.awl
a device as the trace||--headless --scenario S.scn --trace /dev/full P.awl
the program as the chart|P.awl|--headless --scenario S.scn --chart P.awl P.awl
a file that is not a chart|notes.vcd|--headless --scenario S.scn --chart notes.vcd P.awl
a file that is not a picture as the gallery|notes.png|--gallery notes.png
the program as the module figure|P.awl|--render-module P.awl
the program as a grading report|P.awl|grade "$src/examples/exercises/bridge" "$src/examples/exercises/bridge/solution" --csv P.awl
CASES
cp "$work/P.awl.orig" "$work/P.awl"
sed -i 's/^expect "FC_D" == 1$/expect "FC_A" == 1/' "$work/S.scn"
run --headless --scenario "$work/S.scn" --trace "$work/again.vcd" "$work/P.awl" >/dev/null 2>&1
out="$(run --headless --scenario "$work/S.scn" --trace "$work/again.vcd" "$work/P.awl" 2>&1)"; rc=$?
check "an earlier trace is replaced" "[ $rc -eq 0 ] && head -1 \"$work/again.vcd\" | grep -q Torvane"
run --headless --scenario "$work/S.scn" --chart "$work/run.svg" "$work/P.awl" >/dev/null 2>&1
out="$(run --headless --scenario "$work/S.scn" --chart "$work/run.svg" "$work/P.awl" 2>&1)"; rc=$?
check "a run draws its chart, replacing an earlier one" "[ $rc -eq 0 ] && sed -n 2p \"$work/run.svg\" | grep -q 'Torvane timing chart' && grep -q 'A124.0 KM1' \"$work/run.svg\""
# A write that fails half-way (the file size limit here; a full disk alike) fails the run and
# leaves neither a partial trace nor a temporary file.
out="$( (trap '' XFSZ; ulimit -f 1; run --headless --scenario "$work/S.scn" --trace "$work/cut.vcd" "$work/P.awl") 2>&1)"; rc=$?
check "a trace that cannot be written whole fails the run" "[ $rc -ne 0 ] && [[ \"\$out\" == *cut.vcd* ]] && [ -z \"\$(ls \"$work\" | grep cut)\" ]"

# --check compiles without the plant: every message as file:line:col, exit 0 clean, 2 not.
out="$(run --check "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "--check of a clean program exits 0 quietly, without a display" "[ $rc -eq 0 ] && [ -z \"\$out\" ]"
printf 'U "SUBIR"\n= "KM1"\nXYZ M 1.0\nL MW 2\nENT\nT MW 4\nU "NOPE"\n' > "$work/two.awl"
out="$(run --check "$work/two.awl" 2>&1)"; rc=$?
check "--check of a broken program exits 2" "[ $rc -eq 2 ]"
check "every error and the warning in order, as file:line:col: message" \
  "[ \"\$(printf '%s\n' \"\$out\" | sed -E 's/^([^:]*):([0-9]+):([0-9]+): (warning: )?.*/\\2 \\4/' | tr '\\n' ,)\" = '3 ,5 warning: ,7 ,' ]"
check "the messages name the file" "[[ \"\$out\" == \"$work/two.awl:3:\"* ]]"
run --check "$src/examples/bridge.awl" "$work/missing.sdf" >"$work/out" 2>&1; rc=$?
check "--check with a missing symbol table exits 2 naming it" "[ $rc -eq 2 ] && grep -q 'missing.sdf:1:' \"$work/out\""
run --check >/dev/null 2>&1; rc=$?
check "--check without a program is a usage error" "[ $rc -eq 2 ]"

# Inputs that are not text files are refused at once, saying what they are, never read forever.
mkfifo "$work/pipe.awl"; mkdir "$work/folder.awl"
printf '\xff\xfeO\x00B\x00 \x001\x00\n\x00' > "$work/utf16.awl"
printf 'O\x00B\x00 \x001\x00\n\x00' > "$work/utf16.scn"
while IFS='|' read -r name said args; do
  [ -z "$name" ] && continue
  eval "set -- $args"
  out="$(cd "$work" && timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY "$bin" --headless "$@" 2>&1)"; rc=$?
  check "$name is refused: $said" "[ $rc -eq 2 ] && [[ \"\$out\" == *\"$said\"* ]]"
done <<'CASES'
/dev/zero as the program|regular file|--scenario S.scn /dev/zero
/dev/zero as the scenario|regular file|--scenario /dev/zero P.awl
a FIFO as the program|regular file|--scenario S.scn pipe.awl
a folder as the program|folder|--scenario S.scn folder.awl
a folder as the scenario|folder|--scenario folder.awl P.awl
a UTF-16 program|UTF-16|--scenario S.scn utf16.awl
a UTF-16 scenario without a byte-order mark|UTF-16|--scenario utf16.scn P.awl
CASES

# Another PLC over Modbus TCP: the test peer's "program" rotates each input word left by three
# bits into the output word, so the plant's start-up inputs (E124.3, E124.4, E125.0) come back as
# A124.6, A124.7 and A125.3.
out="$(run --plc modbus:somewhere,unit=300 --headless --scenario "$src/examples/bridge.scn" 2>&1)"; rc=$?
check "a wrong --plc text exits 2 naming the wrong part" "[ $rc -eq 2 ] && [[ \"\$out\" == *'unit \"300\"'* ]]"
out="$(run --plc modbus:127.0.0.1 --headless --scenario "$src/examples/bridge.scn" "$src/examples/bridge.awl" 2>&1)"; rc=$?
check "a program cannot be loaded into an external PLC" "[ $rc -eq 2 ] && [[ \"\$out\" == *'external PLC'* ]]"
coproc PEER { exec /usr/bin/python3 "$src/tests/plc/peers/modbus_plc_peer.py"; }
peer_pid=$PEER_PID
line=""
read -r -t 20 line <&"${PEER[0]}"
port="${line#PORT }"
check "the Modbus test peer starts (python3-pymodbus, from scripts/setup)" "[[ \"$line\" == PORT* ]]"
printf 'mode RUN\nwait A124.7 == 1 timeout 2s\nexpect A124.6 == 1\nexpect A125.3 == 1\nexpect A124.0 == 0\n' > "$work/external.scn"
out="$(run --plc "modbus:127.0.0.1:$port" --headless --scenario "$work/external.scn" 2>&1)"; rc=$?
check "the plant runs against an external PLC over Modbus TCP" "[ $rc -eq 0 ] && [[ \"\$out\" == *'4 passed, 0 failed'* ]]"
# The external PLC lives on the wall clock, so the plant does too: 1.5 s of plant time take
# 1.5 s, and the stamps still read plant time.
printf 'mode RUN\nrun 1500ms\nexpect A124.7 == 1\n' > "$work/paced.scn"
t0=$(date +%s%N)
out="$(run --plc "modbus:127.0.0.1:$port" --headless --scenario "$work/paced.scn" 2>&1)"; rc=$?
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
check "with an external PLC plant time follows the wall clock (took $ms ms)" "[ $rc -eq 0 ] && [ $ms -ge 1500 ] && [ $ms -lt 6000 ] && [[ \"\$out\" == *'[    1.500 s] expect'* ]]"
kill "$peer_pid" 2>/dev/null; wait "$peer_pid" 2>/dev/null
out="$(run --plc "modbus:127.0.0.1:$port,timeout=50" --headless --scenario "$work/external.scn" 2>&1)"; rc=$?
check "an unreachable external PLC ends start-up with the message" "[ $rc -ne 0 ] && [[ \"\$out\" == *'PLCSim must be executed before the simulation'* ]]"
exit $fail
