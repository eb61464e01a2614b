#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "toolkit/fault.h"
#include "toolkit/text.h"

using namespace calvetra;
using namespace calvetra::text;

namespace {
FaultKind faultOf(auto&& action)
{
    try {
        action();
    } catch (const RuntimeFault& fault) {
        return fault.kind();
    }
    ADD_FAILURE() << "no fault raised";
    return FaultKind::InvalidOperation;
}
}  // namespace

TEST(LeadingNumberParse, ReadsTheNumberAtTheStart)
{
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"5.4", 5.4},
        {"20000", 20000},
        {"1,5", 1},
        {"", 0},
        {" ", 0},
        {"abc", 0},
        {"-", 0},
        {".", 0},
        {"1e", 1},
        {"1e+", 1},
        {"1e3", 1000},
        {"2.5E-1", 0.25},
        {"  1 2 ", 12},
        {"\t-\n7", -7},
        {"+3", 3},
        {"-.5", -0.5},
        {"0x10", 0},
        {"1d3", 1},
        {"inf", 0},
        {"nan", 0},
        {"1e-400", 0},
        {"12abc", 12},
        {"1.2.3", 1.2},
        {"--1", 0},
        {"\xef\xbc\x91\xef\xbc\x92", 0},  // full-width digits are not digits
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(parseLeadingNumber(row.text), row.value) << '"' << row.text << '"';
}

TEST(LeadingNumberParse, BeyondTheDoubleRangeIsAnOverflow)
{
    EXPECT_EQ(faultOf([] { parseLeadingNumber("1e400"); }), FaultKind::Overflow);
    EXPECT_EQ(faultOf([] { parseLeadingNumber("-1e400"); }), FaultKind::Overflow);
    EXPECT_EQ(faultOf([] { parseLeadingNumber(std::string(10000, '9')); }), FaultKind::Overflow);
    EXPECT_DOUBLE_EQ(parseLeadingNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_DOUBLE_EQ(parseLeadingNumber("0." + std::string(10000, '0') + "1"), 0.0);
}

TEST(GeneralForm, DoublesShowUpTo15SignificantDigits)
{
    EXPECT_EQ(general(20000.0, '.'), "20000");
    EXPECT_EQ(general(2.5, '.'), "2.5");
    EXPECT_EQ(general(2.5, ','), "2,5");
    EXPECT_EQ(general(17500.0, '.'), "17500");
    EXPECT_EQ(general(250.25, '.'), "250.25");
    EXPECT_EQ(general(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(general(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(general(1e15, '.'), "1E+15");
    EXPECT_EQ(general(0.0001, '.'), "0.0001");
    EXPECT_EQ(general(0.00001, '.'), "1E-05");
    EXPECT_EQ(general(-0.0, '.'), "0");
    EXPECT_EQ(general(-1234.5, ','), "-1234,5");
    EXPECT_EQ(general(1e308, '.'), "1E+308");
}

TEST(GeneralForm, FloatsShowUpTo7SignificantDigits)
{
    EXPECT_EQ(general(5.4f, '.'), "5.4");
    EXPECT_EQ(general(10.0f, '.'), "10");
    EXPECT_EQ(general(1234567.0f, '.'), "1234567");
    EXPECT_EQ(general(123456789.0f, '.'), "1.234568E+08");
    EXPECT_EQ(general(123456789.0f, ','), "1,234568E+08");
    EXPECT_EQ(general(0.00001f, '.'), "1E-05");
    EXPECT_EQ(general(100.0f, '.'), "100");
}

TEST(GeneralForm, PrintedNumbersTakeABlankForTheSignAndOneAfter)
{
    EXPECT_EQ(printedNumber(5000, '.'), " 5000 ");
    EXPECT_EQ(printedNumber(2.5, ','), " 2,5 ");
    EXPECT_EQ(printedNumber(-2.5, '.'), "-2.5 ");
}

TEST(Patterns, TwoAndOneDecimals)
{
    EXPECT_EQ(fixed(10.0, 2, '.'), "10.00");
    EXPECT_EQ(fixed(10.0, 2, ','), "10,00");
    EXPECT_EQ(fixed(20000.0 / 60 / 60, 2, '.'), "5.56");
    EXPECT_EQ(fixed(0.0, 2, '.'), "0.00");
    EXPECT_EQ(fixed(0.125, 2, '.'), "0.13");  // an exact half goes away from zero
    EXPECT_EQ(fixed(-0.125, 2, '.'), "-0.13");
    EXPECT_EQ(fixed(-0.001, 2, '.'), "0.00");  // rounds to zero: no minus sign
    EXPECT_EQ(fixed(9.995, 2, '.'), "9.99");   // 9.995 is stored just below the half
    EXPECT_EQ(fixed(99.96, 1, '.'), "100.0");
    EXPECT_EQ(fixed(24.4449, 1, ','), "24,4");
    EXPECT_EQ(fixed(-3.25, 1, '.'), "-3.3");
    EXPECT_EQ(fixed(1e20, 2, '.'), "100000000000000000000.00");
}

TEST(Patterns, PointOneDropsALoneZeroBeforeTheSeparator)
{
    EXPECT_EQ(pointOne(20.0, '.'), "20.0");
    EXPECT_EQ(pointOne(20.0, ','), "20,0");
    EXPECT_EQ(pointOne(0.5, '.'), ".5");
    EXPECT_EQ(pointOne(0.0, '.'), ".0");
    EXPECT_EQ(pointOne(0.4f, '.'), ".4");
    EXPECT_EQ(pointOne(0.3f, ','), ",3");
    EXPECT_EQ(pointOne(-0.4, '.'), "-.4");
    EXPECT_EQ(pointOne(107.80189f, '.'), "107.8");
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(3.5), 4);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(1.5), 2);
    EXPECT_EQ(roundToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(roundToInt32(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(faultOf([] { roundToInt32(99999999999.0); }), FaultKind::IntegerOverflow);
    EXPECT_EQ(faultOf([] { roundToInt32(-2147483649.0); }), FaultKind::IntegerOverflow);

    EXPECT_DOUBLE_EQ(roundToOneDecimal(0.25), 0.2);
    EXPECT_DOUBLE_EQ(roundToOneDecimal(0.35), 0.4);
    EXPECT_DOUBLE_EQ(roundToOneDecimal(37.24), 37.2);
    EXPECT_DOUBLE_EQ(roundToOneDecimal(-1.25), -1.2);
    EXPECT_DOUBLE_EQ(roundToOneDecimal(1e300), 1e300);
}

TEST(Commas, EveryCommaBecomesAPoint)
{
    EXPECT_EQ(commasToPoints("1,5"), "1.5");
    EXPECT_EQ(commasToPoints(",1,,2,"), ".1..2.");
    EXPECT_EQ(commasToPoints("20"), "20");
}
