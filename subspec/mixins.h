// Mixins: base classes of a model struct T that implement one optional interface each
// from a few functions of T. Those that need the isotope or the parameter values reach
// them through the SubSpecImpl<T> around T.
//
// Hooks that T provides for them (p: the component's parameters in table order):
//   SubSpecRange<T>:      void extent_of(const Isotope*, std::span<const double> p,
//                                        double& min, double& max) const;
//   LineDistance<T>:      double line_distance_of(const Isotope*, std::span<const double> p) const;
//   SubSpecExtraGraph<T>: void extra_graph(unsigned curve, std::vector<double>& x,
//                                          std::vector<double>& y, std::vector<double>& y_errors,
//                                          const CovarianceRange* covariance, const Isotope*,
//                                          std::span<const double> p) const;
//                         void graph_axis_names(unsigned curve, std::wstring& x_name,
//                                               std::wstring& y_name) const;
#pragma once

#include <span>
#include <string>
#include <vector>

#include "subspec/eval_ranges.h"
#include "subspec/subspec.h"

template <class T>
class SubSpecImpl;

// The area expression "[component:name of parameter 0]".
class DefaultArea : public ISubSpecArea {
public:
    std::wstring area_expr(unsigned component) const override;
};

// The kinds a distribution may spread, appended in argument order.
template <int... Kinds>
class DefaultDVT : public IDistVarTypes {
public:
    void dist_kinds(std::vector<int>& kinds) const override { (kinds.push_back(Kinds), ...); }
};

template <class T>
class SubSpecRange : public ISubSpecRange {
public:
    void extent(const ParamRange& p, double& min, double& max) const override
    {
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        self.extent_of(self.isotope(), range_params(p, T::n_params), min, max);
    }
};

template <class T>
class LineDistance : public ILineDistance {
public:
    double line_distance(const ParamRange& p) const override
    {
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        return self.line_distance_of(self.isotope(), range_params(p, T::n_params));
    }
};

// Every model with extra curves offers three.
template <class T>
class SubSpecExtraGraph : public IExtraGraph {
public:
    unsigned graph_count() const override { return 3; }

    void graph_with_errors(unsigned curve, const ParamRange& p, const CovarianceRange& covariance,
                           std::vector<double>& x, std::vector<double>& y,
                           std::vector<double>& y_errors) const override
    {
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        self.extra_graph(curve, x, y, y_errors, &covariance, self.isotope(), range_params(p, T::n_params));
    }

    void graph(unsigned curve, const ParamRange& p, std::vector<double>& x,
               std::vector<double>& y) const override
    {
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        std::vector<double> y_errors;
        self.extra_graph(curve, x, y, y_errors, nullptr, self.isotope(), range_params(p, T::n_params));
    }

    void axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const override
    {
        static_cast<const T&>(*this).graph_axis_names(curve, x_name, y_name);
    }
};
