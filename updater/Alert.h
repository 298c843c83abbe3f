#pragma once
#include <string_view>

// The one message box the downloader shows itself (a failed send). Texts are UTF-8.
class IAlert {
public:
    virtual ~IAlert() = default;
    virtual void Show(std::string_view text, std::string_view caption) = 0;
};

// Writes the text to standard error: for probes and builds without a desktop.
IAlert& StderrAlert();
