#include "dsp/LevelScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quelp {
namespace {

TEST(LevelScale, ValueToYMapsLevelsOntoRows) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double level;
        int height;
        bool log;
        int row;
    };
    for (const Case& c : {
             Case{0.0, 101, false, 100}, Case{1.0, 101, false, 0}, Case{0.5, 101, false, 50},
             Case{0.999, 101, false, 1},  // truncation, not rounding
             Case{2.0, 101, false, 0}, Case{-1.0, 101, false, 100}, Case{nan, 101, false, 100},
             Case{0.0, 101, true, 100}, Case{2.0, 101, true, 0}, Case{1.0, 101, true, 0},
             Case{0.01, 101, true, 80},  // two decades of 2.5 over 100 rows
             Case{1e-11, 101, true, 100}, Case{1e-3, 101, true, 100}, Case{nan, 101, true, 100},
             Case{0.5, 1, false, 0}, Case{0.5, 0, true, 0},  // no picture: no scale
         }) {
        EXPECT_EQ(ValueToY(c.level, c.height, c.log), c.row)
            << c.level << " h=" << c.height << " log=" << c.log;
    }
}

TEST(LevelScale, YToValueIsTheInverseAndUsesTheExactConstant) {
    EXPECT_DOUBLE_EQ(YToValue(25, 101, false), 0.75);
    EXPECT_DOUBLE_EQ(YToValue(0, 101, false), 1.0);
    EXPECT_DOUBLE_EQ(YToValue(200, 101, false), 0.0);  // below the box: not negative
    EXPECT_DOUBLE_EQ(YToValue(100, 101, true), std::exp(-5.75646));
    EXPECT_DOUBLE_EQ(YToValue(0, 101, true), 1.0);
    EXPECT_DOUBLE_EQ(YToValue(3, 1, true), 0.0);
    for (int row = 0; row <= 100; row += 7) {
        EXPECT_EQ(ValueToY(YToValue(row, 101, false) + 1e-12, 101, false), row);
        EXPECT_EQ(ValueToY(YToValue(row, 101, true) * (1 - 1e-12), 101, true), row);
    }
}

TEST(LevelScale, FormatFixedRoundsHalfAwayFromZeroOnDecimalDigits) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    for (const Case& c : {
             Case{0.1, 3, "0.100"},
             Case{0.0625, 3, "0.063"},
             Case{1.0005, 3, "1.001"},
             Case{0.0005, 3, "0.001"},
             Case{0.00049, 3, "0.000"},
             Case{9.9996, 3, "10.000"},
             Case{0.0, 3, "0.000"},
             Case{0.16567, 3, "0.166"},
             Case{123.4564, 3, "123.456"},
             Case{1001.294, 0, "1001"},
             Case{2.5, 0, "3"},
             Case{0.4, 0, "0"},
             Case{-1.25, 1, "-1.3"},
             Case{1e20, 0, "100000000000000000000"},
         }) {
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text) << c.value;
    }
}

}  // namespace
}  // namespace quelp
