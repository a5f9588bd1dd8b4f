#!/usr/bin/env bash
# torvane grade/check/exercise check on the bridge exercise and its sample class.
set -u
exe=$1 src=$2 xsd=$3
ex="$src/examples/exercises/bridge"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

"$exe" exercise check "$ex" >"$out/ex.txt" 2>&1
check "the bridge exercise validates" '[ $? -eq 0 ] && grep -q "passes all 9 scenarios" "$out/ex.txt"'

"$exe" grade "$ex" "$ex/submissions" --jobs 2 --junit "$out/r.xml" --html "$out/r.html" \
  --csv "$out/r.csv" >"$out/grade.txt" 2>&1
check "grade exits 0" '[ $? -eq 0 ]'
check "junit matches the schema" 'xmllint --noout --schema "$xsd" "$out/r.xml" 2>"$out/xmllint.txt"'
check "the correct program scores 100" 'grep -q "^ana,passed,passed,passed,passed,passed,passed,passed,passed,passed,100.0$" "$out/r.csv"'
check "no interlock lets SUBIR close KM1 against KM2 during the descent" 'grep -q "^bruno,passed,passed,passed,passed,passed,passed,passed,passed,failed,92.3$" "$out/r.csv"'
check "no watchdog fails the jam, the stuck limit switch and the welded contactor" 'grep -q "^diego,passed,passed,passed,passed,passed,failed,failed,failed,passed,76.9$" "$out/r.csv"'
check "a wrong limit switch fails the cycle" 'grep -q "^elena,failed," "$out/r.csv"'
check "missing REARME handling" 'grep -q "^fede,passed,failed,failed,failed,failed,passed,passed,passed,passed,61.5$" "$out/r.csv"'
check "a syntax error is a load failure with its place" 'grep -q "gabi.awl:125:13" "$out/r.html"'
check "the html report is self-contained with a timing chart" \
  'grep -q "<svg" "$out/r.html" && ! grep -qE "(src|href)=.http" "$out/r.html"'

"$exe" check "$ex" "$ex/solution/bridge.awl" >"$out/check.txt" 2>&1
check "check passes the solution on the visible scenario only" \
  '[ $? -eq 0 ] && grep -q "cycle: passed" "$out/check.txt" && ! grep -q estop "$out/check.txt"'
"$exe" check "$ex" "$ex/submissions/elena.awl" >"$out/check.txt" 2>&1
check "check fails a wrong program" '[ $? -eq 1 ] && grep -q "line 37" "$out/check.txt"'

"$exe" grade "$ex" "$ex/submissions" --jobs zero >/dev/null 2>"$out/usage.txt"
check "a bad --jobs is a usage error" '[ $? -eq 2 ] && grep -q "jobs" "$out/usage.txt"'
"$exe" exercise check "$src/examples" >/dev/null 2>"$out/none.txt"
check "a folder without exercise.toml is refused" '[ $? -eq 1 ] && grep -q "no exercise.toml" "$out/none.txt"'

# A scenario that is a FIFO would block a plain read for ever; it is refused at once.
mkdir "$out/fifo" && cp "$ex/exercise.toml" "$out/fifo/" && mkdir "$out/fifo/scenarios"
for f in "$ex"/scenarios/*.scn; do cp "$f" "$out/fifo/scenarios/"; done
rm "$out/fifo/scenarios/cycle.scn" && mkfifo "$out/fifo/scenarios/cycle.scn"
timeout 20 "$exe" exercise check "$out/fifo" >/dev/null 2>"$out/fifo.txt"
check "a FIFO as a scenario is refused without blocking" '[ $? -eq 1 ] && grep -q "cycle.scn" "$out/fifo.txt"'

exit $fail
