#pragma once

#include "cli/exit_status.h"
#include "cli/options.h"

// Converts every picture in `options`, up to options.threads at a time. A
// picture that fails does not stop the others. Failures go to standard error
// as "rasterine-convert: PICTURE: reason", the files written (with --verbose)
// to standard output, whole lines at a time; on a terminal a long batch also
// shows its progress on standard error. Nothing else reaches standard error
// while pictures are decoded: the decoders' own remarks are dropped.
ExitStatus runBatch(const Options& options);
