#include <gtest/gtest.h>

#include <cstring>

#include "platform/DialogTemplate.h"

namespace {

// Builds extended templates the way the resource compiler lays them out.
class TemplateBuilder {
public:
    TemplateBuilder(uint32_t style, uint16_t count)
    {
        Put<uint16_t>(1);
        Put<uint16_t>(0xFFFF);
        Put<uint32_t>(0);
        Put<uint32_t>(0x40000);
        Put<uint32_t>(style);
        Put<uint16_t>(count);
        for (int16_t v : {0, 0, 355, 207})
            Put<int16_t>(v);
        Put<uint16_t>(0);  // menu
        Put<uint16_t>(0);  // class
        Text(u"Title");
        if (style & 0x40) {
            Put<uint16_t>(9);
            Put<uint16_t>(400);
            Put<uint8_t>(0);
            Put<uint8_t>(1);
            Text(u"Font");
        }
    }

    TemplateBuilder& Control(uint32_t id, const std::u16string& cls, uint16_t extra = 0)
    {
        Align();
        Put<uint32_t>(0);
        Put<uint32_t>(0);
        Put<uint32_t>(0x50010000);
        for (int16_t v : {7, 7, 228, 117})
            Put<int16_t>(v);
        Put<uint32_t>(id);
        if (cls.empty()) {
            Put<uint16_t>(0xFFFF);
            Put<uint16_t>(0x80);
        } else {
            Text(cls);
        }
        Text(u"t");
        Put<uint16_t>(extra);
        for (uint16_t i = 0; i < extra; ++i)
            Put<uint8_t>(0xAB);
        return *this;
    }

    std::vector<uint8_t> bytes;

private:
    template <class T>
    void Put(T v)
    {
        uint8_t b[sizeof(T)];
        std::memcpy(b, &v, sizeof v);
        bytes.insert(bytes.end(), b, b + sizeof b);
    }
    void Text(const std::u16string& s)
    {
        for (char16_t c : s)
            Put<char16_t>(c);
        Put<char16_t>(0);
    }
    void Align()
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
};

const std::u16string kBrowser = u"{8856F961-340A-11D0-A96B-00C04FD705A2}";

}  // namespace

TEST(DialogTemplate, ParsesHeaderFontAndControls)
{
    TemplateBuilder t(0x80880040, 2);
    t.Control(1, u"").Control(1000, kBrowser);
    auto info = ParseDialogTemplate(t.bytes.data(), t.bytes.size());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->extended);
    EXPECT_EQ(info->style, 0x80880040u);
    EXPECT_EQ(info->exStyle, 0x40000u);
    EXPECT_EQ(info->cx, 355);
    EXPECT_EQ(info->cy, 207);
    EXPECT_EQ(info->title, u"Title");
    EXPECT_EQ(info->pointSize, 9);
    EXPECT_EQ(info->typeface, u"Font");
    ASSERT_EQ(info->controls.size(), 2u);
    EXPECT_EQ(info->controls[0].classOrdinal, 0x80);
    EXPECT_FALSE(info->controls[0].IsActiveX());
    EXPECT_TRUE(info->controls[1].IsActiveX());
    EXPECT_EQ(info->controls[1].id, 1000u);
}

TEST(DialogTemplate, StripsActiveXEntriesAndKeepsTheRest)
{
    TemplateBuilder t(0x80880040, 3);
    t.Control(1, u"", 6).Control(1000, kBrowser).Control(2, u"", 1);
    auto stripped = StripActiveXControls(t.bytes.data(), t.bytes.size());
    ASSERT_TRUE(stripped);
    ASSERT_EQ(stripped->activeX.size(), 1u);
    EXPECT_EQ(stripped->activeX[0].id, 1000u);
    EXPECT_EQ(NarrowAscii(stripped->activeX[0].className), NarrowAscii(kBrowser));
    EXPECT_EQ(stripped->bytes.size() % 4, 0u);

    auto again = ParseDialogTemplate(stripped->bytes.data(), stripped->bytes.size());
    ASSERT_TRUE(again);
    ASSERT_EQ(again->controls.size(), 2u);
    EXPECT_EQ(again->controls[0].id, 1u);
    EXPECT_EQ(again->controls[1].id, 2u);
    EXPECT_EQ(again->title, u"Title");
}

TEST(DialogTemplate, RejectsTruncatedBytes)
{
    TemplateBuilder t(0x80880040, 2);
    t.Control(1, u"").Control(1000, kBrowser);
    for (size_t n : {size_t{0}, size_t{3}, size_t{20}, t.bytes.size() - 1})
        EXPECT_FALSE(ParseDialogTemplate(t.bytes.data(), n)) << n;
}
