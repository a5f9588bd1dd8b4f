#!/bin/bash
# torvane --check in Spanish: "file:line:col: " as in English, the message after it in Spanish.
set -u
exe=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '      U     M 4096.0\n      UX    E 0.0\n' > "$dir/bad.awl"
cd "$dir" || exit 1
es=$(QT_QPA_PLATFORM=offscreen "$exe" --check bad.awl --lang es 2>&1)
en=$(QT_QPA_PLATFORM=offscreen "$exe" --check bad.awl --lang en 2>&1)
want_es="bad.awl:1:13: la dirección 'M 4096.0' está fuera de rango (esta área tiene los bytes 0 a 4095)
bad.awl:2:7: instrucción desconocida 'UX'; ¿quería decir 'U'?"
want_en="bad.awl:1:13: address 'M 4096.0' is out of range (this area has bytes 0 to 4095)
bad.awl:2:7: unknown instruction 'UX'; did you mean 'U'?"
status=0
if [ "$es" != "$want_es" ]; then echo "Spanish --check gave:"; echo "$es"; status=1; fi
if [ "$en" != "$want_en" ]; then echo "English --check gave:"; echo "$en"; status=1; fi
exit $status
