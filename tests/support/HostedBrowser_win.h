#pragma once
// What tests of hosted browsers share: the program's hosting installed with
// the recording stand-in as the browser control, a pump that treats queued
// messages as the modal loop does, and a look into the stand-in's call log.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "browser/CustomControlSite_win.h"
#include "browser/ImpIDispatch_win.h"
#include "platform/Framework_win.h"
#include "settings/Settings.h"
#include "tests/support/FrameworkPump_win.h"
#include "tests/support/RecordingBrowser_win.h"

// OLE, the stand-in registered for the browser's class, the program's
// control container and, when given, the page bridge; the run-time settings.
class HostingEnvironment : public ::testing::Environment {
public:
    explicit HostingEnvironment(CImpIDispatch* bridge = nullptr) : bridge_(bridge) {}
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        registration_ = std::make_unique<RecordingBrowserRegistration>();
        ASSERT_EQ(registration_->Result(), S_OK);
        AfxEnableControlContainer(&manager_);
        if (bridge_)
            SetPageBridge(bridge_);
        SetAppDir("C:\\");
        AssignRunTimeSettings();
    }
    void TearDown() override
    {
        AfxDisableControlContainer();
        registration_.reset();
        OleUninitialize();
    }

private:
    CImpIDispatch* bridge_;
    CCustomOccManager manager_;
    std::unique_ptr<RecordingBrowserRegistration> registration_;
};

inline bool Has(const RecordingBrowser& browser, const std::wstring& entry)
{
    for (const std::wstring& call : browser.Calls()) {
        if (call == entry)
            return true;
    }
    return false;
}
