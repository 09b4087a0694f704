#!/bin/sh
# Runs kytsim on every case below twice, with the result file in ASCII
# (RMODE 0) and in binary (RMODE 1), both with the header (HMODE 1), and
# compares the exit status and the SHA-256 of standard output, standard
# error and the result file with the digests recorded in MANIFEST. The
# digests were taken from kytsim before its run loop, its echo and its
# number text were made faster: every byte must stay as it was.
#
#   kytsim_golden.sh KYTSIM SOURCE_DIR INSTALL_DIR MANIFEST [--write]
#
# --write records the digests of this kytsim into MANIFEST instead.
set -eu
# The runs change directory: every path is made absolute.
kytsim=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source=$2
install=$(cd "$3" && pwd)
manifest=$4
mode=${5:-check}

work=$(mktemp -d "${TMPDIR:-/tmp}/kytsim-golden-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
actual=$work/actual
: > "$actual"

digest() {
  sha256sum < "$1" | cut -d' ' -f1
}

# runOnce DIR RMODE STDOUT KIND MODEL [OPTIONS ...]: one run in the fresh
# directory DIR with the model (and the data file of dateiwerte.kyt beside
# it) copied in; KIND "model" is model text, "circuit" a saved circuit run
# with the installation's kyt.ini. Sets status.
runOnce() {
  dir=$1
  rmode=$2
  out=$3
  kind=$4
  model=$5
  shift 5
  mkdir "$dir"
  cp "$model" "$dir/"
  if [ -f "$(dirname "$model")/messwerte.txt" ]; then
    cp "$(dirname "$model")/messwerte.txt" "$dir/"
  fi
  ini=""
  [ "$kind" = circuit ] && ini="$install/kyt.ini"
  set +e
  (cd "$dir" && "$kytsim" "$(basename "$model")" ${ini:+--ini "$ini"} "$@" \
    --FNAME result --RMODE "$rmode" --HMODE 1 > "$out" 2> stderr)
  status=$?
  set -e
  [ -f "$dir/result" ] || : > "$dir/result"
}

# runCase NAME KIND MODEL [OPTIONS ...]
runCase() {
  name=$1
  shift
  runOnce "$work/$name-ascii" 0 stdout "$@"
  asciiStatus=$status
  echo "$name ascii $status $(digest "$dir/stdout") $(digest "$dir/stderr") $(digest "$dir/result")" >> "$actual"
  runOnce "$work/$name-binary" 1 stdout "$@"
  echo "$name binary $status $(digest "$dir/stdout") $(digest "$dir/stderr") $(digest "$dir/result")" >> "$actual"
  # Standard output on the null device: kytsim formats nothing for it, and
  # the run, its messages and its result file stay the same.
  runOnce "$work/$name-null" 0 /dev/null "$@"
  if [ "$status" != "$asciiStatus" ] || ! cmp -s "$dir/result" "$work/$name-ascii/result" ||
     ! cmp -s "$dir/stderr" "$work/$name-ascii/stderr"; then
    echo "$name with standard output on the null device: status, messages or result file differ"
    nullDiffers=1
  fi
}
nullDiffers=0

for example in abtastregelung example fuzzy identifikation laplace lose ofen pi-pt2 totzeit-pid; do
  runCase "example-$example" circuit "$install/Beispiele/$example.kyt"
done
runCase decay-1 model "$source/examples/decay.kyt" --IALG 1 --INITSTEP 0.01
runCase decay-8 model "$source/examples/decay.kyt" --IALG 8 --INITSTEP 0.01
for method in 2 3 4 5 6 7 9; do
  runCase "decay-$method" model "$source/examples/decay.kyt" --IALG $method --RELERR 1e-6 --ABSERR 1e-6
done
for method in 6 7 9; do
  runCase "vanderpol1000-$method" model "$source/tests/engine/fixtures/vanderpol1000.kyt" --IALG $method
done
runCase onrise-1 model "$source/tests/engine/fixtures/onrise.kyt" --IALG 1 --INITSTEP 0.01
runCase onrise-6 model "$source/tests/engine/fixtures/onrise.kyt" --IALG 6
runCase sprung-6 model "$source/tests/engine/fixtures/sprung.kyt" --IALG 6
runCase dateiwerte-1 model "$source/tests/engine/data/dateiwerte.kyt" --IALG 1 --INITSTEP 0.1
runCase ueberlauf-1 model "$source/tests/engine/golden/ueberlauf.kyt" --IALG 1 --INITSTEP 0.01
runCase ueberlauf-6 model "$source/tests/engine/golden/ueberlauf.kyt" --IALG 6
runCase kette50-8 model "$source/tests/engine/golden/kette50.kyt" --IALG 8 --INITSTEP 0.001
runCase kette50-5 model "$source/tests/engine/golden/kette50.kyt" --IALG 5

if [ "$mode" = --write ]; then
  cp "$actual" "$manifest"
  echo "wrote $(wc -l < "$manifest") digests to $manifest"
  exit 0
fi
if diff "$manifest" "$actual" && [ $nullDiffers = 0 ]; then
  echo "$(wc -l < "$actual") runs as recorded, and the same with standard output on the null device"
  exit 0
fi
echo "kytsim's output differs from the recorded digests (lines: name form status stdout stderr result)"
exit 1
