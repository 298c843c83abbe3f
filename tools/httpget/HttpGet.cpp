// httpget URL LOCALPATH: one download, every report printed as "<status> <value>".
#include <cstdio>

#include "platform/socket/Socket.h"
#include "updater/HttpDownload.h"

namespace {

int PrintReport(CHttpCallBack* report)
{
    std::printf("%d %d\n", report->nStatus, report->nValue);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: httpget URL LOCALPATH\n");
        return 2;
    }
    sock::Library sockets;
    int result = DownloadToFile(argv[1], argv[2], PrintReport, nullptr, 0);
    std::fflush(stdout);
    return result == 1 ? 0 : 1;
}
