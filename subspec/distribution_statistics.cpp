// The statistics rows of a distribution that depend on its spread parameters and on its
// area, as expression texts over the model's parameters ("[c:name]"), over earlier rows
// ("$name") and over sums of one term over the points ("$Σ…"), for the points a … b.
// Point i stands at L + i·(R − L)/(N − 1) of each spread parameter; the moments are sums
// over the points weighted by the weights. A sum is handed over as its term, not written
// out point by point: a thousand points would make texts of some 200 000 characters.
#include "core/text/c_format.h"
#include "subspec/distribution.h"

void Distribution::statistics_rows(unsigned c, unsigned a, unsigned b, const std::wstring& total_area,
                                   std::vector<DistStatRow>& out, std::vector<DistStatSum>& sums) const
{
    const unsigned last = point_count_ - 1;
    // The range's weights, its first moment in the point index, and all the weights (the
    // component's area).
    sums.push_back({L"Σw", L"$w", a, b});
    sums.push_back({L"Σiw", L"$i*$w", a, b});
    sums.push_back({L"ΣW", L"$w", 0, last});
    const std::wstring weights = L"$Σw";

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
    out.push_back({L"%Id", L"(" + weights + L")*100/($ΣW)", L"%.1f", 0});

    for (const auto& [s, d] : varying_) {
        const std::wstring& start = descriptors_[d].name;
        const std::wstring& end = descriptors_[d + 1].name;
        const std::wstring name = inner_->param_info(s).name;
        // The m-th central moment: Σ (i·(R − L)/(N − 1) + L − mean)^m · wᵢ.
        const auto moment = [&](int m) {
            const std::wstring sum = (c_format(L"Σ%1%%2%") % m % name).str();
            sums.push_back({sum,
                            (c_format(L"($i*([%1%:%3%]-[%1%:%2%])/%5%+[%1%:%2%]-$X%4%)^%6%*$w") % c % start % end %
                             name % last % m)
                                .str(),
                            a, b});
            return L"$" + sum;
        };
        out.push_back({L"X" + name,
                       (c_format(L"[%1%:%2%] + ([%1%:%3%] - [%1%:%2%]) * (%5%) / (%4% * (%6%))") % c % start % end %
                        last % L"$Σiw" % weights)
                           .str(),
                       descriptors_[d].format, DistStatRow::NewRow});
        out.push_back({L"D" + name, L"(" + moment(2) + L")/(" + weights + L")", L"%.5g", 0});
        out.push_back({L"S" + name, L"$D" + name + L"^0.5", L"%.5g", 0});
        out.push_back({L"As" + name, L"(" + moment(3) + L")/($S" + name + L"^3*(" + weights + L"))", L"%.5g", 0});
        out.push_back(
            {L"Ex" + name, L"(" + moment(4) + L")/($S" + name + L"^4*(" + weights + L"))-3", L"%.5g", 0});
    }
}
