#include "subspec/baseline.h"

#include <cmath>
#include <locale>

#include <boost/algorithm/string/replace.hpp>
#include <boost/format.hpp>

#include "subspec/eval_ranges.h"

namespace {

boost::wformat c_format(const wchar_t* text)
{
    return boost::wformat(text, std::locale::classic());
}

}  // namespace

template <class T>
double BaseLineImpl<T>::level(const ParamRange& p) const
{
    return level_of(range_params(p, T::n_params)[0]);
}

template <class T>
double BaseLineImpl<T>::level_error(const CovarianceRange& covariance) const
{
    check_covariance_block(covariance, T::n_params);
    return T::level_scale * std::sqrt(covariance(0, 0));
}

template <class T>
std::wstring BaseLineImpl<T>::level_expr(unsigned component) const
{
    std::wstring text = static_cast<const T&>(*this).level_text();
    boost::replace_all(text, L"[", (c_format(L"[%u:") % component).str());
    return text;
}

template class BaseLineImpl<BaseLine>;
template class BaseLineImpl<AutoBaseLine>;
template class BaseLineImpl<AutoBaseLine2>;

std::wstring BaseLine::level_text() const
{
    return L"[N₀]";
}

void BaseLine::init_params(const Isotope*, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    p[0] = analysis.N0;
    p[1] = 0.0;
    p[2] = analysis.Xc;
}

void AutoLevel::init_params(const Isotope*, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    p[0] = 0.0;
    p[1] = 0.0;
    p[2] = analysis.Xc;
}

std::wstring AutoBaseLine::level_text() const
{
    return (c_format(L"([ΔN₀]+%.15e)") % stored_level()).str();
}

std::wstring AutoBaseLine2::level_text() const
{
    return (c_format(L"(%.15e*[ΔN₀]+%.15e)") % level_scale % stored_level()).str();
}
