#include <gtest/gtest.h>

#include <climits>

#include "platform/Atoi.h"

TEST(CrtAtoi, FollowsTheRuntimeRules)
{
    struct {
        const char* text;
        int expected;
    } cases[] = {
        {"", 0},          {"abc", 0},          {"42", 42},          {"  \t\n42", 42},
        {"+7", 7},        {"-7", -7},          {"- 7", 0},          {"609.8", 609},
        {"12abc", 12},    {"0x10", 0},         {"00012", 12},       {"--1", 0},
        {"2147483647", INT_MAX},  {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},  {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CrtAtoi(c.text), c.expected) << '"' << c.text << '"';
}

TEST(CrtAtoi, StopsAtAnEmbeddedNul)
{
    EXPECT_EQ(CrtAtoi(std::string_view("12\0" "34", 5)), 12);
}
