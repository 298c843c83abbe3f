#include <cstdio>
#include <string>

#include "updater/Alert.h"

namespace {

class StderrAlertImpl final : public IAlert {
public:
    void Show(std::string_view text, std::string_view caption) override
    {
        std::string line = std::string(caption) + ": " + std::string(text) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
};

}  // namespace

IAlert& StderrAlert()
{
    // Never destroyed: a pass may still fail a send while the process exits.
    static StderrAlertImpl* alert = new StderrAlertImpl;
    return *alert;
}
