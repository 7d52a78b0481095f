#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test the plug-in:
#   1. installs the system packages the build needs (only the missing ones),
#   2. unpacks JUCE 8 from Debian 13's `juce` source package into a cache
#      outside the repository.
# Safe to run again: when everything is in place it returns in a second.
# Prints the JUCE tree's path as its last line of output.
set -euo pipefail

JUCE_VERSION="8.0.6+ds-2"
JUCE_DIRNAME="juce-8.0.6+ds"
CACHE_DIR="${VAZEZAV_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vazezav}"

PACKAGES=(
    build-essential cmake pkg-config dpkg-dev ca-certificates
    libasound2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev
    zlib1g-dev libpng-dev libjpeg-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    lilv-utils xvfb xauth x11-utils fonts-dejavu-core fonts-liberation
)
PACKAGES+=(${VAZEZAV_EXTRA_PACKAGES:-})

log() { echo "setup: $*" >&2; }

as_root() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for pkg in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return
    fi
    log "installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Reads the Debian mirror and keyring that the system's own apt sources use,
# so that no mirror address has to live in this repository.
system_debian_source() {
    local uri="" keyring=""
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
        uri=$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources)
        keyring=$(awk '/^Signed-By:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources)
    fi
    if [[ -z "$uri" ]]; then
        local line
        line=$(grep -hE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
               | grep -v security | grep -E 'debian' | head -n1 || true)
        uri=$(sed -E 's/^deb (\[[^]]*\] )?([^ ]+).*/\2/' <<<"$line")
        keyring=$(sed -nE 's/.*signed-by=([^] ]+).*/\1/p' <<<"$line")
    fi
    [[ -n "$keyring" ]] || keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    if [[ -z "$uri" ]]; then
        log "cannot find a Debian mirror in the system's apt sources"
        exit 1
    fi
    echo "$uri $keyring"
}

fetch_juce() {
    local tree="$CACHE_DIR/$JUCE_DIRNAME"
    if [[ -f "$tree/CMakeLists.txt" && -f "$tree/.vazezav-complete" ]]; then
        echo "$tree"
        return
    fi

    log "fetching JUCE $JUCE_VERSION source package into $CACHE_DIR"
    local apt_dir="$CACHE_DIR/apt"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
    local uri keyring
    read -r uri keyring < <(system_debian_source)
    echo "deb-src [signed-by=$keyring] $uri trixie main" > "$apt_dir/sources.list"

    local apt_opts=(
        -o "Dir::Etc::sourcelist=$apt_dir/sources.list"
        -o "Dir::Etc::sourceparts=$apt_dir/parts"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
    )
    apt-get "${apt_opts[@]}" update -qq >&2

    local work="$CACHE_DIR/download"
    rm -rf "$work" "$tree"
    mkdir -p "$work"
    (cd "$work" && apt-get "${apt_opts[@]}" source --download-only "juce=$JUCE_VERSION" >&2)
    (cd "$work" && dpkg-source --no-check -x "juce_${JUCE_VERSION#*:}.dsc" "$tree" >&2)
    rm -rf "$work"
    touch "$tree/.vazezav-complete"
    echo "$tree"
}

install_packages
fetch_juce
