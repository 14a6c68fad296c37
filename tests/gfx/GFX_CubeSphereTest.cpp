#include "gfx/GFX_ColorBall.h"
#include "gfx/GFX_SphereButton.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Checks what every cube-sphere model must satisfy: six groups of (n + 1)² vertices and 2n²
// triangles, every vertex on the sphere with its normal pointing out, indices in range, and
// every triangle counter-clockwise seen from outside (so back-face culling keeps the outside).
void ExpectCubeSphere(const GFX_GroupedModel& model, int n, float radius)
{
    ASSERT_EQ(model.GroupCount(), 6u);
    for (size_t g = 0; g < 6; ++g)
    {
        SCOPED_TRACE(testing::Message() << "face " << g);
        const GFX_MeshGroup& face = model.Group(g);
        ASSERT_EQ(face.VertexCount(), size_t((n + 1) * (n + 1)));
        ASSERT_EQ(face.TriangleCount(), size_t(2 * n * n));
        for (size_t i = 0; i < face.VertexCount(); ++i)
        {
            const GFX_Vertex& v = face.Vertex(i);
            EXPECT_NEAR(v.position.Length(), radius, radius * 1e-6f);
            EXPECT_NEAR(v.normal.Length(), 1.0f, 1e-6f);
            EXPECT_GT(v.normal.Dot(v.position), 0.0f);
        }
        for (size_t t = 0; t < face.TriangleCount(); ++t)
        {
            const GFX_Triangle& tri = face.Triangle(t);
            for (uint32_t index : tri.index)
                ASSERT_LT(index, face.VertexCount());
            const GFX_Vector3& a = face.Vertex(tri.index[0]).position;
            const GFX_Vector3& b = face.Vertex(tri.index[1]).position;
            const GFX_Vector3& c = face.Vertex(tri.index[2]).position;
            const GFX_Vector3 outward = b.Minus(a).Cross(c.Minus(a));
            EXPECT_GT(outward.Dot(a.Plus(b).Plus(c)), 0.0f) << "triangle " << t << " faces in";
        }
    }
}
} // namespace

TEST(GFX_CubeSphereTest, SphereButtonIsAClosedOutwardCubeSphere)
{
    GFX_SphereButton globe(40);
    ExpectCubeSphere(globe, 10, 40);

    // The first vertex of the +X face lies at 40·normalise(0.5, −0.5, 0.5) with (u, v) = (0, 0).
    const GFX_Vertex& first = globe.Group(0).Vertex(0);
    const float c = 40.0f / std::sqrt(3.0f);
    EXPECT_NEAR(first.position.x, c, 1e-4f);
    EXPECT_NEAR(first.position.y, -c, 1e-4f);
    EXPECT_NEAR(first.position.z, c, 1e-4f);
    EXPECT_EQ(first.u, 0.0f);
    EXPECT_EQ(first.v, 0.0f);

    // Each face's centre vertex lies exactly on its axis, faces in the order +X −X +Y −Y +Z −Z.
    const GFX_Vector3 axes[6] = {{40, 0, 0},  {-40, 0, 0}, {0, 40, 0},
                                 {0, -40, 0}, {0, 0, 40},  {0, 0, -40}};
    for (size_t g = 0; g < 6; ++g)
    {
        const GFX_Vertex& centre = globe.Group(g).Vertex(5 * 11 + 5);
        EXPECT_NEAR(centre.position.x, axes[g].x, 1e-4f) << "face " << g;
        EXPECT_NEAR(centre.position.y, axes[g].y, 1e-4f) << "face " << g;
        EXPECT_NEAR(centre.position.z, axes[g].z, 1e-4f) << "face " << g;
        EXPECT_FLOAT_EQ(centre.u, 0.5f);
        EXPECT_FLOAT_EQ(centre.v, 0.5f);
    }
}

TEST(GFX_CubeSphereTest, ColorBallHasNoVertexOnAnAxis)
{
    GFX_ColorBall ball(125);
    ExpectCubeSphere(ball, 5, 125);
    for (size_t g = 0; g < 6; ++g)
    {
        for (size_t i = 0; i < ball.Group(g).VertexCount(); ++i)
        {
            const GFX_Vector3& p = ball.Group(g).Vertex(i).position;
            const int zeros =
                (std::fabs(p.x) < 1e-3f) + (std::fabs(p.y) < 1e-3f) + (std::fabs(p.z) < 1e-3f);
            EXPECT_LT(zeros, 2) << "face " << g << " vertex " << i << " lies on an axis";
        }
    }
}
