// The record of a spectrum's automatic analysis (filled by analyze_spectrum): the
// main fields read the spectrum as an absorption spectrum (dips below a high
// baseline), the *_e block as an emission spectrum (peaks above a low baseline).
#pragma once

#include <cstdint>
#include <vector>

// One line found by the analysis.
struct SpectrumLine {
    double x = 0.0;          // position (mm/s)
    double count = 0.0;      // smoothed count there (a line marked by hand: the raw count)
    std::int32_t index = 0;  // point index
};

struct SpectrumAnalysis {
    double N0 = 1e7;                  // baseline level (counts)
    double depth = 2e6;               // N0 minus the smallest count
    double Q = 100.0;                 // signal-to-noise figure of the deepest point
    double WH2 = 6.0;                 // width of the region below half depth (mm/s)
    double XWH2 = 0.0;                // centre of that region (mm/s)
    double Xc = 0.0;                  // centre of the velocity interval (mm/s)
    double S = 942477.7960769379;     // area (counts·mm/s); 300000·π
    double XSc = 0.0;                 // centroid (mm/s)
    double XSc_err = 0.0;
    double Dv = 0.0;                  // dispersion about the mean velocity (mm²/s²)
    double Dv_err = 0.0;
    double line_width = 0.3;          // full width at half height of the first found line
    std::uint32_t auto_filter_width = 1;  // smoothing half width (points) chosen automatically
    bool valid = false;               // set by the caller when the analysis succeeded
    bool peaks_up = false;            // the spectrum looks like an emission spectrum
    std::vector<SpectrumLine> lines;  // minima found, by increasing index

    // Emission block.
    double Q_e = 100.0;
    double S_e = 4712.38898038469;  // 1500·π
    double height_e = 10000.0;      // largest count minus N0_e
    double Dv_e = 0.0;
    double Dv_e_err = 0.0;
    double N0_e = 10000.0;
    double WH2_e = 6.0;
    double XWH2_e = 0.0;
    double XSc_e = 0.0;
    double XSc_e_err = 0.0;
    std::vector<SpectrumLine> lines_e;  // maxima found, by increasing index

    // Back to the defaults above, both line lists empty.
    void reset();

    // A copy whose main fields take the emission block's values; Xc, line_width,
    // auto_filter_width, valid, peaks_up and the emission block stay as they are.
    SpectrumAnalysis emission_reading() const;
};
