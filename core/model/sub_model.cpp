#include "core/model/sub_model.h"

#include <stdexcept>
#include <utility>

SubModel::SubModel(SubSpecPtr s, COLORREF c) : subspec(std::move(s)), color(c)
{
    if (!subspec)
        throw std::runtime_error("No subspectrum for the component");
    count = subspec->param_count();
    shown_count = subspec->shown_param_count();
    baseline_ = dynamic_cast<const IBaseLine*>(subspec.get()) != nullptr;
    links.resize(count);
}

bool SubModel::get_link(unsigned param, ParamLink& link) const
{
    if (param >= links.size())
        throw std::out_of_range("Parameter index out of range");
    const ParamLink& own = links[param];
    if (own.kind == NotLinked)
        return false;
    link = own;
    return true;
}

void SubModel::append_area_params(std::vector<int>& out) const
{
    const auto* area = dynamic_cast<const IAAParam*>(subspec.get());
    if (!area)
        return;
    std::vector<unsigned> indices;
    area->area_params(indices);
    for (unsigned k : indices)
        out.push_back(static_cast<int>(first + k));
}

ParamRange SubModel::param_slice(const DVector& params) const
{
    if (params.size() < first + count)
        throw std::out_of_range("Parameter vector shorter than the model");
    return ParamRange(params, boost::numeric::ublas::range(first, first + count));
}

CovarianceRange SubModel::covariance_block(const DMatrix& covariance) const
{
    if (covariance.size1() < first + count || covariance.size2() < first + count)
        throw std::out_of_range("Covariance matrix smaller than the model");
    const boost::numeric::ublas::range block(first, first + count);
    return CovarianceRange(covariance, block, block);
}

IDistribution* SubModel::distribution() const
{
    return dynamic_cast<IDistribution*>(subspec.get());
}

bool SubModel::get_distribution_link(unsigned& target, double& factor) const
{
    const IDistribution* d = distribution();
    if (!d || d->point_count() == 0 || shown_count + d->point_count() > links.size())
        return false;
    const ParamLink& first_link = links[shown_count];
    if (first_link.kind != LinkToParam)
        return false;
    for (unsigned i = 1; i < d->point_count(); ++i) {
        const ParamLink& l = links[shown_count + i];
        if (l.kind != LinkToParam || l.target_component != first_link.target_component || l.factor != first_link.factor)
            return false;
    }
    target = first_link.target_component;
    factor = first_link.factor;
    return true;
}

ParamLink SubModel::first_weight_link() const
{
    const IDistribution* d = distribution();
    if (!d || d->point_count() == 0 || shown_count >= links.size())
        throw std::runtime_error("Invalid dist link reference");
    return links[shown_count];
}
