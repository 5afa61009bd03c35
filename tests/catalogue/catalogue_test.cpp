#include "catalogue/sub_spec_factory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "core/model/component_line.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "subspec/distribution.h"
#include "subspec/param_tables.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace {

using test_support::iron;

struct Entry {
    unsigned index;
    const wchar_t* name;  // as stored; empty for a separator
    bool hidden;
    bool needs_isotope;
    bool baseline;
    unsigned params;  // 0 for a separator
};

// The catalogue in its fixed order.
const Entry table[] = {
    {0, L"Baseline [auto,scaled]", false, false, true, 3},
    {1, L"Baseline [auto]", true, false, true, 3},
    {2, L"Baseline", false, false, true, 3},
    {3, L"", true, false, false, 0},
    {4, L"Lorentz singlet", false, false, false, 3},
    {5, L"PseudoVoigt singlet", false, false, false, 4},
    {6, L"PseudoVoigt doublet", false, false, false, 7},
    {7, L"PseudoVoigt sextet [simple]", false, true, false, 10},
    {8, L"PseudoVoigt sextet", false, true, false, 15},
    {9, L"", true, false, false, 0},
    {10, L"Voigt singlet", false, false, false, 4},
    {11, L"Voigt doublet", false, false, false, 7},
    {12, L"Voigt sextet [simple]", false, true, false, 10},
    {13, L"", true, false, false, 0},
    {14, L"Hamilton", false, true, false, 10},
    {15, L"Hamilton/separate width", false, true, false, 17},
    {16, L"", true, false, false, 0},
    {17, L"Spin/Charge density wave", false, true, false, 23},
    {18, L"Anharmonic spin modulation", false, true, false, 14},
    {19, L"Anharmonic spin modulation [anisotropic]", false, true, false, 20},
    {20, L"Anharmonic spin modulation [Hamilton]", false, true, false, 11},
    {21, L"Spiral-like spin structure", false, true, false, 22},
    {22, L"Spiral-like spin structure [Hamilton]", false, true, false, 18},
    {23, L"NMR Anharmonic spin modulation", false, false, false, 7},
    {24, L"NMR Spiral-like spin structure", false, true, false, 16},
    {25, L"", true, false, false, 0},
    {26, L"Two state paramagnetic relaxation", false, true, false, 9},
    {27, L"Two state magnetic relaxation", false, true, false, 9},
    {28, L"Two state relaxation", false, true, false, 12},
    {29, L"Single-ion spin relaxation [S=5/2]", false, true, false, 12},
    {30, L"Many-state spin relaxation", false, true, false, 11},
    {31, L"Many-state superparamagnetic relaxation", false, true, false, 12},
    {32, L"Isotropic magnetic hyperfine field relaxation", false, true, false, 8},
    {33, L"Isotropic electric field gradient relaxation", false, true, false, 6},
    {34, L"", true, false, false, 0},
    {35, L"Spectrum", false, false, false, 4},
    {36, L"FreeVar", true, false, false, 1},
};

const SubSpecFactory& catalogue()
{
    return SubSpecFactory::instance();
}

