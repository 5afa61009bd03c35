// The example spectra and models the program carries: each spectrum is fitted by its
// model to a reduced chi-square near 1 (the spectra are Poisson draws of the models), and
// the fit finds the hyperfine parameters the spectrum was simulated with; the stored
// bytes do not show the texts.
#include "core/text/example_items.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/document/model_state.h"
#include "core/fit/lm_fit.h"
#include "core/text/kwfile.h"
#include "catalogue/program_model_file_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

// A parameter of the fitted model and the value the spectrum was simulated with.
struct Truth {
    unsigned component, param;
    double value, tolerance;
};

struct Case {
    const wchar_t* spectrum_title;
    std::vector<Truth> truths;
};

// Parameter indices: sextet δ 3, ε 4, Hn 5, Γ₁ 8; doublet δ 2, ε 3, Γ₁ 4.
const Case cases[] = {
    {L"α-Fe calibration", {{1, 5, 330.0, 0.5}, {1, 3, 0.0, 0.005}, {1, 8, 0.25, 0.01}}},
    {L"Sodium nitroprusside", {{1, 2, -0.257, 0.005}, {1, 3, 0.853, 0.005}, {1, 4, 0.24, 0.01}}},
    {L"Magnetite Fe3O4", {{1, 5, 491.0, 3.0}, {2, 5, 460.0, 3.0}, {1, 3, 0.27, 0.03}, {2, 3, 0.66, 0.03}}},
    {L"Hematite with a paramagnetic phase", {{1, 5, 515.0, 2.0}, {1, 4, -0.10, 0.02}, {2, 3, 0.36, 0.03}}},
};

std::wstring title(const std::wstring& text)
{
    KeywordList list;
    kwfile_load_from_memory(text, list);
    std::wstring value;
    kwlist_find(list, L"Title", value);
    return value;
}

TEST(ExampleItems, EachSpectrumIsFittedByItsModelToAReducedChiSquareNearOne)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    unsigned n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        std::wstring spectrum, model;
        ASSERT_TRUE(demo_spectrum_item(n, spectrum));
        ASSERT_TRUE(demo_model_item(n, model));
        EXPECT_EQ(title(spectrum), c.spectrum_title);
        EXPECT_FALSE(title(model).empty());

        // As the demo commands load them: the spectrum, its levels, then the model.
        ModelState d;
        d.data.load_text(spectrum);
        d.set_levels_from_spectrum();
        d.load_model_text(&iron(), model, parts);
        const unsigned m = static_cast<unsigned>(d.values.size());
        std::vector<int> varied(m);
        for (unsigned i = 0; i < m; ++i)
            varied[i] = d.is_varied(i);
        DVector fitted;
        DMatrix covariance, directions;
        double chi_square = 0, reduced = 0;
        unsigned iterations = 0;
        FitStopCode stop{};
        lm_fit(d.model, d.data, d.values, varied, d.lower_bounds, d.upper_bounds, FitSettings(), fitted, covariance,
               directions, chi_square, reduced, iterations, stop);
        EXPECT_GT(iterations, 3u);  // the model starts away from the answer
        // 512 points, about ten parameters: one standard deviation of the reduced
        // chi-square is √(2/500) ≈ 0.063.
        EXPECT_NEAR(reduced, 1.0, 0.2) << "stop code " << stop;
        for (const Truth& t : c.truths)
            EXPECT_NEAR(fitted[d.model.components[t.component]->first + t.param], t.value, t.tolerance)
                << "component " << t.component << " parameter " << t.param;
        ++n;
    }
    std::wstring text;
    EXPECT_FALSE(demo_spectrum_item(n, text));
    EXPECT_FALSE(demo_model_item(n, text));
}

TEST(ExampleItems, TheStoredBytesAreEncipheredAndTheCipherIsItsOwnInverse)
{
    for (ExampleKind kind : {ExampleKind::spectrum, ExampleKind::model}) {
        for (const EncipheredExample& item : stored_examples(kind)) {
            const std::string stored(reinterpret_cast<const char*>(item.bytes), item.size);
            EXPECT_EQ(stored.find("Title"), std::string::npos);
            EXPECT_EQ(stored.find("Component"), std::string::npos);
        }
    }
    std::vector<unsigned char> bytes{'T', 'i', 't', 'l', 'e', ':', 'x'};
    const std::vector<unsigned char> plain = bytes;
    apply_example_cipher(bytes, ExampleKind::model, 3);
    EXPECT_NE(bytes, plain);
    std::vector<unsigned char> other = plain;
    apply_example_cipher(other, ExampleKind::model, 2);
    EXPECT_NE(bytes, other);  // each item has a key of its own
    apply_example_cipher(bytes, ExampleKind::model, 3);
    EXPECT_EQ(bytes, plain);
}

}  // namespace
