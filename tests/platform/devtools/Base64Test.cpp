// Base64 both ways: the RFC's vectors, every remainder of three, and what
// is not base64.
#include <gtest/gtest.h>

#include "platform/devtools/Base64.h"

namespace {

TEST(Base64, TheRfcVectorsBothWays)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},         {"f", "Zg=="},        {"fo", "Zm8="},        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xff\xfe\x00", 3), "//4A"}};
    for (const auto& [bytes, text] : vectors) {
        EXPECT_EQ(devtools::EncodeBase64(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), text);
        EXPECT_EQ(devtools::DecodeBase64(text), bytes) << text;
    }
}

TEST(Base64, RefusesWhatIsNotBase64)
{
    for (const char* bad : {"Zg=", "Z===", "Zg=a", "Zm9v!A==", "Zg==Zg==", "====", "Zm 9"})
        EXPECT_FALSE(devtools::DecodeBase64(bad)) << bad;
}

}  // namespace
