// What reading and writing a model file needs from above the document: the catalogue,
// which creates a component by its name, the component-line reader and writer, the
// renames of parameters of older model names, and the isotope table. The program
// passes the catalogue's implementation; tests pass their own.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/model/sub_model.h"

struct Isotope;
class IsotopeTable;

class ModelFileParts {
public:
    // A new component of the model type named `name` (a "[D] " prefix makes a
    // distribution) for the isotope; null when there is none.
    virtual SubSpecPtr create(const std::wstring& name, const Isotope* isotope) const = 0;
    // Reads the parameter part of a component line (the model data and every parameter
    // with value, flags, link and bounds) for the new component `subspec`, appending its
    // values, flags and bounds to the four vectors and its link requests to `links` as
    // written (targets counted from 1, dependent component 0). `name` is the component's
    // name as the file writes it, for the parameter names of older models. All or
    // nothing: std::runtime_error leaves the vectors and `links` as they were.
    virtual void read_line(const std::wstring& text, SubSpecPtr subspec, const std::wstring& name, DVector& values,
                           std::vector<int>& flags, DVector& lower, DVector& upper,
                           std::vector<LinkSpec>& links) const = 0;
    // Adds the parameter renames of an older model name for component number
    // `component` (counted from 0), "n:old" → "n:new"; nothing for a present name.
    virtual void add_param_renames(const std::wstring& name, unsigned component,
                                   std::map<std::wstring, std::wstring>& renames) const = 0;
    // The whole component line: the display name, ":", the model data and parameters.
    virtual std::wstring write_line(const SubModel& component, const DVector& values, const std::vector<int>& flags,
                                    const DVector& lower, const DVector& upper) const = 0;
    virtual const IsotopeTable& isotopes() const = 0;

protected:
    ~ModelFileParts() = default;
};
