#pragma once
// nginx from the distribution, serving a directory on port 80 of its own
// loopback address, with its prefix in a temporary directory.
#include <string>

class NginxServer {
public:
    // root: the directory it serves.
    explicit NginxServer(const std::string& root);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    bool Running() const { return pid_ > 0; }
    const std::string& Host() const { return host_; }
    std::string Url(const std::string& path) const { return "http://" + host_ + path; }

private:
    bool Start(const std::string& root, int attempt);

    std::string prefix_;
    std::string host_;
    int pid_ = 0;
};
