#!/usr/bin/env bash
# Installs the Debian packages that every build and test needs, when missing
# (scripts/packages.sh lists them). The packages of the Windows road, the
# 32-bit Wine or the guest's tools, come with the road's choice
# (scripts/road.sh), made by the scripts that run Windows programs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
require_packages "${host_packages[@]}"
