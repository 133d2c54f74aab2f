#!/usr/bin/env bash
# Builds a small version 20 model into a fresh working folder and shows its tree, so a
# new checkout can be tried without any game files.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
build/tessary example "$work" >/dev/null
echo "Example working folder: $work"
build/tessary info --workdir "$work" example_crate
