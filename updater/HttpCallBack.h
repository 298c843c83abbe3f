#pragma once
#include <cstdint>
#include <string>

// Statuses of a download report. 10 and 13 are the update pass's own.
enum : int {
    HCB_CONNECT_FAILED = 1,    // the host did not resolve or the connect failed
    HCB_OPEN_FILE_FAILED = 2,  // the local file could not be created, written or put in place
    HCB_BAD_RESPONSE = 3,      // not 200, no usable Content-Length, or a broken header
    HCB_SEND_FAILED = 4,
    HCB_RECEIVE_FAILED = 5,    // the body stopped short: error, time-out or close
    HCB_STARTING = 6,
    HCB_LENGTH_KNOWN = 7,      // nValue = Content-Length
    HCB_UPDATE_AVAILABLE = 10,
    HCB_PROGRESS = 11,         // nValue = body bytes written so far
    HCB_FINISHED = 12,
    HCB_INSTALLER_READY = 13,
};

// One report of a download. Posted notices are heap copies deleted through
// a CHttpCallBack pointer, hence the virtual destructor.
struct CHttpCallBack {
    virtual ~CHttpCallBack() = default;

    void* hTarget = nullptr;  // the window that receives the notices (HWND)
    int32_t nJobId = 0;
    int32_t nStatus = 0;
    std::string strUrl;
    int32_t nValue = 0;
};

// Nonzero: go on; 0: stop (where the download heeds the result).
using HttpProgressProc = int (*)(CHttpCallBack* report);
