// The covariances of several derived values from one sweep over the covariance matrix,
// against the plain triple sum gᵣᵀ V gₛ.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/model/covariance_gram.h"
#include "tests/support/random_covariance.h"

namespace {

// gᵣᵀ V gₛ over the entries inside V.
double plain_form(const DMatrix& v, const SparseGradient& r, const SparseGradient& s)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < r.index.size(); ++i)
        for (std::size_t j = 0; j < s.index.size(); ++j)
            if (r.index[i] < v.size1() && s.index[j] < v.size1())
                sum += r.value[i] * v(r.index[i], s.index[j]) * s.value[j];
    return sum;
}

TEST(CovarianceGram, EqualsThePlainFormsOfEveryPair)
{
    const DMatrix v = test_support::random_covariance(30, 3, 2.0);
    // Runs and gaps, a single entry, entries beyond the matrix, none at all, and two
    // gradients with the same indices.
    const std::vector<SparseGradient> gradients = {
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, -2, 3, 0.5, 0.25, 1, 1, -1, 2, 0.1}},
        {{3, 4, 5, 17, 18, 29}, {0.3, -0.7, 1.1, 2.0, -0.4, 0.9}},
        {{12}, {-3.0}},
        {{5, 28, 29, 30, 31}, {1.5, 0.2, -0.6, 100.0, 100.0}},
        {{}, {}},
        {{3, 4, 5, 17, 18, 29}, {-1.0, 0.5, 0.5, 0.5, 0.5, 2.0}},
    };
    const DMatrix gram = covariance_gram(v, gradients);
    ASSERT_EQ(gram.size1(), gradients.size());
    for (std::size_t r = 0; r < gradients.size(); ++r)
        for (std::size_t s = 0; s < gradients.size(); ++s) {
            const double want = plain_form(v, gradients[r], gradients[s]);
            EXPECT_NEAR(gram(r, s), want, 1e-13 * (1.0 + std::fabs(want))) << r << "," << s;
        }
}

TEST(CovarianceGram, NoCovarianceGivesZeros)
{
    const std::vector<SparseGradient> gradients = {{{0, 1}, {1.0, 2.0}}};
    for (const DMatrix& v : {DMatrix(), DMatrix(2, 3, 1.0)}) {
        const DMatrix gram = covariance_gram(v, gradients);
        ASSERT_EQ(gram.size1(), 1u);
        EXPECT_EQ(gram(0, 0), 0.0);
    }
}

}  // namespace
