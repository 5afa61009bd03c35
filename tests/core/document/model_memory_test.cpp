// A model too large for the memory the program has: loading it fails as a whole and the
// document stays as it was. The 32-bit program cannot allocate the covariance of two
// 10000-point distributions (3.2 GB); here every allocation above 256 MB fails, on any
// build.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "core/document/change_records.h"
#include "core/text/messages.h"
#include "tests/support/allocation_failures.h"
#include "tests/support/model_file_test_parts.h"

namespace {

using document_test::Snapshot;

// A file of two distributions of Lorentz lines over `points` points each.
std::wstring two_distributions(unsigned points)
{
    std::wstring extra = std::to_wstring(points) + L";1;1";
    for (unsigned j = 0; j < points; ++j)
        extra += L";1";
    extra += L";0";
    std::wstring text;
    for (int k = 1; k <= 2; ++k)
        text += L"Component = 0" + std::to_wstring(k) + L"-[D] Lorentz singlet:extradata=" + extra + L"\n";
    return text;
}

TEST(ModelMemory, AModelWhoseCovarianceDoesNotFitChangesNothing)
{
    test_support::largest_allocation = std::size_t(256) << 20;
    const document_test::TestModelFileParts parts;
    ModelState d;
    document_test::add(d, model_test::baseline());
    document_test::add(d, model_test::lorentz());
    d.add_expression(0, L"E", L"[1:I]*2");
    d.add_xrange({1.0, 2.0});
    const Snapshot before(d);
    const std::size_t records = d.model_history.records().size();

    // The same file with small distributions loads.
    {
        ModelState small;
        small.load_model_text(nullptr, two_distributions(100), parts);
        EXPECT_EQ(small.model.component_count(), 2u);
    }
    try {
        d.load_model_text(nullptr, two_distributions(10000), parts);
        ADD_FAILURE() << "loaded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), MessageText(50231, 20006u).to_utf8());
    }
    EXPECT_EQ(Snapshot(d).difference(before), "");
    EXPECT_EQ(d.model_history.records().size(), records);
    EXPECT_EQ(d.spectrum_history.records().size(), 1u);
    EXPECT_TRUE(document_test::vectors_fit_model(d));
    test_support::largest_allocation = SIZE_MAX;
}

}  // namespace
