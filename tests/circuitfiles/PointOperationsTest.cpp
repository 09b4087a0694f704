// The point operations the editor computes with.
#include "ValueTypes.h"

#include <gtest/gtest.h>

TEST(PointOperations, MinMaxSubtractAndCompare)
{
    Point p(3, -4);
    EXPECT_EQ(Point(1, -4), p.min(1, 7));
    EXPECT_EQ(Point(3, 7), p.max(1, 7));
    EXPECT_EQ(Point(3, -4), p.min(5, -2));
    Point copy = p.subtractInPlace(5, -6);
    EXPECT_EQ(Point(-2, 2), p);
    EXPECT_EQ(p, copy);
    // The copy is one: changing it leaves the point.
    copy.x() = 9;
    EXPECT_EQ(-2, p.x());
    EXPECT_EQ(1, p.equals(-2, 2));
    EXPECT_EQ(0, p.equals(-2, 3));
    EXPECT_EQ(&p, &p.self());
}
