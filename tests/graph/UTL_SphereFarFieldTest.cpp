#include "graph/UTL_SphereFarField.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
TEST(UTL_SphereFarFieldTest, PushMatchesTheSumOverAllPairs)
{
    // Crowded and sparse parts, weights of all sizes, and two points on one spot: opened all the
    // way the tree is the plain sum, and seen from afar within a few per cent of it.
    std::mt19937 random(7);
    std::vector<UTL_SphereVector> points;
    std::vector<double> weights;
    for (int i = 0; i < 600; ++i)
    {
        const double spread = i < 300 ? 0.1 : 1.0;
        points.push_back(UTL_SphereVector{1.0, spread * (double(random() % 2001) / 1000.0 - 1.0),
                                          spread * (double(random() % 2001) / 1000.0 - 1.0)}
                             .OnSphere());
        weights.push_back(1.0 + double(random() % 10));
    }
    points.push_back(points[5]);
    weights.push_back(2.0);

    UTL_SphereFarField field;
    field.Build(points, weights);
    for (size_t self : {size_t(0), size_t(5), size_t(350), points.size() - 1})
    {
        SCOPED_TRACE(self);
        UTL_SphereVector sum;
        for (size_t j = 0; j < points.size(); ++j)
        {
            const UTL_SphereVector d = points[self] - points[j];
            if (j != self && d.Dot(d) > 0.0)
                sum += d * (weights[j] / d.Dot(d));
        }
        const UTL_SphereVector exact = field.At(self, 0.0);
        EXPECT_NEAR((exact - sum).Length(), 0.0, 1e-9 * sum.Length());
        EXPECT_LT((field.At(self, 0.7) - sum).Length(), 0.05 * sum.Length());
    }
}
} // namespace
