#include "subspec/spectrum_m.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text/kwfile.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/scripted_user_interface.h"
#include "tests/support/subspec_ranges.h"

namespace {

using test_support::all_of;

// A reference of 256 channels at `price` mm/s per channel around channel 128.5: a
// baseline of 100000 counts with a Lorentz dip (or peak) of 20000 counts at 0.3 mm/s,
// 2 mm/s wide.
KeywordList reference_list(double price, double sign = -1.0)
{
    std::wstring counts;
    for (int c = 1; c <= 256; ++c) {
        const double v = (c - 128.5) * price;
        const double t = 2.0 * (v - 0.3) / 2.0;
        counts += std::to_wstring(100000.0 + sign * 20000.0 / (1.0 + t * t)) + L" ";
    }
    KeywordList list;
    kwlist_set(list, L"ChannelPrice(mm/s)", std::to_wstring(price));
    kwlist_set(list, L"ZeroChannel", L"128.5");
    kwlist_set(list, L"Data", counts);
    return list;
}

SubSpecPtr measured(const KeywordList& list)
{
    SubSpecPtr s = make_subspec<SpectrumM>(nullptr);
    dynamic_cast<ISubSpecData&>(*s).load_extra(kwlist_to_string(list));
    return s;
}

const SpectrumM& model_of(const SubSpecPtr& s)
{
    return dynamic_cast<const SpectrumM&>(*s);
}

struct Jacobian {
    std::vector<double> values;
    DMatrix d;
};

Jacobian jacobian_of(const ISubSpec& s, const DVector& x, const DVector& p)
{
    Jacobian j{std::vector<double>(x.size()), DMatrix(x.size(), 4)};
    s.evaluate_with_jacobian(all_of(x), all_of(p), j.values.data(), all_of(j.d));
    return j;
}

// The derivatives by Δδ and Γv against central differences of the values over a few
// reference channels (within one channel the interpolation is linear, while the slope
// follows the smoothed counts): the slope table must be per mm/s.
void expect_slopes_per_velocity(const ISubSpec& s, const DVector& x, const DVector& p)
{
    const Jacobian j = jacobian_of(s, x, p);
    double largest = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
        largest = std::max(largest, std::fabs(j.d(i, 2)));
    ASSERT_GT(largest, 0.0);
    for (unsigned k : {2u, 3u}) {
        const double h = 0.05;
        DVector up = p, down = p;
        up(k) += h;
        down(k) -= h;
        const std::vector<double> hi = test_support::values_of(s, x, up), lo = test_support::values_of(s, x, down);
        for (std::size_t i = 0; i < x.size(); ++i)
            EXPECT_NEAR(j.d(i, k), (hi[i] - lo[i]) / (2.0 * h), 0.02 * largest)
                << "parameter " << k << " at " << x(i);
    }
}

TEST(SpectrumM, GivesTheReferenceProfileWithUnitArea)
{
    for (double sign : {-1.0, 1.0}) {
        const SubSpecPtr s = measured(reference_list(0.05, sign));
        const SpectrumData& ref = model_of(s).reference();
        const bool up = ref.analysis(false).peaks_up;
        ASSERT_EQ(up, sign > 0.0);
        const SpectrumAnalysis& a = ref.analysis(up);
        const DVector x = test_support::vec(ref.x_data);
        const std::vector<double> values = test_support::values_of(*s, x, test_support::vec({1.0, 0.0, 0.0, 1.0}));
        for (std::size_t i = 0; i < x.size(); ++i)
            ASSERT_DOUBLE_EQ(values[i], (up ? ref.y_data[i] - a.N0 : a.N0 - ref.y_data[i]) / a.S) << i;
        // I scales, ΔN shifts the level by 100000 counts a unit.
        const std::vector<double> scaled = test_support::values_of(*s, x, test_support::vec({2.0, 0.5, 0.0, 1.0}));
        EXPECT_NEAR(scaled[7], 2.0 * (values[7] + (up ? -50000.0 : 50000.0) / a.S), 1e-12);
    }
}

TEST(SpectrumM, ShiftsAndStretchesTheVelocityAxis)
{
    const SubSpecPtr s = measured(reference_list(0.05));
    const SpectrumData& ref = model_of(s).reference();
    const DVector x = test_support::vec({ref.x_data[100] * 2.0 + 0.7});
    const double shifted = test_support::values_of(*s, x, test_support::vec({1.0, 0.0, 0.7, 2.0}))[0];
    const double plain = test_support::values_of(*s, test_support::vec({ref.x_data[100]}),
                                                 test_support::vec({1.0, 0.0, 0.0, 1.0}))[0];
    EXPECT_DOUBLE_EQ(shifted, plain);
    double min = 0.0, max = 0.0;
    dynamic_cast<const ISubSpecRange&>(*s).extent(all_of(test_support::vec({1.0, 0.0, 0.7, 2.0})), min, max);
    EXPECT_DOUBLE_EQ(min, ref.x_data.front() * 2.0 + 0.7);
    EXPECT_DOUBLE_EQ(max, ref.x_data.back() * 2.0 + 0.7);
}

TEST(SpectrumM, DerivativesAreThoseOfTheValuesPerVelocity)
{
    const SubSpecPtr s = measured(reference_list(0.05));
    const DVector p = test_support::vec({1.3, 0.01, 0.1, 1.1});
    const DVector x = test_support::grid(-5.0, 5.0, 201);
    expect_slopes_per_velocity(*s, x, p);
    const Jacobian j = jacobian_of(*s, x, p);
    const std::vector<double> values = test_support::values_of(*s, x, p);
    const double S = model_of(s).reference().analysis(false).S;
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_NEAR(j.values[i], values[i], 1e-14 * std::fabs(values[i]));
        EXPECT_NEAR(j.d(i, 0), values[i] / 1.3, 1e-12);
        EXPECT_NEAR(j.d(i, 1), 100000.0 * 1.3 / S, 1e-9);
    }
}

