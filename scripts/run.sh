#!/usr/bin/env bash
# Sets everything up, builds the VST3, LV2 and Standalone plug-ins in Release
# and installs them where Linux hosts look:
#   ~/.vst3/QEN VAZEZAV.vst3, ~/.lv2/QEN VAZEZAV.lv2, ~/.local/bin/qen-vazezav
set -euo pipefail
cd "$(dirname "$0")/.."

juce_dir=$(bash scripts/setup.sh | tail -n1)
jobs=$(nproc)
build=build/release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVAZEZAV_BUILD_TESTS=OFF \
      -DVAZEZAV_JUCE_DIR="$juce_dir" >/dev/null
cmake --build "$build" --target VazezavPlugin_VST3 VazezavPlugin_LV2 VazezavPlugin_Standalone -j"$jobs"

artefacts="$build/VazezavPlugin_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
rm -rf "$HOME/.vst3/QEN VAZEZAV.vst3" "$HOME/.lv2/QEN VAZEZAV.lv2"
cp -r "$artefacts/VST3/QEN VAZEZAV.vst3" "$HOME/.vst3/"
cp -r "$artefacts/LV2/QEN VAZEZAV.lv2" "$HOME/.lv2/"
install -m 755 "$artefacts/Standalone/QEN VAZEZAV" "$HOME/.local/bin/qen-vazezav"

echo "Installed:"
echo "  VST3        $HOME/.vst3/QEN VAZEZAV.vst3"
echo "  LV2         $HOME/.lv2/QEN VAZEZAV.lv2"
echo "  Standalone  $HOME/.local/bin/qen-vazezav (also $artefacts/Standalone/QEN VAZEZAV)"

if command -v lv2ls >/dev/null; then
    LV2_PATH="$HOME/.lv2${LV2_PATH:+:$LV2_PATH}" lv2ls | grep -F "urn:qen:vazezav" >/dev/null \
        && echo "  lv2ls lists urn:qen:vazezav"
fi
