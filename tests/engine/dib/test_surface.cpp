#include <gtest/gtest.h>

#include "tdibultra.h"

TEST(Surface, Stride)
{
    TDIBUltra a(480, 60, DUpf24);
    EXPECT_EQ(a.Stride(), 1440);
}
