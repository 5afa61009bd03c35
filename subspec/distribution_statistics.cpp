// The statistics rows of a distribution that depend on its spread parameters and on its
// area, as expression texts over the model's parameters ("[c:name]") and over earlier
// rows ("$name"), for the points a … b. Point i stands at L + i·(R − L)/(N − 1) of each
// spread parameter; the moments are sums over the points weighted by the weights.
#include "core/text/c_format.h"
#include "core/text/sum_expression.h"
#include "subspec/distribution.h"

namespace {

// Sum over a … b of a term template whose open placeholder takes the point index.
std::wstring point_sum(unsigned a, unsigned b, const std::wstring& term)
{
    std::wstring text;
    make_sum_expression(text, a, b, term);
    return text;
}

}  // namespace

void Distribution::statistics_rows(unsigned c, unsigned a, unsigned b, const std::wstring& total_area,
                                   std::vector<DistStatRow>& out) const
{
    const unsigned last = point_count_ - 1;
    const std::wstring weights = point_sum(a, b, (c_format(L"[%u:I%%u]") % c).str());
    const std::wstring first_moment = point_sum(a, b, (c_format(L"%%1%%*[%u:I%%1%%]") % c).str());

    for (const auto& [s, d] : varying_) {
        const ParamInfo& start = descriptors_[d];
        const ParamInfo& end = descriptors_[d + 1];
        const std::wstring at = (c_format(L"([%1%:%2%]+%%1%%*([%1%:%3%]-[%1%:%2%])/%4%)") % c % start.name %
                                 end.name % last)
                                    .str();
        out.push_back({start.name, (c_format(at) % a).str(), start.format,
                       DistStatRow::NewRow | DistStatRow::StartValue});
        out.push_back({end.name, (c_format(at) % b).str(), end.format, DistStatRow::EndValue});
    }

    out.push_back({L"%I", L"(" + weights + L")*100/(" + total_area + L")", L"%.1f", DistStatRow::NewRow});
    out.push_back({L"%Id", L"(" + weights + L")*100/(" + area_expr(c) + L")", L"%.1f", 0});

    for (const auto& [s, d] : varying_) {
        const std::wstring& start = descriptors_[d].name;
        const std::wstring& end = descriptors_[d + 1].name;
        const std::wstring name = inner_->param_info(s).name;
        // The m-th central moment: Σ (i·(R − L)/(N − 1) + L − mean)^m · wᵢ.
        const auto moment = [&](int m) {
            const std::wstring term =
                (c_format(L"(%%1%%*([%1%:%3%]-[%1%:%2%])/%5%+[%1%:%2%]-$X%4%)^%6%*[%1%:I%%1%%]") % c % start % end %
                 name % last % m)
                    .str();
            return point_sum(a, b, term);
        };
        out.push_back({L"X" + name,
                       (c_format(L"[%1%:%2%] + ([%1%:%3%] - [%1%:%2%]) * (%5%) / (%4% * (%6%))") % c % start % end %
                        last % first_moment % weights)
                           .str(),
                       descriptors_[d].format, DistStatRow::NewRow});
        out.push_back({L"D" + name, L"(" + moment(2) + L")/(" + weights + L")", L"%.5g", 0});
        out.push_back({L"S" + name, L"$D" + name + L"^0.5", L"%.5g", 0});
        out.push_back({L"As" + name, L"(" + moment(3) + L")/($S" + name + L"^3*(" + weights + L"))", L"%.5g", 0});
        out.push_back(
            {L"Ex" + name, L"(" + moment(4) + L")/($S" + name + L"^4*(" + weights + L"))-3", L"%.5g", 0});
    }
}
