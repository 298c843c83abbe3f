#include "browser/WebBrowser2_win.h"

#include "platform/Text_win.h"

namespace {

// An optional argument by reference; a null one is passed as not given,
// which is how automation says it (a null reference may be dereferenced).
VARIANT ByRef(VARIANT* v)
{
    VARIANT ref;
    VariantInit(&ref);
    if (v) {
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = v;
    } else {
        ref.vt = VT_ERROR;
        ref.scode = DISP_E_PARAMNOTFOUND;
    }
    return ref;
}

}  // namespace

void CWebBrowser2::Navigate(const std::string& url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                            VARIANT* headers)
{
    ScopedBstr text(AnsiToWide(url).c_str());
    VARIANT address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = text.Get();
    InvokeHelper(kNavigate, DISPATCH_METHOD, nullptr,
                 {address, ByRef(flags), ByRef(targetFrame), ByRef(postData), ByRef(headers)});
}

void CWebBrowser2::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                             VARIANT* headers)
{
    InvokeHelper(kNavigate2, DISPATCH_METHOD, nullptr,
                 {ByRef(url), ByRef(flags), ByRef(targetFrame), ByRef(postData), ByRef(headers)});
}

void CWebBrowser2::Refresh() { InvokeHelper(kRefresh, DISPATCH_METHOD, nullptr); }

ComPtr<IDispatch> CWebBrowser2::GetDocument()
{
    VARIANT result;
    VariantInit(&result);
    ComPtr<IDispatch> document;
    if (SUCCEEDED(InvokeHelper(kDocument, DISPATCH_PROPERTYGET, &result)) && result.vt == VT_DISPATCH)
        document = result.pdispVal;
    VariantClear(&result);
    return document;
}
