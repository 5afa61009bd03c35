#include "core/model/component_line.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "subspec/distribution.h"
#include "subspec/free_var.h"
#include "subspec/spectrum_m.h"
#include "subspec/param_tables.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/named_params_model.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Components with the parameter names of catalogue types; their values do not matter.
template <class Params>
using Flat = test_support::NamedParamsModel<Params>;

struct Read {
    DVector values, lower, upper;
    std::vector<int> flags;
    std::vector<LinkSpec> links;
};

Read parse(const std::wstring& text, SubSpecPtr subspec, const LegacyModelName* legacy = nullptr)
{
    Read r;
    SpectrumModel::parse_component_line(text, subspec, r.values, r.flags, r.lower, r.upper, &r.links, legacy);
    return r;
}

std::string error_of(const std::wstring& text, SubSpecPtr subspec, const LegacyModelName* legacy = nullptr)
{
    try {
        parse(text, subspec, legacy);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

// A component whose parameters have the names a script declares, whatever they are.
class DeclaredNames final : public ISubSpec {
public:
    explicit DeclaredNames(std::vector<std::wstring> names)
    {
        for (std::wstring& n : names)
            infos_.push_back({std::move(n), L"%g", 0, -inf, inf, true});
    }
    unsigned param_count() const override { return static_cast<unsigned>(infos_.size()); }
    unsigned shown_param_count() const override { return param_count(); }
    void evaluate(const XPoints&, const ParamRange&, double*) const override {}
    void evaluate_with_jacobian(const XPoints&, const ParamRange&, double*, JacobianRange) const override {}
    void init_params(const SpectrumAnalysis&, DVector& p, unsigned first, unsigned count) const override
    {
        for (unsigned i = 0; i < count; ++i)
            p(first + i) = 0.0;
    }
    const ParamInfo& param_info(unsigned i) const override { return infos_.at(i); }
    std::wstring display_name() const override { return L"Declared"; }
    void param_layout(std::vector<unsigned>& out) const override { out.assign(1, 0); }
    SubSpecPtr clone() const override { return nullptr; }

private:
    std::vector<ParamInfo> infos_;
};

bool same_bits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(ComponentLine, WrittenLineReadsBackEveryValueFlagBoundAndLinkExactly)
{
    SpectrumModel model = model_test::model_of({model_test::baseline(), model_test::lorentz(), model_test::lorentz()});
    // Component 1 holds values that sixteen significant digits do not carry.
    const double awkward[] = {1e-300, 6.02214076e23, -0.0, 0.1 + 0.2, 1.0 / 3.0, 1.0 - 1e-16, 5e-324, -2.5, 7.0};
    DVector values(9), lower(9), upper(9);
    std::vector<int> flags(9, ParamFree);
    for (unsigned k = 0; k < 9; ++k) {
        values(k) = awkward[k];
        lower(k) = model.components[k / 3]->subspec->param_info(k % 3).lower;
        upper(k) = model.components[k / 3]->subspec->param_info(k % 3).upper;
    }
    // Component 1: fixed and linked parameters, every kind of bound.
    flags[3] = 0;
    lower(3) = -inf;           // "b"
    upper(4) = 0.7 / 3.0;      // "T"
    lower(4) = inf;            // a lower bound of +inf survives too
    upper(5) = -inf;
    lower(5) = 0.1 + 0.7;      // "B"
    model_test::link_param(model, 1, 1, 2, 1, 1.0 / 7.0);
    model_test::link_expr(model, 1, 2, 4, -0.3);

    const std::wstring line = format_component_line(*model.components[1], values, flags, lower, upper);
    ASSERT_EQ(line.rfind(L"Lorentz singlet:", 0), 0u) << line;
    const Read r = parse(line.substr(line.find(L':') + 1), model_test::lorentz());
    ASSERT_EQ(r.values.size(), 3u);
    for (unsigned j = 0; j < 3; ++j) {
        EXPECT_TRUE(same_bits(r.values(j), values(3 + j))) << j << " " << line;
        EXPECT_TRUE(same_bits(r.lower(j), lower(3 + j))) << j << " " << line;
        EXPECT_TRUE(same_bits(r.upper(j), upper(3 + j))) << j << " " << line;
        EXPECT_EQ(r.flags[j], flags[3 + j]) << j;
    }
    ASSERT_EQ(r.links.size(), 2u);
    EXPECT_EQ(r.links[0], (LinkSpec{3, 1, LinkToParam, 0, 1, 1.0 / 7.0}));
    EXPECT_EQ(r.links[1], (LinkSpec{5, 0, LinkToExpr, 0, 2, -0.3}));
}

TEST(ComponentLine, BoundsEqualToTheDescriptorsAreNotWritten)
{
    SpectrumModel model = model_test::model_of({model_test::baseline()});
    const DVector values = test_support::vec({1e6, 0.0, 0.5});
    const DVector lower = test_support::vec({0.0, -inf, -inf});
    const DVector upper = test_support::vec({inf, inf, inf});
    EXPECT_EQ(format_component_line(*model.components[0], values, {1, 0, 0}, lower, upper),
              L"Baseline: N₀=1e+06 c=0F v₀=0.5F");
    // A bound of -0 is not the descriptor's 0: written, it reads back with its sign.
    const DVector signed_zero = test_support::vec({-0.0, -inf, -inf});
    EXPECT_EQ(format_component_line(*model.components[0], values, {1, 0, 0}, signed_zero, upper),
              L"Baseline: N₀=1e+06B-0 c=0F v₀=0.5F");
}

struct FlagCase {
    const wchar_t* text;
    unsigned param;
    double value;
    bool free;
    double lower, upper;
    std::optional<LinkSpec> link;
};

TEST(ComponentLine, FlagLettersSetFreedomBoundsAndLinkRequests)
{
    const FlagCase cases[] = {
        {L"I=1 δ=1.5e-01F", 1, 0.15, false, -inf, inf, {}},
        {L"I=1 δ=0 Γ=2.0e-01b", 2, 0.2, true, -inf, inf, {}},
        {L"I=1e+00B5e-01b", 0, 1.0, true, -inf, inf, {}},  // "b" wins over "B"
        {L"I=1e+00B5e-01", 0, 1.0, true, 0.5, inf, {}},
        {L"I=1T2.5F", 0, 1.0, false, 0.0, 2.5, {}},
        {L"I=1T2.5t", 0, 1.0, true, 0.0, inf, {}},
        {L"I=+2.5", 0, 2.5, true, 0.0, inf, {}},
        {L"I=1 δ=0L2.0e+00*3.1", 1, 0.0, true, -inf, inf, LinkSpec{3, 1, LinkToParam, 0, 1, 2.0}},
        {L"I=1L2.0e+00*3", 0, 1.0, true, 0.0, inf, LinkSpec{3, 0, LinkToExpr, 0, 0, 2.0}},
        {L"I=1L2.0e+00*3.", 0, 1.0, true, 0.0, inf, LinkSpec{3, 0, LinkToExpr, 0, 0, 2.0}},
        {L"I=1L2.0e+00", 0, 1.0, true, 0.0, inf, {}},  // no target: no link
        {L"I=1L*3.1", 0, 1.0, true, 0.0, inf, {}},     // no factor: no link
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        const Read r = parse(c.text, model_test::lorentz());
        EXPECT_EQ(r.values(c.param), c.value);
        EXPECT_EQ(r.flags[c.param], c.free ? ParamFree : 0);
        EXPECT_EQ(r.lower(c.param), c.lower);
        EXPECT_EQ(r.upper(c.param), c.upper);
        if (c.link) {
            ASSERT_EQ(r.links.size(), 1u);
            EXPECT_EQ(r.links[0], *c.link);
        } else {
            EXPECT_TRUE(r.links.empty());
        }
    }
}

TEST(ComponentLine, WithoutALinkListLinksAreIgnored)
{
    DVector values, lower, upper;
    std::vector<int> flags;
    SpectrumModel::parse_component_line(L"I=1L2*3.1", model_test::lorentz(), values, flags, lower, upper, nullptr,
                                        nullptr);
    EXPECT_EQ(values(0), 1.0);
    EXPECT_EQ(flags[0], ParamFree);
}

TEST(ComponentLine, ParametersTheLineLeavesOutKeepTheirStartFixedWithTheirDescriptorBounds)
{
    const Read r = parse(L"I=2", model_test::lorentz());
    ASSERT_EQ(r.values.size(), 3u);
    EXPECT_EQ(r.values(0), 2.0);
    EXPECT_EQ(r.values(1), 0.0);
    EXPECT_EQ(r.values(2), 0.3);
    EXPECT_EQ(r.flags, (std::vector<int>{ParamFree, 0, 0}));
    EXPECT_EQ(r.lower(2), LorenzLineParams::param_info(2).lower);
    EXPECT_EQ(r.upper(2), inf);
}

TEST(ComponentLine, ParametersAppendToWhatTheVectorsHold)
{
    Read r;
    r.values = test_support::vec({9.0});
    r.lower = test_support::vec({-1.0});
    r.upper = test_support::vec({1.0});
    r.flags = {ParamFree};
    SpectrumModel::parse_component_line(L"I=2 δ=3", model_test::lorentz(), r.values, r.flags, r.lower, r.upper,
                                        &r.links, nullptr);
    ASSERT_EQ(r.values.size(), 4u);
    EXPECT_EQ(r.values(0), 9.0);
    EXPECT_EQ(r.values(1), 2.0);
    EXPECT_EQ(r.values(2), 3.0);
    EXPECT_EQ(r.lower(0), -1.0);
}

TEST(ComponentLine, NamesMatchUpToScriptFormsThroughRenamesAndLogarithms)
{
    using Relax = Flat<RelaxDoubletParams>;
    // "N0" with a plain digit names "N₀".
    EXPECT_EQ(parse(L"N0=5 c=0 v0=1", make_subspec<BaseLine>(nullptr)).values(2), 1.0);
    // An older file's "S" is the "I" of entry 0.
    EXPECT_EQ(parse(L"S=2", make_subspec<Flat<PseudoVoigtLineParams>>(nullptr), find_legacy_model(L"PseudoVoigt line"))
                  .values(0),
              2.0);
    // "ΩAB" stored as ln(ΩAB).
    const Read r = parse(L"I=1 I₂/I₁=1 δA=0 εA=0 δB=0 εB=0 ΩAB=2", make_subspec<Relax>(nullptr));
    EXPECT_DOUBLE_EQ(r.values(6), std::log(2.0));
    // Entry 3 renames to a name that already carries the logarithm.
    const Read old = parse(L"S=1 S²/S¹=1 δ₁=0 ε₁=0 δ₂=0 ε₂=0 ln(p₁₂)=0.5 p₂₁/p₁₂=3", make_subspec<Relax>(nullptr),
                           find_legacy_model(L"Two level charge relaxation doublet"));
    EXPECT_EQ(old.values(6), 0.5);
    EXPECT_EQ(old.values(7), 3.0);
}

TEST(ComponentLine, ALineThatDoesNotReadChangesNothingAndSaysWhy)
{
    using Relax = Flat<RelaxDoubletParams>;
    const std::map<std::wstring, std::string> lorentz_errors = {
        {L"I=1 x=2", MessageText(50044, L"δ", L"x").to_utf8()},
        {L"I=1 δ=0 Γ=1 I=2", MessageText(50045, 3u, 4u).to_utf8()},
        {L"I=1 δ", MessageText(50042, L"δ").to_utf8()},
        {L"I=1 δ=abc", MessageText(50042, L"δ=abc").to_utf8()},
        {L"=5", MessageText(50042, L"=5").to_utf8()},
    };
    for (const auto& [text, expected] : lorentz_errors) {
        Read r;
        r.values = test_support::vec({9.0});
        r.lower = r.upper = r.values;
        r.flags = {1};
        r.links = {LinkSpec{}};
        try {
            SpectrumModel::parse_component_line(text, model_test::lorentz(), r.values, r.flags, r.lower, r.upper,
                                                &r.links, nullptr);
            ADD_FAILURE() << wide_to_utf8(text) << " read";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), expected) << wide_to_utf8(text);
        }
        EXPECT_EQ(r.values.size(), 1u);
        EXPECT_EQ(r.flags.size(), 1u);
        EXPECT_EQ(r.lower.size(), 1u);
        EXPECT_EQ(r.links.size(), 1u);
    }
    // The logarithm of a value that has none is refused, not stored as NaN or -inf.
    for (const wchar_t* rate : {L"ΩAB=0", L"ΩAB=-1"})
        EXPECT_EQ(error_of(std::wstring(L"I=1 I₂/I₁=1 δA=0 εA=0 δB=0 εB=0 ") + rate, make_subspec<Relax>(nullptr)),
                  MessageText(50042, rate).to_utf8());
    // A renamed name that still does not fit is reported under its new name.
    EXPECT_EQ(error_of(L"S₂/S₁=1", make_subspec<Flat<PseudoVoigtLineParams>>(nullptr),
                       find_legacy_model(L"PseudoVoigt doublet")),
              MessageText(50044, L"I", L"I₂/I₁").to_utf8());
}

