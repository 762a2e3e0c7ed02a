#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when they are missing.
# Idempotent and quick when everything is present. Run as root.
# With --assets it also installs the tools that remake the committed assets
# (pictures, sounds, reference documents); a build and the tests need none.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ lld pkg-config ccache
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev
    # the results journal: Qt SQL's SQLite driver
    libqt6sql6-sqlite
    # a lab's shared journal: Qt SQL's PostgreSQL driver, and a server for its tests
    libqt6sql6-psql postgresql
    # Qt's own texts (box buttons, the file dialog) in Russian
    qt6-translations-l10n
    # fonts the windows and the tests rely on
    fonts-liberation fonts-dejavu-core
    # pictures: EMF through libemf2svg
    libemf2svg-dev
    # help: chmcmd builds Help.chm, libchm reads it
    fp-utils libchm-dev
    # screenshots and real-window checks
    xvfb xauth xdotool imagemagick x11-utils
    # fuzzing and the sanitizer build
    clang libclang-rt-14-dev
    # the Debian package: dpkg-shlibdeps (with file) for its dependencies,
    # lintian and appstreamcli to judge it
    dpkg-dev file lintian appstream
)

if [[ "${1:-}" == "--assets" ]]; then
    packages+=(
        # scripts/make-art.py and scripts/make-sounds.sh
        python3 librsvg2-bin sox bc festival festvox-ru ffmpeg
        # reference documents and metafiles under tests/data (make*.sh there)
        libreoffice-writer-nogui libreoffice-draw-nogui pandoc python3-docx
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "These packages are missing: ${missing[*]}" >&2
        echo "Run this script as root to install them." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
