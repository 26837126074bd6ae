#!/usr/bin/env bash
# Fails when a tracked file still holds a merge-conflict marker line: a merge left half done
# must never reach a build or a reader of the manual.
set -euo pipefail
cd "$(dirname "$0")/.."
if hits=$(git grep -nE '^(<<<<<<< |=======$|>>>>>>> )' -- . ':!fuzz/corpus' ':!tests/data'); then
  echo "Merge-conflict markers left in tracked files:" >&2
  echo "$hits" >&2
  exit 1
fi
