// Sizes and internal identities of the generated tables.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "codec/tables/tables.h"

namespace {

using namespace g729a;

template <typename T, size_t N>
constexpr size_t CountOf(const T (&)[N]) { return N; }

TEST(Tables, HaveTheRecommendationsSizes) {
    EXPECT_EQ(CountOf(kLpWindow), 240u);
    EXPECT_EQ(CountOf(kLagWindow), 11u);
    EXPECT_EQ(CountOf(kCosineGrid), 51u);
    EXPECT_EQ(CountOf(kLspCodebook1), 128u);
    EXPECT_EQ(CountOf(kLspCodebook2), 32u);
    EXPECT_EQ(CountOf(kInterpolation3), 31u);
    EXPECT_EQ(CountOf(kGainCodebookA), 8u);
    EXPECT_EQ(CountOf(kGainCodebookB), 16u);
    EXPECT_EQ(CountOf(kGainThresholdA), 4u);
    EXPECT_EQ(CountOf(kGainThresholdB), 8u);
}

// The codebooks are stored as integers in units of 1e-4; divided by their scale they give
// the Recommendation's values to the last bit.
TEST(Tables, ScaledCodebooksGiveTheRecommendationsValues) {
    const double firstRow[kOrder] = {0.1814, 0.2647, 0.4580, 1.1077, 1.4813,
                                     1.7022, 2.1953, 2.3405, 2.5867, 2.6636};
    for (int j = 0; j < kOrder; ++j)
        EXPECT_EQ(kLspCodebook1[0][j] / kLspCodebook1Scale, firstRow[j]) << j;
    EXPECT_EQ(kLspCodebook2[0][0] / kLspCodebook2Scale, -0.0532);
    EXPECT_EQ(kLspCodebook2[1][3] / kLspCodebook2Scale, -0.0010);
}

TEST(Tables, ParameterWidthsFillEightyBits) {
    int sum = 0;
    for (int w : kParamBits) sum += w;
    EXPECT_EQ(sum, 80);
}

TEST(Tables, MaPredictorSumsMatchTheCoefficients) {
    for (int mode = 0; mode < 2; ++mode) {
        for (int j = 0; j < kOrder; ++j) {
            double sum = 1.0;
            for (int k = 0; k < kLspMaOrder; ++k) sum -= kLspMaPredictor[mode][k][j];
            EXPECT_NEAR(kLspMaPredictorSum[mode][j], sum, 1e-6);
            EXPECT_NEAR(kLspMaPredictorSum[mode][j] * kLspMaPredictorSumInverse[mode][j], 1.0,
                        1e-6);
        }
    }
}

TEST(Tables, GainIndexMapsAreInverse) {
    for (int i = 0; i < kGainCodebookASize; ++i) EXPECT_EQ(kGainInverseMapA[kGainMapA[i]], i);
    for (int i = 0; i < kGainCodebookBSize; ++i) EXPECT_EQ(kGainInverseMapB[kGainMapB[i]], i);
}

TEST(Tables, GridAndWindowsFollowTheirFormulas) {
    for (int i = 1; i < kGridPoints; ++i)
        EXPECT_NEAR(kCosineGrid[i], std::cos(std::numbers::pi * i / kGridPoints), 1e-6);
    EXPECT_DOUBLE_EQ(kLagWindow[0], 1.0001);
    for (int k = 1; k <= kOrder; ++k) {
        const double x = 2.0 * std::numbers::pi * 60.0 * k / 8000.0;
        EXPECT_NEAR(kLagWindow[k], std::exp(-0.5 * x * x), 1e-6);
    }
    EXPECT_NEAR(kLpWindow[0], 0.08, 1e-9);
    EXPECT_DOUBLE_EQ(kLpWindow[200], 1.0);
}

TEST(Tables, ResetAndInitialVectors) {
    for (int j = 0; j < kOrder; ++j) {
        EXPECT_NEAR(kLspMaMemoryReset[j], (j + 1) * std::numbers::pi / 11.0, 1e-6);
        EXPECT_DOUBLE_EQ(kInitialLsp[j], -kInitialLsp[kOrder - 1 - j]);
    }
    EXPECT_DOUBLE_EQ(kInitialLsp[0], 0.9595);
    for (double e : kInitialGainEnergies) EXPECT_DOUBLE_EQ(e, -14.0);
}

}  // namespace
