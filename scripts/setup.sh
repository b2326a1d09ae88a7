#!/usr/bin/env bash
# Installs what Quorvel needs to build, run and test on Debian 12, then configures and
# builds it in ./build. Packages already present are not installed again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n libqt6sql6-sqlite
    fonts-noto-cjk fonts-arphic-ukai
    libbenchmark-dev
    python3 python3-fluids python3-numpy time sqlite3
    libxlsxwriter-dev libgsf-1-dev python3-xlrd python3-openpyxl locales nlohmann-json3-dev
    unrtf pandoc poppler-utils clang libclang-rt-dev
    appstream desktop-file-utils man-db dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
