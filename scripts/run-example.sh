#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds the two programs and
# the synthesiser (not the tests and benchmarks), synthesises the bundled
# example (a stereo transfer of an old record, with clicks, crackle, surface
# noise and rumble of its own in each channel) and restores it with
# sonorel-cli, printing where the result is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The same build folder and configuration as scripts/build.sh, so that
# scripts/run-tests.sh later builds only what is left.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONOREL_WERROR=ON
cmake --build build --target sonorel sonorel-cli sonorel-make-example

example=build/example
mkdir -p "$example/restored"
# The synthesiser is deterministic; an existing transfer is the same file.
if [ ! -e "$example/transfer.wav" ]; then
    build/tools/sonorel-make-example --seconds 8 "$example/transfer.wav"
fi

# sonorel-cli never overwrites: a second run writes transfer-1.wav, and so on.
# It lists each restored file on standard output as "INPUT -> OUTPUT". The
# picture of the run goes beside it, under the output's name.
listing=$(build/src/cli/sonorel-cli --picture "$example/restored" -o "$example/restored" \
    "$example/transfer.wav")
restored=${listing##* -> }

echo
echo "Example transfer (stereo): $(realpath "$example/transfer.wav")"
echo "Restored (mono):           $restored"
echo "Picture of the run:        ${restored%.*}.png"