std::string error_of(auto&& create)
{
    try {
        create();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

TEST(Catalogue, HoldsTheBuiltInTypesInTheirFixedOrder)
{
    ASSERT_EQ(catalogue().size(), std::size(table));
    for (const Entry& e : table) {
        SCOPED_TRACE(e.index);
        const SubSpecFactory::SubSpecDesc& desc = catalogue().at(e.index);
        EXPECT_EQ(catalogue().name_at(e.index), e.name);
        EXPECT_EQ(catalogue().is_hidden(e.index), e.hidden);
        EXPECT_EQ(catalogue().is_baseline(e.index), e.baseline);
        EXPECT_EQ(desc.needs_isotope, e.needs_isotope);
        EXPECT_EQ(desc.baseline_rank, e.index < 2 ? 1.0 : 0.0);
        if (e.params > 0) {
            const SubSpecPtr s = catalogue().create_at(e.index, &iron());
            ASSERT_TRUE(s);
            EXPECT_EQ(s->param_count(), e.params);
            EXPECT_EQ(s->ref_count(), 1);
            const std::wstring expected = std::wstring(e.name) + (e.needs_isotope ? L" (57Fe)" : L"");
            EXPECT_EQ(s->display_name(), expected);
            // Model files name the type by its display name without the isotope.
            EXPECT_EQ(catalogue().index_of(e.name), e.index);
        } else {
            EXPECT_EQ(error_of([&] { catalogue().create_at(e.index, &iron()); }), "Can't create a dummy model");
        }
    }
}

// Every type, with the model data of a new component and its starting values for a
// spectrum in which six lines were found, gives finite values over the axis.
TEST(Catalogue, EveryTypeEvaluatesFiniteAtItsStartingValues)
{
    SpectrumAnalysis analysis;
    analysis.XSc = 0.1;
    analysis.WH2 = 9.0;
    analysis.line_width = 0.3;
    for (const double x : {-5.2, -3.0, -0.8, 0.9, 3.1, 5.4})
        analysis.lines.push_back({x, 0.0, 0});
    const DVector x = test_support::grid(-12.0, 12.0, 241);
    for (const Entry& e : table) {
        if (e.params == 0 || e.index == 35)  // the measured spectrum needs a reference file
            continue;
        SCOPED_TRACE(e.index);
        const SubSpecPtr s = catalogue().create_at(e.index, &iron());
        if (auto* data = dynamic_cast<ISubSpecData*>(s.get()))
            data->set_defaults(L"");
        DVector p(e.params);
        s->init_params(analysis, p, 0, e.params);
        const std::vector<double> y = test_support::values_of(*s, x, p);
        for (std::size_t i = 0; i < y.size(); ++i)
            ASSERT_TRUE(std::isfinite(y[i])) << "at " << x[i];
    }
}

TEST(Catalogue, CreationErrorsSayWhatIsWrong)
{
    EXPECT_EQ(error_of([] { catalogue().create_at(3, &iron()); }), "Can't create a dummy model");
    EXPECT_EQ(error_of([] { catalogue().create_at(8, nullptr); }),
              MessageText(50046, L"PseudoVoigt sextet").to_utf8());
    EXPECT_THROW(catalogue().create_at(37, &iron()), std::out_of_range);
    EXPECT_EQ(error_of([] { catalogue().name_at(37); }), "invalid vector subscript");
    EXPECT_THROW(catalogue().is_hidden(1000), std::out_of_range);
}

TEST(Catalogue, FindsTypesByExactOrLegacyName)
{
    EXPECT_EQ(catalogue().create_by_name(L"FreeVar", nullptr)->display_name(), L"FreeVar");
    EXPECT_FALSE(catalogue().create_by_name(L"@FreeVar", nullptr));
    EXPECT_FALSE(catalogue().create_by_name(L"lorentz singlet", nullptr));
    EXPECT_FALSE(catalogue().create_by_name(L"", nullptr));  // separators have no name to find
    EXPECT_EQ(catalogue().create_by_name(L"PseudoVoigt line", nullptr)->display_name(), L"PseudoVoigt singlet");
    EXPECT_EQ(catalogue().index_of(L"PseudoVoigt line"), 5u);
    EXPECT_EQ(catalogue().index_of(L"No such model"), 0u);
    // A legacy name whose current name the catalogue lacks finds nothing.
    EXPECT_FALSE(catalogue().create_by_name(L"Two level charge relaxation doublet", &iron()));
}

TEST(Catalogue, TheDefaultBaselineFollowsTheSpectrumLevel)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, const wchar_t*> cases[] = {
        {1e6, L"Baseline [auto,scaled]"}, {1.0, L"Baseline [auto,scaled]"}, {0.5, L"Baseline"},
        {0.0, L"Baseline"},  // a difference spectrum, say
        {-2500.0, L"Baseline"}, {nan, L"Baseline"},
    };
    for (const auto& [level, name] : cases) {
        const SubSpecPtr s = catalogue().create_baseline(&iron(), level);
        ASSERT_TRUE(s) << level;
        EXPECT_EQ(s->display_name(), name) << level;
    }
}

TEST(Catalogue, DistributionNamesWrapTheNamedModel)
{
    const SubSpecPtr d = create_subspec(L"[D] Lorentz singlet", nullptr);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->ref_count(), 1);
    const auto& distribution = dynamic_cast<const Distribution&>(*d);
    EXPECT_EQ(distribution.inner().display_name(), L"Lorentz singlet");
    EXPECT_EQ(distribution.point_count(), 0u);  // the points come with the model data
    EXPECT_FALSE(create_subspec(L"[D] No such model", nullptr));
    EXPECT_FALSE(create_subspec(L"[D]Lorentz singlet", nullptr));
    EXPECT_THROW(create_subspec(L"[D] FreeVar", nullptr), std::runtime_error);  // nothing to spread over
    EXPECT_EQ(create_subspec(L"Voigt singlet", nullptr)->display_name(), L"Voigt singlet");
    EXPECT_FALSE(create_subspec(L"No such model", nullptr));
}

