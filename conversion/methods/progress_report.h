#pragma once

#include <functional>

// Told the fraction done (0..1) now and then by long conversions; called on
// the converting thread. An empty function is never called.
using ProgressReport = std::function<void(double fraction)>;
