#include "ui/logic/report_commands.h"

#include <cwctype>

#include "core/text/data_files.h"
#include "core/text/text.h"
#include "plot/html_report.h"

namespace {

constexpr std::int32_t plot_normalized = 0x200;
constexpr std::int32_t report_plot_options = 0x7F7B;

} // namespace

std::optional<ResultsSource> document_results(const ModelState& document, const std::wstring& spectrum_name,
                                              const std::wstring& model_name)
{
    const std::size_t n = document.model.param_count();
    if (document.fit_values.size() != n || document.covariance.size1() != n || document.covariance.size2() != n)
        return std::nullopt;
    return ResultsSource{document.model, document.data, document.fit_values, document.covariance, spectrum_name,
                         model_name};
}

unsigned report_flags(std::int32_t plot_options, bool round_results)
{
    unsigned flags = 0x3E;
    if (plot_options & plot_normalized)
        flags |= ReportNormalized;
    if (round_results)
        flags |= ReportRoundResults;
    return flags;
}

std::int32_t report_view_options(std::int32_t plot_options)
{
    return plot_options & report_plot_options;
}

std::wstring report_file_stem(const std::wstring& model_path, const std::wstring& spectrum_path)
{
    return file_stem(model_path.empty() ? spectrum_path : model_path);
}

std::wstring sibling_path(const std::wstring& path, const std::wstring& extension)
{
    const std::size_t folder = path.size() - file_name_part(path).size();
    return path.substr(0, folder) + file_stem(path) + extension;
}

bool is_temporary_report_name(std::wstring_view name)
{
    // A UUID as UuidToStringW writes it: 8-4-4-4-12 hexadecimal digits.
    constexpr std::wstring_view suffix = L".html";
    if (!name.starts_with(temporary_report_prefix) || !name.ends_with(suffix)) return false;
    const std::wstring_view uuid =
        name.substr(temporary_report_prefix.size(), name.size() - temporary_report_prefix.size() - suffix.size());
    if (uuid.size() != 36) return false;
    for (std::size_t i = 0; i < uuid.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? uuid[i] != L'-' : !std::iswxdigit(static_cast<wint_t>(uuid[i]))) return false;
    }
    return true;
}

bool temporary_report_expired(std::uint64_t written, std::uint64_t now)
{
    constexpr std::uint64_t day = 24ull * 60 * 60 * 10'000'000;
    return written < now && now - written > day;
}
