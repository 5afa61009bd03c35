// What the velocity calibration needs from the model catalogue and the component-line
// reader, which sit above the model core: the default baseline, a model type by its
// catalogue name, and the parameter part of a component line. The program passes the
// catalogue's implementation; tests pass their own.
#pragma once

#include <string>
#include <vector>

#include "subspec/subspec.h"

struct Isotope;

class ICalibrationCatalogue {
public:
    // The default baseline for a spectrum whose baseline level is `level`; null when
    // the catalogue has none.
    virtual SubSpecPtr create_baseline(const Isotope* isotope, double level) const = 0;
    // A new component of the model type with this display name; null when there is none.
    virtual SubSpecPtr create_by_name(const std::wstring& name, const Isotope* isotope) const = 0;
    // Reads the parameter part of a component line for `component` and appends its
    // param_count() values, flags (1: varied), lower and upper bounds to the vectors;
    // links are not read. Throws std::runtime_error for a malformed text.
    virtual void parse_params(const std::wstring& text, const ISubSpec& component, std::vector<double>& values,
                              std::vector<int>& flags, std::vector<double>& lower,
                              std::vector<double>& upper) const = 0;

protected:
    ~ICalibrationCatalogue() = default;
};

// Appends a component's parameters to the four per-parameter vectors as a new component
// starts: value 0, and the flag (1: varied) and bounds of each parameter's descriptor.
void append_descriptor_defaults(const ISubSpec& component, std::vector<double>& values, std::vector<int>& flags,
                                std::vector<double>& lower, std::vector<double>& upper);
