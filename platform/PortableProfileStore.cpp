#include "platform/PortableProfileStore.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/AsciiCase.h"

namespace {

std::mutex g_profileLock;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::vector<std::string> ReadLines(const std::string& path, bool* exists)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    *exists = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[name]" → name; empty optional when the line is no section line.
bool SectionName(const std::string& line, std::string* name)
{
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    size_t close = t.find(']');
    *name = Trim(t.substr(1, (close == std::string::npos ? t.size() : close) - 1));
    return true;
}

bool KeyLine(const std::string& line, std::string* key, std::string* value)
{
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';')
        return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
}

struct Location {
    long section = -1;  // line index of the section header
    long key = -1;      // line index of the key line
    long lastInSection = -1;  // last non-blank line of the section
};

Location Find(const std::vector<std::string>& lines, const std::string& section, const std::string& key)
{
    Location loc;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name, k, v;
        if (SectionName(lines[i], &name)) {
            if (inside)
                break;  // the first section of that name counts
            inside = EqualsIgnoringAsciiCase(name, section);
            if (inside)
                loc.section = loc.lastInSection = static_cast<long>(i);
            continue;
        }
        if (!inside)
            continue;
        if (!Trim(lines[i]).empty())
            loc.lastInSection = static_cast<long>(i);
        if (loc.key < 0 && KeyLine(lines[i], &k, &v) && EqualsIgnoringAsciiCase(k, key))
            loc.key = static_cast<long>(i);
    }
    return loc;
}

}  // namespace

std::string PortableProfileStore::ReadString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue, size_t bufferSize,
                                             const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_profileLock);
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path, &exists);
    std::string value = Trim(defaultValue);
    Location loc = Find(lines, section, key);
    if (loc.key >= 0) {
        std::string k;
        KeyLine(lines[loc.key], &k, &value);
        // A value enclosed in matching quotes is read without them.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
    }
    if (bufferSize == 0)
        return std::string();
    if (value.size() > bufferSize - 1)
        value.resize(bufferSize - 1);
    return value;
}

bool PortableProfileStore::WriteString(const std::string& section, const std::string& key,
                                       const std::string& value, const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_profileLock);
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path, &exists);
    Location loc = Find(lines, section, key);
    if (loc.key >= 0) {
        std::string k, old;
        KeyLine(lines[loc.key], &k, &old);
        lines[loc.key] = k + "=" + value;
    } else if (loc.section >= 0) {
        lines.insert(lines.begin() + loc.lastInSection + 1, key + "=" + value);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
    }
    std::ostringstream text;
    for (const std::string& line : lines)
        text << line << "\r\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << text.str();
    return static_cast<bool>(out.flush());
}

#ifndef _WIN32
ISettingsStore& DefaultSettingsStore()
{
    // Never destroyed: worker threads may still use it while the process exits.
    static PortableProfileStore* store = new PortableProfileStore;
    return *store;
}
#endif
