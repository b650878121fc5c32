#!/usr/bin/env bash
# RemoveFolder against rm -rf on identical trees of 20,000 files in 1,000
# folders; $1 is the optimised build folder.
set -euo pipefail
"$1/bench/remove_folder/remove_folder_bench"
