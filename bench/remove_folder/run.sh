#!/usr/bin/env bash
# RemoveFolder against rm -rf on identical trees: 20,000 files in 1,000
# folders, and one folder of 3,000 subfolders; $1 is the optimised build folder.
set -euo pipefail
"$1/bench/remove_folder/remove_folder_bench"