TEST(SpectrumM, IsFlatBeyondTheReferenceWithZeroSlope)
{
    const SubSpecPtr s = measured(reference_list(0.05));
    const SpectrumData& ref = model_of(s).reference();
    const DVector p = test_support::vec({1.0, 0.0, 0.0, 1.0});
    const DVector x = test_support::vec({ref.x_data.front() - 3.0, ref.x_data.front() - 0.001, ref.x_data.back() + 0.5});
    const Jacobian j = jacobian_of(*s, x, p);
    const std::vector<double> ends = test_support::values_of(
        *s, test_support::vec({ref.x_data.front(), ref.x_data.back()}), p);
    EXPECT_EQ(j.values[0], ends[0]);
    EXPECT_EQ(j.values[1], ends[0]);
    EXPECT_EQ(j.values[2], ends[1]);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(j.d(i, 2), 0.0);
        EXPECT_EQ(j.d(i, 3), 0.0);
    }
}

TEST(SpectrumM, ModelDataRoundTripsAndARefusedReferenceChangesNothing)
{
    const SubSpecPtr s = measured(reference_list(0.05));
    auto& data = dynamic_cast<ISubSpecData&>(*s);
    EXPECT_THROW(measured(KeywordList{}), std::runtime_error);  // no data points

    const SubSpecPtr again = make_subspec<SpectrumM>(nullptr);
    dynamic_cast<ISubSpecData&>(*again).load_extra(data.save_extra());
    const DVector x = test_support::grid(-7.0, 7.0, 57);
    const DVector p = test_support::vec({1.0, 0.2, -0.1, 0.9});
    EXPECT_EQ(test_support::values_of(*again, x, p), test_support::values_of(*s, x, p));

    // A flat reference has no area to normalise by.
    KeywordList flat = reference_list(0.05);
    std::wstring counts;
    for (int c = 0; c < 256; ++c)
        counts += L"100000 ";
    kwlist_set(flat, L"Data", counts);
    kwlist_set(flat, L"FileName", L"flat");
    EXPECT_THROW(data.load_extra(kwlist_to_string(flat)), std::runtime_error);
    EXPECT_EQ(test_support::values_of(*s, x, p), test_support::values_of(*again, x, p));
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*s).description(), L"");
}

TEST(SpectrumM, EditingTheReferencePreparesItAgain)
{
    const SubSpecPtr s = measured(reference_list(0.05));
    test_support::ScriptedUserInterface user;
    user.edit = [](KeywordList& list) {
        kwlist_set(list, L"ChannelPrice(mm/s)", L"0.1");
        return 1;
    };
    ASSERT_TRUE(dynamic_cast<ISubSpecProperties&>(*s).edit_properties());
    EXPECT_NEAR(model_of(s).reference().x_data.back(), 127.5 * 0.1, 1e-12);
    expect_slopes_per_velocity(*s, test_support::grid(-10.0, 10.0, 201), test_support::vec({1.0, 0.0, 0.2, 1.0}));

    // An edit that leaves no area is refused and shown; the reference stays.
    const std::vector<double> counts = model_of(s).reference().y_data;
    user.edit = [](KeywordList& list) {
        kwlist_set(list, L"Multiple", L"0");
        return 1;
    };
    EXPECT_FALSE(dynamic_cast<ISubSpecProperties&>(*s).edit_properties());
    EXPECT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(model_of(s).reference().y_data, counts);
}

TEST(SpectrumM, ChoosingAReferenceAsksAboutAnUncalibratedOne)
{
    // A folder of its own: test programs of several builds run side by side.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vx_spectrum_m_test_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    test_support::ScriptedUserInterface user;
    for (double price : {1.0, 0.1}) {
        for (bool answer : {false, true}) {
            const std::filesystem::path file = folder / "iron foil.spc";
            kwfile_save(utf8_to_wide(file.string()), reference_list(price));
            user.open_file = utf8_to_wide(file.string());
            user.ok_answer = answer;
            user.questions.clear();
            const SubSpecPtr s = make_subspec<SpectrumM>(nullptr);
            const bool added = dynamic_cast<ISubSpecData&>(*s).set_defaults(utf8_to_wide(folder.string()));
            const std::wstring extension =
                user.open_requests.empty() ? L"" : user.open_requests.back().default_extension;
            EXPECT_EQ(extension, L"spc");
            EXPECT_EQ(user.questions.size(), price == 1.0 ? 1u : 0u);
            EXPECT_EQ(added, price != 1.0 || answer);
            if (added) {
                EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*s).description(), L"iron foil");
            }
        }
    }
    user.open_file.reset();
    EXPECT_FALSE(dynamic_cast<ISubSpecData&>(*make_subspec<SpectrumM>(nullptr)).set_defaults(L"."));
    std::filesystem::remove_all(folder);
}

}  // namespace
