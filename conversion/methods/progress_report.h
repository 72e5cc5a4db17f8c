#pragma once

#include <functional>

// Told the fraction done (0..1) now and then by long conversions; called on
// the converting thread. An empty function is never called. A conversion is
// stopped through its std::stop_token, not from here; a report that throws
// all the same leaves the engine by unwinding, as it holds nothing that
// needs more, and what it was converting into is then left unfinished.
using ProgressReport = std::function<void(double fraction)>;
