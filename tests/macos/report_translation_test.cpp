// Window-server reports as the macOS port hands them to the application
// layer: the translation from property-list objects, checked on realistic
// reports and on malformed ones, and read back by the desktop discovery.

#include <gtest/gtest.h>

#include "app/desktops/discovery.hpp"
#include "ports/macos/report_node.hpp"
#include "report_tree.hpp"

namespace corvane::macos {
namespace {

using testing::ReportTree;
using T = ReportTree;

T space(std::int64_t managedID, std::int64_t type) {
    return T::dictionary({
        {T::text("ManagedSpaceID"), T::integer(managedID)},
        {T::text("id64"), T::integer(managedID)},
        {T::text("type"), T::integer(type)},
        {T::text("uuid"), T::text("5C1A7E0B-0E3B-4C56-9D4F-8A7B2C1D0E9F")},
        {T::text("wsid"), T::integer(managedID + 100)},
    });
}

// Two displays: the built-in one with three desktops and an application in
// full screen, and an external one with one desktop.
T twoDisplayReport() {
    return T::array({
        T::dictionary({
            {T::text("Display Identifier"), T::text("Main")},
            {T::text("Current Space"), space(4, 0)},
            {T::text("Spaces"), T::array({space(1, 0), space(4, 0), space(9, 4), space(12, 0)})},
        }),
        T::dictionary({
            {T::text("Display Identifier"), T::text("9F3A2B1C-0D4E-4F5A-8B6C-7D8E9F0A1B2C")},
            {T::text("Current Space"), space(7, 0)},
            {T::text("Spaces"), T::array({space(7, 0)})},
        }),
    });
}

TEST(ReportTranslation, RealisticReportReadsBackAsTheDisplaysItDescribes) {
    const auto displays = desktops::Discovery::displaysFrom(plistFrom(twoDisplayReport()));
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].identifier, "Main");
    EXPECT_EQ(displays[0].current, 4u);
    ASSERT_EQ(displays[0].spaces.size(), 4u);
    // The full-screen space stays in the list but is no desktop.
    const auto desktops = displays[0].desktops();
    ASSERT_EQ(desktops.size(), 3u);
    EXPECT_EQ(desktops[2].id, 12u);
    EXPECT_EQ(displays[1].identifier, "9F3A2B1C-0D4E-4F5A-8B6C-7D8E9F0A1B2C");
    EXPECT_EQ(displays[1].desktops().size(), 1u);
}

TEST(ReportTranslation, KeepsEveryKindApart) {
    const PlistValue value = plistFrom(T::dictionary({
        {T::text("flag"), T::boolean(true)},
        {T::text("one"), T::integer(1)},
        {T::text("half"), T::real(0.5)},
        {T::text("whole"), T::real(2.0)},
        {T::text("name"), T::text("Main")},
        {T::text("date"), T::other()},
        {T::text("empty"), T::array({})},
    }));
    const PlistValue expected(PlistValue::Dictionary{
        {"flag", true},
        {"one", PlistValue::integer(1)},
        {"half", PlistValue::real(0.5)},
        // A real stays real even when it holds a whole number: "type" 0.0 is
        // not the integer 0 discovery looks for.
        {"whole", PlistValue::real(2.0)},
        {"name", "Main"},
        {"date", PlistValue{}},
        {"empty", PlistValue::Array{}},
    });
    EXPECT_EQ(value, expected);
}

TEST(ReportTranslation, IdentifiersKeepAllSixtyFourBits) {
    // An unsigned identifier above 2^63 arrives in the same bits as a negative integer.
    const std::uint64_t big = 0x8000'0000'0000'002AULL;
    const PlistValue value = plistFrom(T::array({
        T::integer(static_cast<std::int64_t>(big)),
        T::integer((std::int64_t{1} << 53) + 1),  // beyond what a double holds exactly
    }));
    const auto& items = *value.as<PlistValue::Array>();
    EXPECT_EQ(static_cast<std::uint64_t>(std::get<std::int64_t>(items[0].as<PlistValue::Number>()->value)),
              big);
    EXPECT_EQ(std::get<std::int64_t>(items[1].as<PlistValue::Number>()->value), (std::int64_t{1} << 53) + 1);
}

TEST(ReportTranslation, MalformedPartsBecomeOtherWithoutLosingTheRest) {
    const PlistValue value = plistFrom(T::dictionary({
        // A key that is not a string has no name: the entry is left out.
        {T::integer(3), T::text("lost")},
        {T::unwritableText(), T::text("lost too")},
        {T::text("broken"), T::unwritableText()},
        {T::text("kept"), T::integer(5)},
    }));
    const PlistValue expected(PlistValue::Dictionary{
        {"broken", PlistValue{}},
        {"kept", PlistValue::integer(5)},
    });
    EXPECT_EQ(value, expected);
}

TEST(ReportTranslation, NestingBeyondAnyRealReportIsCutOffNotRecursedInto) {
    // Far deeper than any report the window server writes.
    T deep = T::integer(1);
    for (int i = 0; i < 5000; ++i) deep = T::array({std::move(deep)});
    const PlistValue value = plistFrom(deep);
    const PlistValue* level = &value;
    int depth = 0;
    while (const auto* array = level->as<PlistValue::Array>()) {
        ASSERT_EQ(array->size(), 1u);
        level = &array->front();
        ++depth;
    }
    EXPECT_EQ(depth, maximumReportDepth);
    EXPECT_EQ(*level, PlistValue{});
}

}  // namespace
}  // namespace corvane::macos
