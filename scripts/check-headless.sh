#!/usr/bin/env bash
# Configures and builds harvestline-cli and a core test suite with HARVESTLINE_GUI=OFF, with CMake
# forbidden to find Qt Gui or Widgets, so that a dependency of the core or the CLI on either fails
# here and not on a server without them. Then runs that suite and checks that the CLI does not load
# them either.
#   scripts/check-headless.sh [BUILD_DIR]   (default: build-headless)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-headless}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --no-warn-unused-cli -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DHARVESTLINE_GUI=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Gui=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Widgets=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Svg=ON >/dev/null
cmake --build "$dir" -j "${JOBS:-2}" --target harvestline-cli platform_unit_tests
"$dir/tests/platform_unit_tests" --gtest_brief=1

if readelf -d "$dir/src/harvestline-cli" | grep -E 'NEEDED.*libQt6(Gui|Widgets)'; then
    echo "harvestline-cli loads Qt Gui or Widgets" >&2
    exit 1
fi
echo "the headless build needs neither Qt Gui nor Widgets"
