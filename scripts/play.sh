#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the game (a solo game without arguments).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/src/app/lexmire "$@"
