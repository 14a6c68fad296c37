#!/usr/bin/env bash
# Runs the viewer against the stand-in social network with its sample network.
set -euo pipefail
echo "Halvane: the viewer is not built yet, so there is nothing to run." >&2
echo "The engine, its parameter files and themes exist; 'scripts/test.sh' builds and tests them." >&2
exit 1
