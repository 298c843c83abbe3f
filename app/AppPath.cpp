#include "app/AppPath.h"

std::string AppDirFromModulePath(std::string_view path)
{
    std::string drive;
    if (path.size() >= 2 && path[1] == ':') {
        drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    size_t last = path.find_last_of("\\/");
    std::string dir = (last == std::string_view::npos) ? std::string() : std::string(path.substr(0, last + 1));
    std::string result = drive + dir;
    if (result.empty() || (result.back() != '\\' && result.back() != '/'))
        result += '\\';
    return result;
}

std::optional<std::string> UsableAnsiPath(const AnsiPathForm& longForm, const std::optional<AnsiPathForm>& shortForm)
{
    if (longForm.lossless && !longForm.text.empty())
        return longForm.text;
    if (shortForm && shortForm->lossless && !shortForm->text.empty())
        return shortForm->text;
    return std::nullopt;
}