TEST(Catalogue, ADistributionTravelsWithItsPoints)
{
    const SubSpecPtr d = create_subspec(L"[D] PseudoVoigt doublet", &iron());
    dynamic_cast<Distribution&>(*d).setup(4, {3, 2});
    SpectrumModel model;
    model.insert_component(0, d);
    const unsigned n = d->param_count();
    DVector values(n), lower(n), upper(n);
    d->init_params(SpectrumAnalysis{}, values, 0, n);
    std::vector<int> flags(n, ParamFree);
    for (unsigned j = 0; j < n; ++j) {
        values(j) += 0.1 * j + 1.0 / 7.0;
        lower(j) = d->param_info(j).lower;
        upper(j) = d->param_info(j).upper;
    }
    const std::wstring line = format_component_line(*model.components[0], values, flags, lower, upper);
    const std::size_t colon = line.find(L": ");
    ASSERT_EQ(line.substr(0, colon), L"[D] PseudoVoigt doublet");

    DVector read, read_lower, read_upper;
    std::vector<int> read_flags;
    const SubSpecPtr again = create_subspec(line.substr(0, colon), &iron());
    SpectrumModel::parse_component_line(line.substr(colon + 1), again, read, read_flags, read_lower, read_upper,
                                        nullptr, nullptr);
    EXPECT_EQ(again->param_count(), n);
    ASSERT_EQ(read.size(), n);
    for (unsigned j = 0; j < n; ++j)
        EXPECT_EQ(read(j), values(j)) << j;

    // Without its model data a distribution has no points.
    DVector none, none_lower, none_upper;
    std::vector<int> none_flags;
    try {
        SpectrumModel::parse_component_line(L"", create_subspec(L"[D] Lorentz singlet", nullptr), none, none_flags,
                                            none_lower, none_upper, nullptr, nullptr);
        ADD_FAILURE() << "a distribution without points read";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), MessageText(50043).to_utf8());
    }
    EXPECT_EQ(none.size(), 0u);
}

int probes = 0;

template <class T>
SubSpecPtr counted(void*, const Isotope* isotope)
{
    ++probes;
    return SubSpecFactory::instance().create_by_name(T::catalogue_name, isotope);
}

TEST(Catalogue, RegistrationProbesForBaselinesAndHidesAtNames)
{
    SubSpecFactory own;
    probes = 0;
    own.register_model(&counted<BaseLineParams>, nullptr, L"@Level", false);
    own.register_model(&counted<PseudoVoigtSextetParams>, nullptr, L"Sextet", true);
    own.register_model(&counted<PseudoVoigtSextetParams>, nullptr, L"Later", true);
    own.add_separator();
    EXPECT_EQ(probes, 1);  // types for an isotope are never probed
    ASSERT_EQ(own.size(), 4u);
    EXPECT_EQ(own.name_at(0), L"Level");
    EXPECT_TRUE(own.is_hidden(0));
    EXPECT_TRUE(own.is_baseline(0));
    EXPECT_FALSE(own.is_baseline(1));
    EXPECT_FALSE(own.is_hidden(2));
    EXPECT_TRUE(own.is_hidden(3));
    EXPECT_EQ(own.create_baseline(nullptr, -1.0)->display_name(), L"Baseline");
    EXPECT_FALSE(SubSpecFactory().create_baseline(nullptr, 5.0));
}

// Every type's component line, as a model file stores it, creates and reads back the
// same component.
TEST(Catalogue, EveryTypeTravelsAsAComponentLine)
{
    for (const Entry& e : table) {
        if (e.params == 0 || e.index == 35)  // the measured spectrum needs a reference file
            continue;
        SCOPED_TRACE(e.index);
        SpectrumModel model;
        model.insert_component(0, catalogue().create_at(e.index, &iron()));
        const SubModel& component = *model.components[0];
        DVector values(component.count), lower(component.count), upper(component.count);
        component.subspec->init_params(SpectrumAnalysis{}, values, 0, component.count);
        std::vector<int> flags(component.count);
        for (unsigned j = 0; j < component.count; ++j) {
            values(j) += 1.0 / 3.0;
            flags[j] = int(j % 2);
            lower(j) = component.subspec->param_info(j).lower;
            upper(j) = component.subspec->param_info(j).upper;
        }
        const std::wstring line = format_component_line(component, values, flags, lower, upper);
        const std::size_t colon = line.find(L": ");
        std::wstring name = line.substr(0, colon);
        if (e.needs_isotope)
            name = name.substr(0, name.rfind(L" ("));
        DVector read, read_lower, read_upper;
        std::vector<int> read_flags;
        SpectrumModel::parse_component_line(line.substr(colon + 1), create_subspec(name, &iron()), read, read_flags,
                                            read_lower, read_upper, nullptr, nullptr);
        ASSERT_EQ(read.size(), values.size());
        for (unsigned j = 0; j < component.count; ++j) {
            EXPECT_EQ(read(j), values(j));
            EXPECT_EQ(read_flags[j], flags[j]);
            EXPECT_EQ(read_lower(j), lower(j));
            EXPECT_EQ(read_upper(j), upper(j));
        }
    }
}

}  // namespace
