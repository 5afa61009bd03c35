// Poisson deviates for simulated spectra and the deconvolution, drawn from the one
// process-wide random engine.
#pragma once

#include <random>

// The process-wide MT19937 engine, created on first use (thread-safe) and seeded with
// one value from the system's non-deterministic random device. The program never
// reseeds it; tests do, for reproducible draws. Not locked: its users run in the UI
// thread.
std::mt19937& random_engine();

// A Poisson deviate of the given mean: 0 for a mean of 0 or below (−∞ included).
// A mean that is not a number, is +∞ or exceeds the range of int throws std::range_error
// (the sampler would otherwise never return). Draws above the range of int are redrawn.
int poisson_sample(double mean);
