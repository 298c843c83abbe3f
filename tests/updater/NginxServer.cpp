#include "tests/updater/NginxServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "platform/socket/Socket.h"

extern char** environ;

namespace {

bool Accepts(const std::string& host)
{
    uint32_t address = 0;
    sock::Socket s(sock::OpenTcp());
    return s.Valid() && sock::ResolveIPv4(host.c_str(), &address) && sock::Connect(s.Get(), address, 80);
}

}  // namespace

NginxServer::NginxServer(const std::string& root)
{
    for (int attempt = 0; attempt < 20 && pid_ <= 0; ++attempt)
        Start(root, attempt);
}

bool NginxServer::Start(const std::string& root, int attempt)
{
    static std::mt19937 random(static_cast<unsigned>(getpid()) * 2654435761u ^
                               static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    host_ = "127.0.0." + std::to_string(2 + random() % 253);
    prefix_ = (std::filesystem::temp_directory_path() /
               ("morvane-nginx-" + std::to_string(getpid()) + "-" + std::to_string(attempt)))
                  .string();
    std::filesystem::create_directories(prefix_ + "/logs");
    {
        std::ofstream conf(prefix_ + "/nginx.conf");
        conf << "daemon off;\n"
                "master_process off;\n"
                "worker_processes 1;\n"
                "user root;\n"
                "pid " << prefix_ << "/nginx.pid;\n"
                "error_log " << prefix_ << "/logs/error.log;\n"
                "events { worker_connections 64; }\n"
                "http {\n"
                "  access_log off;\n"
                "  default_type application/octet-stream;\n"
                "  client_body_temp_path " << prefix_ << "/body;\n"
                "  proxy_temp_path " << prefix_ << "/proxy;\n"
                "  fastcgi_temp_path " << prefix_ << "/fastcgi;\n"
                "  uwsgi_temp_path " << prefix_ << "/uwsgi;\n"
                "  scgi_temp_path " << prefix_ << "/scgi;\n"
                "  server {\n"
                "    listen " << host_ << ":80;\n"
                "    root " << root << ";\n"
                "  }\n"
                "}\n";
    }
    std::vector<std::string> args = {"/usr/sbin/nginx", "-p", prefix_ + "/", "-c", prefix_ + "/nginx.conf"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            break;  // most likely the address was taken
        if (Accepts(host_)) {
            pid_ = pid;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(prefix_, ec);
    return false;
}

NginxServer::~NginxServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(prefix_, ec);
}
