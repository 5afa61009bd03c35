// The subspectrum: one component of a model. It knows its parameters and computes its
// contribution at given velocities for given parameter values, with or without the
// derivatives by those parameters; it never holds parameter values, so one object
// serves any number of concurrent evaluations and is shared by the document, fit jobs
// and undo records through its own atomic reference count.
//
// Capabilities that only some subspectra have are optional interfaces, found by a
// dynamic cast of the ISubSpec pointer; a null result means "not supported".
//
// Header only, so that the model core can hold subspectra without linking the
// subspectrum library.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <boost/numeric/ublas/matrix_proxy.hpp>
#include <boost/numeric/ublas/vector_proxy.hpp>
#include <boost/smart_ptr/intrusive_ptr.hpp>

#include "core/fit/model_interfaces.h"
#include "core/numerics/ublas_types.h"
#include "subspec/param_info.h"

struct Isotope;
struct SpectrumAnalysis;

// Velocities of a call (mm/s): a slice of the x vector; its size is the point count.
using XPoints = boost::numeric::ublas::vector_range<const DVector>;
// A component's slice of the model's flat parameter vector; parameter j is element j.
using ParamRange = boost::numeric::ublas::vector_range<const DVector>;
// A block of the model's Jacobian: row i belongs to point i, column j to parameter j.
using JacobianRange = boost::numeric::ublas::matrix_range<DMatrix>;
// The component's block of the fit's covariance matrix.
using CovarianceRange = boost::numeric::ublas::matrix_range<const DMatrix>;

class ISubSpec;
void intrusive_ptr_add_ref(const ISubSpec* s) noexcept;
void intrusive_ptr_release(const ISubSpec* s) noexcept;
// A counted reference; a new object handed out by a factory or clone holds count 1.
using SubSpecPtr = boost::intrusive_ptr<ISubSpec>;

class ISubSpec {
public:
    ISubSpec(const ISubSpec&) = delete;
    ISubSpec& operator=(const ISubSpec&) = delete;
    virtual ~ISubSpec() = default;

    virtual unsigned param_count() const = 0;
    // Leading parameters that are the subspectrum's own (fewer only for a distribution).
    virtual unsigned shown_param_count() const = 0;
    // One value per point of x, unscaled. Throws std::out_of_range when the ranges do
    // not fit their vectors or the parameter count; numerical failures give NaN.
    virtual void evaluate(const XPoints& x, const ParamRange& p, double* values) const = 0;
    // The values exactly as evaluate gives them, and every element of the Jacobian
    // block, which must have one row per point and one column per parameter.
    virtual void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                        JacobianRange jacobian) const = 0;
    // Starting values into params[first .. first + count - 1] from the spectrum's
    // analysis and the isotope; count must be the parameter count.
    virtual void init_params(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                             unsigned count) const = 0;
    virtual const ParamInfo& param_info(unsigned i) const = 0;
    virtual std::wstring display_name() const = 0;
    // Replaces out with the display order (groups separated by param_group_marker).
    virtual void param_layout(std::vector<unsigned>& out) const = 0;
    // A new default object of the same type for the same isotope; model data and a
    // stored baseline level are not copied.
    virtual SubSpecPtr clone() const = 0;

    int ref_count() const noexcept { return refs_.load(); }

protected:
    ISubSpec() = default;

private:
    friend void intrusive_ptr_add_ref(const ISubSpec* s) noexcept;
    friend void intrusive_ptr_release(const ISubSpec* s) noexcept;
    mutable std::atomic<std::int32_t> refs_{0};
};

inline void intrusive_ptr_add_ref(const ISubSpec* s) noexcept
{
    s->refs_.fetch_add(1);
}

inline void intrusive_ptr_release(const ISubSpec* s) noexcept
{
    if (s->refs_.fetch_sub(1) == 1)
        delete s;
}

// The parameters by which the whole subspectrum scales linearly.
class IAAParam {
public:
    virtual void area_params(std::vector<unsigned>& out) const = 0;

protected:
    ~IAAParam() = default;
};

// One reported line with the standard errors from the fit's covariance.
struct LineInfo {
    double position, position_error;
    double width, width_error;
    double intensity, intensity_error;
};

// ---- Optional interfaces ----

