#include "platform/BrowserCommandLine.h"

namespace {

template <class Char>
std::optional<std::basic_string<Char>> ProgramFrom(std::basic_string_view<Char> line)
{
    using View = std::basic_string_view<Char>;
    const Char blanks[] = {Char(' '), Char('\t')};
    const View blank(blanks, 2);

    line = line.substr(0, line.find(Char('\0')));
    const size_t start = line.find_first_not_of(blank);
    if (start == View::npos)
        return std::nullopt;
    line.remove_prefix(start);

    View path;
    if (line.front() == Char('"')) {
        const size_t close = line.find(Char('"'), 1);
        if (close == View::npos)
            return std::nullopt;
        path = line.substr(1, close - 1);
    } else {
        path = line.substr(0, line.find_first_of(blank));
    }
    if (path.empty())
        return std::nullopt;

    std::basic_string<Char> quoted(1, Char('"'));
    quoted += path;
    quoted += Char('"');
    return quoted;
}

}  // namespace

std::optional<std::string> BrowserProgramFromCommandLine(std::string_view commandLine)
{
    return ProgramFrom(commandLine);
}

std::optional<std::wstring> BrowserProgramFromCommandLine(std::wstring_view commandLine)
{
    return ProgramFrom(commandLine);
}
