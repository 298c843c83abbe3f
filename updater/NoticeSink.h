#pragma once
#include <memory>

#include "updater/HttpCallBack.h"

// Where the update pass's notices go: the target window's message queue in
// the program, a recorder in tests.
class INoticeSink {
public:
    virtual ~INoticeSink() = default;
    // Hands the notice to its hTarget. On success the receiver owns it (the
    // sink releases it from notice) and true is returned; on failure notice
    // still owns it and the caller destroys it.
    virtual bool Post(std::unique_ptr<CHttpCallBack>& notice) = 0;
};
