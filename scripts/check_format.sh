#!/usr/bin/env bash
# Fails, naming the files, when a C++ file differs from what the project's
# .clang-format makes of it. `scripts/check_format.sh --fix` formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
# Tracked files and new ones not yet added (ignored build folders stay out).
mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/lexmire-format.$$; then
  sed -n 's/^\([^:]*\.\(cpp\|h\)\):[0-9]*:[0-9]*: .*/not formatted: \1/p' /tmp/lexmire-format.$$ | sort -u >&2
  rm -f /tmp/lexmire-format.$$
  echo "run scripts/check_format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/lexmire-format.$$
