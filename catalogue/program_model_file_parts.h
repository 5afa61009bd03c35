// The model files' access to the program's catalogue and component line: the document
// reads and writes model files through this, and stays below the catalogue.
#pragma once

#include "core/document/model_file_parts.h"
#include "core/spectrum/isotope.h"

class ProgramModelFileParts final : public ModelFileParts {
public:
    explicit ProgramModelFileParts(const IsotopeTable& isotopes = isotope_table()) : isotopes_(isotopes) {}

    SubSpecPtr create(const std::wstring& name, const Isotope* isotope) const override;
    void read_line(const std::wstring& text, SubSpecPtr subspec, const std::wstring& name, DVector& values,
                   std::vector<int>& flags, DVector& lower, DVector& upper,
                   std::vector<LinkSpec>& links) const override;
    void add_param_renames(const std::wstring& name, unsigned component,
                           std::map<std::wstring, std::wstring>& renames) const override;
    std::wstring write_line(const SubModel& component, const DVector& values, const std::vector<int>& flags,
                            const DVector& lower, const DVector& upper) const override;
    const IsotopeTable& isotopes() const override { return isotopes_; }

private:
    const IsotopeTable& isotopes_;
};
