// A distribution's extra data: the stored text, its round trip (with the inner model's
// own data), the separators it accepts, and the texts it refuses without a change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lineshapes/singlets.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "test_models.h"

namespace {

// A Lorentz line with a text of model data that it refuses when it reads "bad".
struct PickyLine : LorenzLineParams, ISubSpecData {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& position, const R& width) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = test_models::lorentz(x[i], area, position, width);
    }
    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double>) const {}

    bool set_defaults(const std::wstring&) override { return true; }
    bool load_extra(const std::wstring& text) override
    {
        if (text == L"bad")
            return false;
        data = text;
        return true;
    }
    std::wstring save_extra() const override { return data; }

    std::wstring data = L"initial";
};

SubSpecPtr fresh_lorentz()
{
    return SubSpecPtr(new Distribution(make_subspec<LorenzLine>(nullptr)));
}

Distribution& dist(const SubSpecPtr& s)
{
    return dynamic_cast<Distribution&>(*s);
}

TEST(DistributionExtra, StoredTextOfAThreePointDistribution)
{
    const SubSpecPtr d = make_distribution(make_subspec<LorenzLine>(nullptr), 3, {1});
    EXPECT_EQ(dist(d).save_extra(),
              L"3;1;1;1.000000000000000e+00;1.000000000000000e+00;1.000000000000000e+00;0");
}

// Written and read back on a fresh distribution over the same inner model: the same
// layout, deviations, marks and inner data, and the same text byte for byte; the
// abscissa returns to the point number.
TEST(DistributionExtra, RoundTripWithInnerModelData)
{
    const SubSpecPtr inner = make_subspec<test_models::TestSampledLine>(nullptr);
    dynamic_cast<ISubSpecData&>(*inner).load_extra(L"0|Points|37");
    const SubSpecPtr d = make_distribution(inner, 10, {4, 1});
    dist(d).set_point_deviations(0, {0.1, 0.2, 1.0 / 3.0, 4e-7, 5e5, 1, 1, 1, 1, 2.5});
    dist(d).set_marked_ranges({{1, 4}, {6, 9}});
    dist(d).set_axis_param(1);
    const std::wstring text = dist(d).save_extra();
    const std::wstring inner_text = dynamic_cast<const ISubSpecData&>(*inner).save_extra();
    ASSERT_GE(text.size(), inner_text.size() + 1);
    EXPECT_EQ(text.substr(text.size() - inner_text.size() - 1), L";" + inner_text);

    const SubSpecPtr copy(new Distribution(make_subspec<test_models::TestSampledLine>(nullptr)));
    ASSERT_TRUE(dist(copy).load_extra(text));
    EXPECT_EQ(dist(copy).save_extra(), text);
    ASSERT_EQ(copy->param_count(), d->param_count());
    EXPECT_EQ(copy->shown_param_count(), d->shown_param_count());
    for (unsigned i = 0; i < d->param_count(); ++i)
        EXPECT_EQ(copy->param_info(i).name, d->param_info(i).name);
    EXPECT_EQ(dist(copy).point_deviations(), dist(d).point_deviations());
    EXPECT_EQ(dist(copy).marked_ranges(), dist(d).marked_ranges());
    EXPECT_EQ(dist(copy).axis_param(), -1);
    EXPECT_EQ(dist(copy).description(), L"37");
}

TEST(DistributionExtra, AnySingleCharacterSeparatesAndMarksOffTheGridAreDropped)
{
    const SubSpecPtr d = fresh_lorentz();
    ASSERT_TRUE(dist(d).load_extra(L"10, 1, 1, 1,1,1,1,1,1,1,1,1, 2e0 ,3, 1,4, 5,2, 2,10"));
    EXPECT_EQ(d->param_count(), 13u);
    EXPECT_EQ(dist(d).point_deviations().back(), 2.0);
    EXPECT_EQ(dist(d).marked_ranges(), (PointRangeList{{1, 4}}));
}

// Refused texts leave a loaded distribution exactly as it was.
TEST(DistributionExtra, RefusedTextsChangeNothing)
{
    const SubSpecPtr d = make_distribution(make_subspec<LorenzLine>(nullptr), 4, {2});
    dist(d).set_point_deviations(0, {0.5, 0.5, 2, 2});
    const std::wstring before = dist(d).save_extra();
    const std::vector<std::wstring> refused = {
        L"",
        L"0;1;1;0",                            // no points
        L"3;0;0",                              // nothing spread
        L"1;1;1;1e0;0",                        // one point: no grid
        L"10001;1;1",                          // more points than allowed
        L"4000000000;1;1;1;1;1",               // an allocation the text may not ask for
        L"3;1;1;1;1",                          // cut off in the deviations
        L"3;1;1;1;1;1",                        // cut off before the marks
        L"3;1;1;1;1;1;2;0;1",                  // cut off in the marks
        L"3;1;1;1;1;1;0;x",                    // something after the end
        L"3;1;1;1;zero;1;0",                   // not a number
        L"3;1;1;1;-1;1;0",                     // a negative deviation
        L"3;1;1;1;nan;1;0",                    // a deviation that is not a number
        L"3;1;-1;1;1;1;0",                     // a negative parameter index
        L"3;1;3;1;1;1;0",                      // no such inner parameter
        L"3;1;0;1;1;1;0",                      // the area parameter
        L"3;4;1;1;1;1;1;1;1;0",                // more spread parameters than the inner model has
    };
    for (const std::wstring& text : refused) {
        EXPECT_FALSE(dist(d).load_extra(text)) << text;
        EXPECT_EQ(dist(d).save_extra(), before) << text;
        EXPECT_EQ(d->param_count(), 7u) << text;
    }
    const SubSpecPtr unset = fresh_lorentz();
    EXPECT_FALSE(dist(unset).load_extra(L"3;1;1;1;1"));
    EXPECT_EQ(unset->param_count(), 0u);
}

// The inner model's part goes to it unchanged, separators included; when the inner
// model refuses it, the whole text is refused and the distribution stays as it was.
TEST(DistributionExtra, InnerModelDataIsHandedOnUnchanged)
{
    const SubSpecPtr d = make_distribution(make_subspec<PickyLine>(nullptr), 3, {1});
    EXPECT_EQ(dist(d).save_extra(), L"3;1;1;1.000000000000000e+00;1.000000000000000e+00;1.000000000000000e+00;0;initial");
    ASSERT_TRUE(dist(d).load_extra(L"4;1;1;1;1;1;1;0;a;b c|d"));
    EXPECT_EQ(dynamic_cast<const PickyLine&>(dist(d).inner()).data, L"a;b c|d");
    EXPECT_EQ(dist(d).point_count(), 4u);
    const std::wstring before = dist(d).save_extra();
    EXPECT_FALSE(dist(d).load_extra(L"5;1;1;1;1;1;1;1;0;bad"));
    EXPECT_EQ(dist(d).save_extra(), before);

    // Without the inner part, the inner model reads an empty text.
    ASSERT_TRUE(dist(d).load_extra(L"3;1;1;1;1;1;0"));
    EXPECT_EQ(dynamic_cast<const PickyLine&>(dist(d).inner()).data, L"");
}

}  // namespace
