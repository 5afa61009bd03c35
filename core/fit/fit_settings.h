// The tuning record of the Levenberg-Marquardt engine and the codes that say why a fit
// ended, with the message each code is shown with.
#pragma once

#include <array>
#include <utility>

struct FitSettings {
    double tau = 1e-5;   // initial damping: mu = tau × the largest |diagonal entry| of JᵀJ
    double eps1 = 1e-15; // gradient test: largest |gⱼ|
    double eps2 = 1e-15; // step test: ‖h‖ relative to ‖varied values‖
    double eps3 = 1e-15; // residual test: ‖r‖
    double eps4 = 0.0;   // above 0: stop when every step component is within eps4 standard deviations
    int kmax = 1000;     // accepted steps at most
    int dmax = 0;        // kept and edited with the others; the engine does not read it
};

enum FitStopCode : int {
    FitStopSmallGradient = 0,
    FitStopSmallStep = 1,
    FitStopSmallChiSquare = 2,
    FitStopIterationLimit = 3,
    FitStopNuTooLarge = 4,
    FitStopNoSignificantDecrease = 5,  // never produced by lm_fit
    FitStopByCaller = 6,
    FitStopSmallStepRelativeToStdDev = 7,
    FitStopTooManyVariables = 8,
    FitStopNoVariables = 9,
    FitStopZeroStdDev = 10,         // also a deviation of +infinity: no weight at all
    FitStopDataNotFinite = 11,      // a velocity or count not finite, or a deviation NaN
};

// The message-table id of a stop code's text; 50025 "unspecified exit reason" for a
// code outside the table.
constexpr unsigned fit_stop_message_id(int code)
{
    constexpr std::array<std::pair<int, unsigned>, 12> ids{{
        {0, 50016}, {1, 50017}, {2, 50018}, {3, 50019}, {4, 50020},  {5, 50021},
        {6, 50022}, {7, 50023}, {8, 50024}, {9, 50026}, {10, 50027}, {11, 50121},
    }};
    for (const auto& [c, id] : ids)
        if (c == code)
            return id;
    return 50025;
}
