// A stand-in for the catalogue and the component line in the model-file tests: three
// model types and distributions of Lorentz lines by name, and a component line of the
// same shape as the program's (name ":", " extradata=" data, then " name=value" with
// "F", "L" factor "*" c "." p or "*" e, "B" lower, "T" upper), all numbers exact.
#pragma once

#include <cwchar>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/document/model_file_parts.h"
#include "core/text/number_text.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace document_test {

class TestModelFileParts final : public ModelFileParts {
public:
    SubSpecPtr create(const std::wstring& name, const Isotope*) const override
    {
        if (name == L"Lorentz singlet")
            return model_test::lorentz();
        if (name == L"Baseline")
            return model_test::baseline();
        if (name == L"Baseline [auto]")
            return model_test::auto_baseline();
        if (name == L"[D] Lorentz singlet")
            return SubSpecPtr(new Distribution(model_test::lorentz()));
        return nullptr;
    }

    void read_line(const std::wstring& text, SubSpecPtr subspec, const std::wstring&, DVector& values,
                   std::vector<int>& flags, DVector& lower, DVector& upper,
                   std::vector<LinkSpec>& links) const override
    {
        std::vector<double> v, lo, up;
        std::vector<int> f;
        std::vector<LinkSpec> new_links;
        std::wistringstream in(text);
        in.exceptions(std::ios::badbit);  // a failure inside the stream is no end of the line
        std::wstring token;
        unsigned i = 0;
        while (in >> token) {
            if (token.rfind(L"extradata=", 0) == 0) {
                auto* data = dynamic_cast<ISubSpecData*>(subspec.get());
                if (data && !data->load_extra(token.substr(10)))
                    throw std::runtime_error("Invalid parameter format: extradata");
                continue;
            }
            const std::size_t eq = token.find(L'=');
            if (eq == std::wstring::npos || i >= subspec->param_count())
                throw std::runtime_error("Invalid parameter format");
            const ParamInfo& info = subspec->param_info(i);
            if (token.substr(0, eq) != info.name)
                throw std::runtime_error("Parameter name mismatch");
            const wchar_t* p = token.c_str() + eq + 1;
            wchar_t* end = nullptr;
            v.push_back(std::wcstod(p, &end));
            if (end == p)
                throw std::runtime_error("Invalid parameter format");
            f.push_back(ParamFree);
            lo.push_back(info.lower);
            up.push_back(info.upper);
            for (p = end; *p;) {
                const wchar_t letter = *p++;
                if (letter == L'F') {
                    f.back() = 0;
                } else if (letter == L'B' || letter == L'T') {
                    (letter == L'B' ? lo : up).back() = std::wcstod(p, &end);
                    p = end;
                } else if (letter == L'L') {
                    LinkSpec s{0, 0, LinkToExpr, 0, i, std::wcstod(p, &end)};
                    if (*end != L'*')
                        throw std::runtime_error("Invalid parameter format");
                    p = end + 1;
                    s.target_component = static_cast<std::uint32_t>(std::wcstoul(p, &end, 10));
                    p = end;
                    if (*p == L'.') {
                        s.kind = LinkToParam;
                        s.target_param = static_cast<std::uint32_t>(std::wcstoul(p + 1, &end, 10));
                        p = end;
                    }
                    new_links.push_back(s);
                } else {
                    throw std::runtime_error("Invalid parameter format");
                }
            }
            ++i;
        }
        const unsigned n = subspec->param_count();
        if (auto* d = dynamic_cast<IDistribution*>(subspec.get()); d && d->point_count() == 0)
            throw std::runtime_error("Invalid distribution parameters");
        for (unsigned j = i; j < n; ++j) {
            v.push_back(0.0), f.push_back(0);
            lo.push_back(subspec->param_info(j).lower), up.push_back(subspec->param_info(j).upper);
        }
        const std::size_t base = values.size();
        values.resize(base + n, true), lower.resize(base + n, true), upper.resize(base + n, true);
        for (unsigned j = 0; j < n; ++j) {
            values(base + j) = v[j];
            lower(base + j) = lo[j];
            upper(base + j) = up[j];
        }
        flags.insert(flags.end(), f.begin(), f.end());
        links.insert(links.end(), new_links.begin(), new_links.end());
    }

    void add_param_renames(const std::wstring&, unsigned, std::map<std::wstring, std::wstring>&) const override {}

    std::wstring write_line(const SubModel& c, const DVector& values, const std::vector<int>& flags,
                            const DVector& lower, const DVector& upper) const override
    {
        std::wstring line = c.subspec->display_name() + L":";
        if (const auto* data = dynamic_cast<const ISubSpecData*>(c.subspec.get()))
            line += L" extradata=" + data->save_extra();
        for (unsigned j = 0; j < c.count; ++j) {
            const unsigned i = c.first + j;
            const ParamInfo& info = c.subspec->param_info(j);
            line += L" " + info.name + L"=" + double_to_text(values(i));
            if (!(flags[i] & ParamFree))
                line += L"F";
            const ParamLink& l = c.links[j];
            if (l.kind == LinkToParam)
                line += L"L" + double_to_text(l.factor) + L"*" + std::to_wstring(l.target_component + 1) + L"." +
                        std::to_wstring(l.target_param);
            else if (l.kind == LinkToExpr)
                line += L"L" + double_to_text(l.factor) + L"*" + std::to_wstring(l.target_component + 1);
            if (lower(i) != info.lower)
                line += L"B" + double_to_text(lower(i));
            if (upper(i) != info.upper)
                line += L"T" + double_to_text(upper(i));
        }
        return line;
    }

    const IsotopeTable& isotopes() const override { return test_support::program_isotopes(); }
};

}  // namespace document_test
