#pragma once

#include <functional>

// Told the fraction done (0..1) now and then by long conversions; called on
// the converting thread. An empty function is never called. A report may
// throw to abandon the conversion: the engine holds nothing that needs more
// than unwinding, and what it was converting into is then left unfinished.
using ProgressReport = std::function<void(double fraction)>;
