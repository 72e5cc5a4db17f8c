#pragma once

// What rasterine-convert tells the shell.
enum ExitStatus : int {
    kExitConverted = 0,   // every picture converted and written
    kExitFailed = 1,      // at least one picture failed; each failure was reported
    kExitUsageError = 2,  // the command line was wrong; nothing was read or written
};
