#include "updater/LocalFile.h"

namespace localfile {

namespace {

// Digits, with a minus sign allowed in front: the job part is a signed integer.
size_t SkipNumber(const std::string& s, size_t i, bool allowSign)
{
    if (allowSign && i < s.size() && s[i] == '-')
        ++i;
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i == start ? std::string::npos : i;
}

}  // namespace

bool IsTemporaryNameOf(const std::string& fileName, const std::string& base)
{
    if (fileName.size() <= base.size() || fileName.compare(0, base.size(), base) != 0 || fileName[base.size()] != '.')
        return false;
    size_t i = SkipNumber(fileName, base.size() + 1, false);
    if (i == std::string::npos || i >= fileName.size() || fileName[i] != '.')
        return false;
    i = SkipNumber(fileName, i + 1, true);
    return i != std::string::npos && fileName.compare(i, std::string::npos, ".tmp") == 0;
}

}  // namespace localfile
