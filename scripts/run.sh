#!/usr/bin/env bash
# Sets everything up, builds the plug-ins (VST3, LV2, Standalone) and the
# vazezav-render tool in Release, installs them where Linux hosts look, and
# runs the built-in demo:
#   ~/.vst3/QEN VAZEZAV.vst3, ~/.lv2/QEN VAZEZAV.lv2,
#   ~/.local/bin/qen-vazezav (Standalone), ~/.local/bin/vazezav-render
#   demo files in build/demo/
set -euo pipefail
cd "$(dirname "$0")/.."

juce_dir=$(bash scripts/setup.sh | tail -n1)
jobs=$(nproc)
build=build/release

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVAZEZAV_BUILD_TESTS=OFF \
      -DVAZEZAV_JUCE_DIR="$juce_dir" >/dev/null
cmake --build "$build" -j"$jobs" --target \
      VazezavPlugin_VST3 VazezavPlugin_LV2 VazezavPlugin_Standalone vazezav-render

artefacts="$build/VazezavPlugin_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
rm -rf "$HOME/.vst3/QEN VAZEZAV.vst3" "$HOME/.lv2/QEN VAZEZAV.lv2"
cp -r "$artefacts/VST3/QEN VAZEZAV.vst3" "$HOME/.vst3/"
cp -r "$artefacts/LV2/QEN VAZEZAV.lv2" "$HOME/.lv2/"
install -m 755 "$artefacts/Standalone/QEN VAZEZAV" "$HOME/.local/bin/qen-vazezav"
install -m 755 "$build/tools/render/vazezav-render" "$HOME/.local/bin/vazezav-render"

echo "Installed:"
echo "  VST3            $HOME/.vst3/QEN VAZEZAV.vst3"
echo "  LV2             $HOME/.lv2/QEN VAZEZAV.lv2"
echo "  Standalone      $HOME/.local/bin/qen-vazezav  (also $artefacts/Standalone/QEN VAZEZAV)"
echo "  vazezav-render  $HOME/.local/bin/vazezav-render"

if command -v lv2ls >/dev/null; then
    if LV2_PATH="$HOME/.lv2" lv2ls | grep -qF "urn:qen:vazezav"; then
        echo "  lv2ls lists urn:qen:vazezav"
    else
        echo "  warning: lv2ls does not list urn:qen:vazezav" >&2
    fi
fi

echo
echo "Demo:"
"$build/tools/render/vazezav-render" --demo build/demo
