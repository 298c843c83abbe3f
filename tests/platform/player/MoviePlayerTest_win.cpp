// The built-in player on its own, driven through its COM interfaces as the
// host drives it: a movie loaded from the embedded stream, its start commands
// fired through the connection point.
#include <gtest/gtest.h>

#include <ole2.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/Com_win.h"
#include "platform/movie/Movie.h"
#include "platform/player/MovieControl_win.h"
#include "platform/player/MoviePlayer_win.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

class PlayerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_EQ(RegisterMoviePlayerClass(), S_OK);
    }
    void TearDown() override
    {
        RevokeMoviePlayerClass();
        OleUninitialize();
    }
};
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new PlayerEnvironment);

// The start of a PNG as the parser checks it; the player draws nothing for
// a look it cannot decode, which these tests do not look at.
std::vector<uint8_t> PngHeader(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {w, h})
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<uint8_t>(v >> shift));
    for (uint8_t b : {8, 6, 0, 0, 0, 0, 0, 0, 0})
        png.push_back(b);
    return png;
}

// The movie as the host hands it over: magic, length, bytes.
ComPtr<IStream> EmbeddedStream(const movie::Movie& m)
{
    const std::vector<uint8_t> bytes = movie::WriteMovie(m);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return nullptr;
    const DWORD header[2] = {kEmbeddedMovieMagic, static_cast<DWORD>(bytes.size())};
    LARGE_INTEGER zero{};
    if (FAILED(stream->Write(header, sizeof header, nullptr)) ||
        FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr)) ||
        FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)))
        return nullptr;
    return stream;
}

// Records every FSCommand event.
class CommandSink final : public IDispatch {
public:
    std::vector<std::pair<std::wstring, std::wstring>> commands;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID__IShockwaveFlashEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack, longer than the player holds it.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id == kDispidFSCommand && params && params->cArgs == 2)
            commands.emplace_back(params->rgvarg[1].bstrVal, params->rgvarg[0].bstrVal);
        return S_OK;
    }
};

class Player : public ::testing::Test {
protected:
    void Load(const std::vector<movie::FsCommand>& startCommands)
    {
        movie::Movie m;
        m.stageWidth = 200;
        m.stageHeight = 100;
        m.frameRate = 12;
        m.picture.width = 200;
        m.picture.height = 100;
        m.picture.bytes = PngHeader(200, 100);
        m.startCommands = startCommands;
        ASSERT_EQ(CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IShockwaveFlash,
                                   reinterpret_cast<void**>(control.ReleaseAndGetAddressOf())),
                  S_OK);
        ComPtr<IPersistStreamInit> persist;
        ASSERT_EQ(control.As(&persist), S_OK);
        ComPtr<IStream> stream = EmbeddedStream(m);
        ASSERT_TRUE(stream);
        ASSERT_EQ(persist->Load(stream.Get()), S_OK);
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(control.As(&container), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(DIID__IShockwaveFlashEvents, &point), S_OK);
        ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    }
    void TearDown() override
    {
        if (point)
            point->Unadvise(cookie);
    }
    void PumpAWhile() { PumpUntil([] { return false; }, 300); }

    ComPtr<IShockwaveFlash> control;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    CommandSink sink;
};

// Movie texts are UTF-8: what the description says reaches the host intact,
// whatever the system's code page.
TEST_F(Player, StartCommandsCarryTextsBeyondAsciiIntact)
{
    Load({{"weburl", "http://portal.example/\xE7\x99\xBB\xE5\xBD\x95?n=\xC3\xA9"}});
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !sink.commands.empty(); }));
    ASSERT_EQ(sink.commands.size(), 1u);
    EXPECT_EQ(sink.commands[0].first, L"weburl");
    EXPECT_EQ(sink.commands[0].second, L"http://portal.example/\u767B\u5F55?n=\u00E9");
}

// The launcher halts the movie while the game runs and plays it again after:
// the start commands went once, when the movie first played.
TEST_F(Player, ResumingTheMovieDoesNotSendTheStartCommandsAgain)
{
    Load({{"moveweb", "609.8,292,545,384"}, {"weburl", "http://portal.example/"}});
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink.commands.size() == 2; }));
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(control->StopPlay(), S_OK);
        ASSERT_EQ(control->Play(), S_OK);
        PumpAWhile();
    }
    EXPECT_EQ(sink.commands.size(), 2u);
}

}  // namespace
