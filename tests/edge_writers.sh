#!/usr/bin/env bash
# Only the front ends write files: outputs/ and recipe/ make bytes and file
# sets, and may not include the writer (platform/file_output.h) or write by
# other means. Prints each offending line and fails if there is one.
set -euo pipefail
cd "$1"
if grep -rnE '#include "platform/file_output.h"|QSaveFile|QFile::open|std::ofstream|fopen\(' \
     --include=*.h --include=*.cpp outputs recipe; then
  exit 1
fi
