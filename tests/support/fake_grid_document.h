// A stand-in for the document behind the model grids: a model with its value, fit-value,
// flag, bound and covariance vectors, and a record of every change the grid asked for.
// Its component line stands in for the model file's: the name, ":", then " name=value"
// per parameter.
#pragma once

#include <string>
#include <vector>

#include "core/text/c_format.h"
#include "ui/logic/model_grid_rows.h"

struct FakeGridDocument : ModelGridDocument {
    SpectrumModel model;
    DVector values, fit, lower, upper;
    DMatrix covariance;
    std::vector<int> flags;
    std::vector<std::wstring> calls;
    ComponentClipText pasted;
    int paste_result = 0;

    explicit FakeGridDocument(SpectrumModel m) : model(std::move(m))
    {
        const unsigned P = model.param_count();
        values = DVector(P, 0.25);
        fit = DVector(P, 0.5);
        lower = DVector(P, -1e300);
        upper = DVector(P, 1e300);
        covariance = DMatrix(P, P, 0.0);
        flags.assign(P, ParamFree);
    }
    ModelGridSource source() const override
    {
        return {&model, &values, &fit, &flags, &lower, &upper, &covariance,
                [this](unsigned k) { return varied_by_flags(model, flags, k); }};
    }
    ModelGridCommits commits() override
    {
        return {[this](unsigned k, double v) {
                    calls.push_back(L"set " + std::to_wstring(k) + L" " + (c_format(L"%g") % v).str());
                    values(k) = v;
                },
                [this](unsigned a, unsigned b, int bits) {
                    calls.push_back(L"toggle " + std::to_wstring(a) + L"-" + std::to_wstring(b) + L" " +
                                    std::to_wstring(bits));
                    for (unsigned k = a; k < b; ++k) flags[k] ^= bits;
                }};
    }
    std::wstring component_line(unsigned c, bool use_values) const override
    {
        const SubModel& m = *model.components[c];
        std::wstring line = m.subspec->display_name() + L":";
        for (unsigned p = 0; p < m.count; ++p)
            line += L" " + m.subspec->param_info(p).name + L"=" +
                    (c_format(L"%.15e") % (use_values ? values : fit)(m.first + p)).str();
        return line;
    }
    void delete_component(unsigned c) override { calls.push_back(L"delete component " + std::to_wstring(c)); }
    void delete_expression(unsigned e) override { calls.push_back(L"delete expression " + std::to_wstring(e)); }
    int insert_pasted_component(unsigned index, const ComponentClipText& text) override
    {
        calls.push_back(L"component at " + std::to_wstring(index));
        pasted = text;
        return paste_result < 0 ? -1 : static_cast<int>(index);
    }
    void insert_pasted_expression(unsigned index, const std::wstring& name, const std::wstring& text) override
    {
        calls.push_back(L"expression at " + std::to_wstring(index) + L": " + name + L"|" + text);
    }
};