class ISubSpecArea {
public:
    // Expression text naming the component's area parameter, e.g. "[3:I]".
    virtual std::wstring area_expr(unsigned component) const = 0;

protected:
    ~ISubSpecArea() = default;
};

class ILinePos {
public:
    // Appends the line positions (mm/s), one group per multiplet.
    virtual void line_positions(const ParamRange& p, std::vector<std::vector<double>>& groups) const = 0;

protected:
    ~ILinePos() = default;
};

class ILineInfo {
public:
    virtual void line_info(const ParamRange& p, const CovarianceRange& covariance,
                           std::vector<LineInfo>& out) const = 0;

protected:
    ~ILineInfo() = default;
};

class ILineDistance {
public:
    // Distance (mm/s) of the two reference lines that the velocity calibration compares.
    virtual double line_distance(const ParamRange& p) const = 0;

protected:
    ~ILineDistance() = default;
};

class ILorenzLine {
public:
    // Peak amplitude 2I/(πΓ), position δ and width Γ of a Lorentz singlet.
    virtual void lorentz_params(const ParamRange& p, double& amplitude, double& position, double& width) const = 0;

protected:
    ~ILorenzLine() = default;
};

class ISubSpecRange {
public:
    // The velocity interval outside which the subspectrum is negligible.
    virtual void extent(const ParamRange& p, double& min, double& max) const = 0;

protected:
    ~ISubSpecRange() = default;
};

class IDistVarTypes {
public:
    // Appends the ParamKind codes a distribution may spread; does not clear kinds.
    virtual void dist_kinds(std::vector<int>& kinds) const = 0;

protected:
    ~IDistVarTypes() = default;
};

// Model data: settings kept by the component and stored in its component line.
class ISubSpecData {
public:
    // Data for a newly added component; may ask the user (folder: where a file dialog
    // starts). False cancels the addition.
    virtual bool set_defaults(const std::wstring& folder) = 0;
    // Takes the data from the one-line keyword text of a component line.
    virtual bool load_extra(const std::wstring& text) = 0;
    virtual std::wstring save_extra() const = 0;

protected:
    ~ISubSpecData() = default;
};

class ISubSpecProperties {
public:
    // Lets the user edit the model data in the property editor; true when it changed.
    virtual bool edit_properties() = 0;

protected:
    ~ISubSpecProperties() = default;
};

class ISubSpecDesc {
public:
    // A short text that identifies the model data (a grid size, a name).
    virtual std::wstring description() const = 0;

protected:
    ~ISubSpecDesc() = default;
};

// Extra curves a model can draw besides the spectrum.
class IExtraGraph {
public:
    virtual unsigned graph_count() const = 0;
    virtual void graph_with_errors(unsigned curve, const ParamRange& p, const CovarianceRange& covariance,
                                   std::vector<double>& x, std::vector<double>& y,
                                   std::vector<double>& y_errors) const = 0;
    virtual void graph(unsigned curve, const ParamRange& p, std::vector<double>& x,
                       std::vector<double>& y) const = 0;
    virtual void axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const = 0;

protected:
    ~IExtraGraph() = default;
};

class IModelExtVars {
public:
    // Adds named values derived from the component's parameters (name -> expression text).
    virtual void ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const = 0;

protected:
    ~IModelExtVars() = default;
};

class ICalibrationInit {
public:
    // Starting values from the lines found in a calibration spectrum.
    virtual void init_from_peaks(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                                 unsigned count) const = 0;

protected:
    ~ICalibrationInit() = default;
};

class IBaseLine {
public:
    // The baseline level N0, its standard error, an expression that computes it, and
    // the rank by which the catalogue chooses a default baseline.
    virtual double level(const ParamRange& p) const = 0;
    virtual double level_error(const CovarianceRange& covariance) const = 0;
    virtual std::wstring level_expr(unsigned component) const = 0;
    virtual double auto_rank() const = 0;

protected:
    ~IBaseLine() = default;
};

// The level an automatic baseline keeps as a constant, set from the spectrum.
class IAutoBaseLine {
public:
    virtual double get_level() const = 0;
    virtual void set_level(double level) = 0;

protected:
    ~IAutoBaseLine() = default;
};