TEST(ComponentLine, ExtraDataGoesToTheModelData)
{
    const SubSpecPtr variable = make_subspec<FreeVar>(nullptr);
    const Read r = parse(L"extradata=0|Name|speed x=3F", variable);
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*variable).description(), L"speed");
    EXPECT_EQ(r.values(0), 3.0);
    EXPECT_EQ(r.flags[0], 0);
    // A model without model data skips the token.
    EXPECT_EQ(parse(L"extradata=0|Name|speed I=4", model_test::lorentz()).values(0), 4.0);

    SpectrumModel model = model_test::model_of({variable});
    const DVector values = test_support::vec({3.0});
    const DVector lower = test_support::vec({-inf});
    const DVector upper = test_support::vec({inf});
    EXPECT_EQ(format_component_line(*model.components[0], values, {0}, lower, upper),
              L"FreeVar: extradata=0|Name|speed x=3F");
}

TEST(ComponentLine, ParameterNamesThatATokenCannotCarryTravelEncoded)
{
    const std::vector<std::wstring> names = {L"τ (ns)", L"a=b", L"", L"extradata", L"$$x", L"tab\there",
                                             L"$$",     L"x",   L"Γ₁", L"$0041",    L"=",   L"\u3000"};
    const SubSpecPtr declared(new DeclaredNames(names));
    SpectrumModel model = model_test::model_of({declared});
    DVector values(names.size()), lower(names.size(), -inf), upper(names.size(), inf);
    for (unsigned i = 0; i < names.size(); ++i)
        values(i) = 0.5 * i - 1.0;
    const std::wstring line =
        format_component_line(*model.components[0], values, std::vector<int>(names.size(), ParamFree), lower, upper);
    // Names that need nothing are written as they are.
    EXPECT_NE(line.find(L" x=2.5 Γ₁=3 $0041=3.5 "), std::wstring::npos) << line;
    const Read r = parse(line.substr(line.find(L':') + 1), SubSpecPtr(new DeclaredNames(names)));
    ASSERT_EQ(r.values.size(), names.size()) << line;
    for (unsigned i = 0; i < names.size(); ++i)
        EXPECT_EQ(r.values(i), values(i)) << i << " " << line;
    // A name of another parameter is still refused, encoded or not.
    EXPECT_EQ(error_of(L"$$a$003db=1", SubSpecPtr(new DeclaredNames({L"a=c"}))),
              MessageText(50044, L"a=c", L"a=b").to_utf8());
    // A name beginning with "$$" written as it is by older files still reads.
    EXPECT_EQ(parse(L"$$x=4", SubSpecPtr(new DeclaredNames({L"$$x"}))).values(0), 4.0);
}

