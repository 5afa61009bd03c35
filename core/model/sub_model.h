// One component of a model: a subspectrum with its slice of the model's flat parameter
// vector, its colour and the link of each of its parameters. Shared by the model, its
// copies (a fit job's) and the undo records.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/model/colors.h"
#include "core/model/model_records.h"
#include "subspec/subspec.h"

struct SubModel {
    // Holds a reference to the subspectrum (not null), reads its parameter counts and
    // leaves every parameter not linked; first and index are right only after the
    // model's next layout_params.
    SubModel(SubSpecPtr subspec, COLORREF color);

    // True when the subspectrum is a baseline (offers IBaseLine): added unscaled. Read
    // once, like the counts: the evaluation asks for every block, and the cast is costly.
    bool is_baseline() const { return baseline_; }
    // False when parameter `param` is not linked; else true with its link.
    // Throws std::out_of_range for param ≥ count.
    bool get_link(unsigned param, ParamLink& link) const;
    // Appends first + each index of the subspectrum's area parameters (none without
    // IAAParam).
    void append_area_params(std::vector<int>& out) const;
    // The distribution the subspectrum is; null for any other subspectrum.
    IDistribution* distribution() const;
    // True when the subspectrum is a distribution whose weights all follow one target
    // component with one factor (every weight linked to a parameter of that component,
    // the first weight's link deciding target and factor); then `target` and `factor`
    // are set.
    bool get_distribution_link(unsigned& target, double& factor) const;
    // The link of a distribution's first weight; std::runtime_error "Invalid dist link
    // reference" for any other component.
    ParamLink first_weight_link() const;
    // The component's slice of the flat parameter vector and its block of the covariance
    // matrix; std::out_of_range when the vector or matrix does not cover it.
    ParamRange param_slice(const DVector& params) const;
    CovarianceRange covariance_block(const DMatrix& covariance) const;

    SubSpecPtr subspec;
    std::uint32_t first = 0;        // flat index of the first parameter
    std::uint32_t index = 0;        // position in the model's component list
    std::uint32_t count = 0;        // ISubSpec::param_count
    std::uint32_t shown_count = 0;  // ISubSpec::shown_param_count
    COLORREF color;
    std::vector<ParamLink> links;   // one per parameter

private:
    bool baseline_ = false;
};

using ComponentList = std::vector<std::shared_ptr<SubModel>>;

// The colour for a new component: the first palette colour no component has yet, else
// a pseudo-random palette colour.
COLORREF next_component_color(const ComponentList& components);
