// Components appended without records, and the baseline level set into a value vector.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/model_test_parts.h"

namespace {

TEST(AppendComponent, BaselineOnlyFirst)
{
    SpectrumModel model;
    model.level = 500.0;
    model.append_component(model_test::auto_baseline());
    EXPECT_EQ(dynamic_cast<IAutoBaseLine&>(*model.components[0]->subspec).get_level(), 500.0);
    model.append_component(model_test::lorentz());
    EXPECT_EQ(model.param_count(), 6u);
    EXPECT_EQ(model.components[1]->color, subspectrum_color(1));
    EXPECT_THROW(model.append_component(model_test::baseline()), std::runtime_error);
    EXPECT_EQ(model.component_count(), 2u);
}

TEST(SetBaselineLevel, AutomaticKeepsItPlainGetsItAsParameter)
{
    SpectrumModel automatic = model_test::model_of({model_test::auto_baseline(), model_test::lorentz()});
    DVector v(6, 7.0);
    automatic.set_baseline_level(1e6, v);
    EXPECT_EQ(automatic.level, 1e6);
    EXPECT_EQ(v(0), 0.0);
    EXPECT_EQ(dynamic_cast<IAutoBaseLine&>(*automatic.components[0]->subspec).get_level(), 1e6);

    SpectrumModel plain = model_test::model_of({model_test::baseline(), model_test::lorentz()});
    DVector w(6, 7.0);
    plain.set_baseline_level(2e6, w);
    EXPECT_EQ(w(0), 2e6);
    EXPECT_EQ(w(3), 7.0);
}

}  // namespace