TEST(ComponentLine, AModelDataThatIsEmptyIsNotWrittenAndTheComponentReadsBackAsItWas)
{
    // A measured spectrum without its reference, plain and distributed.
    for (const SubSpecPtr& s : {make_subspec<SpectrumM>(nullptr),
                                make_distribution(make_subspec<SpectrumM>(nullptr), 3, {2})}) {
        SpectrumModel model = model_test::model_of({s});
        const unsigned n = s->param_count();
        DVector values(n, 1.0), lower(n, -inf), upper(n, inf);
        for (unsigned i = 0; i < n; ++i)
            lower(i) = s->param_info(i).lower, upper(i) = s->param_info(i).upper;
        const std::wstring line =
            format_component_line(*model.components[0], values, std::vector<int>(n, ParamFree), lower, upper);
        SubSpecPtr back = dynamic_cast<const IDistribution*>(s.get()) ? make_distribution(make_subspec<SpectrumM>(nullptr), 2, {1})
                                            : make_subspec<SpectrumM>(nullptr);
        const Read r = parse(line.substr(line.find(L':') + 1), back);
        EXPECT_EQ(r.values.size(), n) << line;
        SpectrumModel again = model_test::model_of({back});
        EXPECT_EQ(format_component_line(*again.components[0], r.values, r.flags, r.lower, r.upper), line);
    }
}

TEST(ComponentLine, RenamesAreKeyedByComponentNumber)
{
    std::map<std::wstring, std::wstring> renames;
    add_param_renames(find_legacy_model(L"PseudoVoigt doublet"), 2, renames);
    add_param_renames(nullptr, 3, renames);
    EXPECT_EQ(renames, (std::map<std::wstring, std::wstring>{{L"2:S", L"2:I"}, {L"2:S₂/S₁", L"2:I₂/I₁"}}));
    EXPECT_EQ(find_legacy_model(L"pseudoVoigt line"), nullptr);
    EXPECT_EQ(find_legacy_model(L"Fluctuating EFG")->catalogue_name,
              std::wstring(L"Isotropic electric field gradient relaxation"));

    std::wstring key, value;
    split_key_value(L"E1=[1:I]*2=3", key, value);
    EXPECT_EQ(key, L"E1");
    EXPECT_EQ(value, L"[1:I]*2=3");
    split_key_value(L"no equals", key, value);
    EXPECT_EQ(key, L"");
    EXPECT_EQ(value, L"no equals");
}

}  // namespace