// A distribution of Lorentz singlets: the lines it sums, for the deconvolution.
class ILorenzLines {
public:
    // Each point's peak amplitude (2I/(πΓ)), position and width Γ; the vectors stay
    // unchanged when the inner model is no Lorentz singlet.
    virtual void lorentz_lines(const ParamRange& p, std::vector<double>& amplitudes, std::vector<double>& positions,
                               std::vector<double>& widths) const = 0;

protected:
    ~ILorenzLines() = default;
};

// One statistic of a distribution before evaluation: an expression text over the model's
// parameters and over the earlier statistics (each row's name is the "$" variable of its
// value), with its display format.
struct DistStatRow {
    enum Flag : int {
        NewRow = 1,      // starts a new table row
        StartValue = 4,  // a varying parameter's value at the first point of the range
        EndValue = 8,    // its value at the last point of the range
    };
    std::wstring name;
    std::wstring text;
    std::wstring format;
    int flags = 0;
};

// A sum over the points first … last that statistics rows use as "$name": the same term
// for every point, an expression text over the model's parameters and the earlier rows
// with "$i" the point's index and "$w" its weight. Written once instead of once per
// point, it is evaluated point by point, value and gradient in one pass.
struct DistStatSum {
    std::wstring name;
    std::wstring term;
    unsigned first = 0;
    unsigned last = 0;
};

// A distribution component: spreads chosen parameters of an inner subspectrum linearly
// over N points, each with a weight parameter in place of the inner area parameter.
// Its weights follow its shown parameters (ISubSpec::shown_param_count), weight i at
// index shown_param_count() + i. The model and the document reach it through this
// interface; the setters run only in the user-interface thread while no fit runs.
class IDistribution {
public:
    virtual unsigned point_count() const = 0;
    // Per point: the deviation that the fit's smoothness row of that weight divides by.
    virtual const std::vector<double>& point_deviations() const = 0;
    // Replaces deviations first … first + values.size() − 1; std::out_of_range beyond
    // the last point, nothing changed then.
    virtual void set_point_deviations(unsigned first, const std::vector<double>& values) = 0;
    // Parameter index of the start value of each varying parameter, in increasing inner
    // index; its end value is the next parameter.
    virtual std::vector<unsigned> start_value_params() const = 0;
    // Index into start_value_params() of the abscissa of the distribution's graph; −1:
    // the point number. std::out_of_range for an index beyond the list.
    virtual int axis_param() const = 0;
    virtual void set_axis_param(int entry) = 0;
    // Point ranges (first, last) marked on the graph; only pairs with first < last < N
    // are kept.
    virtual const PointRangeList& marked_ranges() const = 0;
    virtual void set_marked_ranges(const PointRangeList& ranges) = 0;
    // The abscissa: its values at the first and the last point and its name (1, N and
    // "n" for the point number). Always true.
    virtual bool distributed_param(const ParamRange& p, double& first, double& last, std::wstring& name) const = 0;
    // The inner parameters at the first point (elements 0 … n−1) and at the last point
    // (n … 2n−1), the area parameter 1; true when some start value differs from its end.
    virtual bool end_point_params(const ParamRange& p, std::vector<double>& out) const = 0;
    // Appends the statistics rows of points a … b that depend on the varying parameters
    // and on the area, for the distribution in component c, and the sums over points
    // that they use; `total_area` is a text of the model's total area.
    virtual void statistics_rows(unsigned c, unsigned a, unsigned b, const std::wstring& total_area,
                                 std::vector<DistStatRow>& out, std::vector<DistStatSum>& sums) const = 0;
    // Takes n points: the weights and deviations resampled onto the new grid, the weight
    // sum kept. `out` receives the new parameter slice (shown parameters, n weights); a
    // count equal to the present one changes nothing and leaves `out` alone.
    virtual void resize(unsigned n, const ParamRange& p, std::vector<double>& out) = 0;
    // The parameter slice and the deviations after parameter j is set to v: moving a
    // start or end value re-ranges every varying parameter alike and resamples the
    // weights and deviations onto the new range. Changes nothing itself.
    virtual void set_end_value(unsigned j, double v, const ParamRange& p, std::vector<double>& out,
                               std::vector<double>& deviations) const = 0;

protected:
    ~IDistribution() = default;
};
