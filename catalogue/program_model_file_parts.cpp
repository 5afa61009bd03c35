#include "catalogue/program_model_file_parts.h"

#include <utility>

#include "core/model/component_line.h"
#include "core/model/spectrum_model.h"
#include "catalogue/sub_spec_factory.h"

SubSpecPtr ProgramModelFileParts::create(const std::wstring& name, const Isotope* isotope) const
{
    return create_subspec(name, isotope);
}

void ProgramModelFileParts::read_line(const std::wstring& text, SubSpecPtr subspec, const std::wstring& name,
                                      DVector& values, std::vector<int>& flags, DVector& lower, DVector& upper,
                                      std::vector<LinkSpec>& links) const
{
    SpectrumModel::parse_component_line(text, std::move(subspec), values, flags, lower, upper, &links,
                                        find_legacy_model(name));
}

void ProgramModelFileParts::add_param_renames(const std::wstring& name, unsigned component,
                                              std::map<std::wstring, std::wstring>& renames) const
{
    ::add_param_renames(find_legacy_model(name), component, renames);
}

std::wstring ProgramModelFileParts::write_line(const SubModel& component, const DVector& values,
                                               const std::vector<int>& flags, const DVector& lower,
                                               const DVector& upper) const
{
    return format_component_line(component, values, flags, lower, upper);
}
