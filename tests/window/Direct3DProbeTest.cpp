// The Direct3D probe on Wine's real Direct3D 9: offered under Xvfb with Mesa, refused where Wine
// is told to offer no 3D (a prefix of its own, see without-3d.sh). And its calls, on a Direct3D
// object of the test's own: Wine makes any kind of device as readily as a hardware one, so only
// such an object can tell which device the probe asks for and what it releases.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include <windows.h>
#include <d3d9.h>

#include "Direct3DProbe.h"
#include "RowName.h"
#include "SelectionWindow.h"
#include "WindowTestSupport.h"

using namespace TARNWICK;
using namespace WINDOWTEST;

namespace
{

// A hidden top-level window of the test's own, as the probe gets it while the window is created.
class ProbeWindow
{
public:
    ProbeWindow()
        : window(CreateWindowExW(0, L"Static", L"probe", WS_CAPTION, 0, 0, 295, 180, nullptr, nullptr, nullptr,
                                 nullptr))
    {
    }
    ~ProbeWindow()
    {
        DestroyWindow(window);
    }
    HWND window;
};

std::wstring Direct3DRenderer()
{
    wchar_t value[32] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Direct3D", L"renderer", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
    {
        return L"";
    }
    return value;
}

SelectionWindowOptions Direct3DWithMouseFix()
{
    SelectionWindowOptions options;
    options.renderingMode = 1;
    options.useMouseFix = true;
    return options;
}

class Probe : public ::testing::Test
{
protected:
    void TearDown() override
    {
        RemoveSelectionWindow();
    }
};

using WithMesa = Probe;
using WithoutDirect3D = Probe;

TEST_F(WithMesa, HardwareDeviceCanBeCreated)
{
    ASSERT_NE(Direct3DRenderer(), L"no3d");
    ProbeWindow probed;
    ASSERT_NE(probed.window, nullptr);
    EXPECT_TRUE(IsDirect3DAvailable(probed.window, Direct3DCreate9));
    // Nothing of the first device is left to stand in the way of a second.
    EXPECT_TRUE(IsDirect3DAvailable(probed.window, Direct3DCreate9));
}

TEST_F(WithMesa, WindowOffersTheDirect3DChoice)
{
    SelectionWindow selection(Direct3DWithMouseFix());
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);
    const HWND direct3D = FindControl(window, L"Direct3D Rendered - 3D Accelerated");
    EXPECT_TRUE(IsWindowEnabled(direct3D));
    EXPECT_EQ(SendMessageW(direct3D, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(selection.GetOptions()->renderingMode, 1);
}

TEST_F(WithoutDirect3D, HardwareDeviceCannotBeCreated)
{
    ASSERT_EQ(Direct3DRenderer(), L"no3d") << "run through without-3d.sh";
    ProbeWindow probed;
    ASSERT_NE(probed.window, nullptr);
    EXPECT_FALSE(IsDirect3DAvailable(probed.window, Direct3DCreate9));
}

TEST_F(WithoutDirect3D, WindowForcesSoftware)
{
    ASSERT_EQ(Direct3DRenderer(), L"no3d") << "run through without-3d.sh";
    SelectionWindow selection(Direct3DWithMouseFix());
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(FindControl(window, L"Direct3D Rendered - 3D Accelerated")));
    EXPECT_EQ(SendMessageW(FindControl(window, L"Software Rendered - No 3D Acceleration"), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(selection.GetOptions()->renderingMode, 0);
}

// --- The probe's calls, on a Direct3D object of the test's own ---

// What the probe asked of the test's objects, in the order it asked.
struct Calls
{
    std::vector<std::string> log;
    UINT sdkVersion = 0;
    UINT adapter = 0;
    D3DDEVTYPE deviceType = D3DDEVTYPE_FORCE_DWORD;
    HWND focusWindow = nullptr;
    DWORD behaviour = 0;
    D3DPRESENT_PARAMETERS parameters = {};
};

// IUnknown's part of a stand-in: it logs its AddRef and Release under its name and frees nothing.
template <typename Interface> class Logged : public Interface
{
public:
    Logged(Calls& calls, const char* name) : calls(calls), name(name) {}
    STDMETHOD(QueryInterface)(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override
    {
        calls.log.push_back(name + " AddRef");
        return 2;
    }
    STDMETHOD_(ULONG, Release)() override
    {
        calls.log.push_back(name + " Release");
        return 0;
    }

protected:
    Calls& calls;

private:
    std::string name;
};

// The probe only ever releases the device, so a bare IUnknown stands in for it: Release has the
// same place in the vtable of every COM interface.
using FakeDevice = Logged<IUnknown>;

// Answers CreateDevice with a given status and hands out the stand-in device with every status
// that is not an error, as a driver that warns would.
class FakeDirect3D : public Logged<IDirect3D9>
{
public:
    FakeDirect3D(Calls& calls, HRESULT status) : Logged(calls, "Direct3D"), device(calls, "device"), status(status)
    {
    }

    STDMETHOD(CreateDevice)(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behaviour,
                            D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** created) override
    {
        calls.log.push_back("CreateDevice");
        calls.adapter = adapter;
        calls.deviceType = type;
        calls.focusWindow = focus;
        calls.behaviour = behaviour;
        calls.parameters = *parameters;
        if (status >= 0)
        {
            *created = reinterpret_cast<IDirect3DDevice9*>(static_cast<IUnknown*>(&device));
        }
        return status;
    }

    // Nothing else is the probe's business.
    STDMETHOD(RegisterSoftwareDevice)(void*) override { return Unexpected(); }
    STDMETHOD_(UINT, GetAdapterCount)() override { return Unexpected(); }
    STDMETHOD(GetAdapterIdentifier)(UINT, DWORD, D3DADAPTER_IDENTIFIER9*) override { return Unexpected(); }
    STDMETHOD_(UINT, GetAdapterModeCount)(UINT, D3DFORMAT) override { return Unexpected(); }
    STDMETHOD(EnumAdapterModes)(UINT, D3DFORMAT, UINT, D3DDISPLAYMODE*) override { return Unexpected(); }
    STDMETHOD(GetAdapterDisplayMode)(UINT, D3DDISPLAYMODE*) override { return Unexpected(); }
    STDMETHOD(CheckDeviceType)(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL) override { return Unexpected(); }
    STDMETHOD(CheckDeviceFormat)(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT) override
    {
        return Unexpected();
    }
    STDMETHOD(CheckDeviceMultiSampleType)(UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL, D3DMULTISAMPLE_TYPE, DWORD*) override
    {
        return Unexpected();
    }
    STDMETHOD(CheckDepthStencilMatch)(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override
    {
        return Unexpected();
    }
    STDMETHOD(CheckDeviceFormatConversion)(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT) override { return Unexpected(); }
    STDMETHOD(GetDeviceCaps)(UINT, D3DDEVTYPE, D3DCAPS9*) override { return Unexpected(); }
    STDMETHOD_(HMONITOR, GetAdapterMonitor)(UINT) override
    {
        Unexpected();
        return nullptr;
    }

private:
    HRESULT Unexpected()
    {
        calls.log.push_back("another method");
        return E_NOTIMPL;
    }

    FakeDevice device;
    HRESULT status;
};

// What the creating function that the probe is handed records and returns.
Calls* currentCalls = nullptr;
IDirect3D9* madeObject = nullptr;

IDirect3D9* WINAPI CreateTestDirect3D(UINT sdkVersion)
{
    currentCalls->sdkVersion = sdkVersion;
    return madeObject;
}

// A window handle that the probe only passes on; no window of that handle is needed.
const HWND GivenWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));

// The probe's answer when its creating function returns `made` (null or the test's object).
bool AskProbe(Calls& calls, IDirect3D9* made)
{
    currentCalls = &calls;
    madeObject = made;
    return IsDirect3DAvailable(GivenWindow, CreateTestDirect3D);
}

struct ProbeRow
{
    const char* name;
    bool objectMade;
    HRESULT status;
    bool answer;
    std::vector<std::string> log;
};
void PrintTo(const ProbeRow& row, std::ostream* out) { *out << row.name; }

using ProbeCalls = testing::TestWithParam<ProbeRow>;

TEST_P(ProbeCalls, AnswerAndReleases)
{
    const ProbeRow& row = GetParam();
    Calls calls;
    FakeDirect3D direct3D(calls, row.status);
    EXPECT_EQ(AskProbe(calls, row.objectMade ? &direct3D : nullptr), row.answer);
    EXPECT_EQ(calls.sdkVersion, static_cast<UINT>(D3D_SDK_VERSION));
    EXPECT_EQ(calls.log, row.log);
}

const ProbeRow ProbeRows[] = {
    {"NoDirect3DObject_FalseWithoutCreateDevice", false, D3D_OK, false, {}},
    {"DeviceCreated_TrueAndDeviceReleasedFirst", true, D3D_OK, true,
     {"CreateDevice", "device Release", "Direct3D Release"}},
    {"NotAvailable_FalseAndObjectReleased", true, D3DERR_NOTAVAILABLE, false, {"CreateDevice", "Direct3D Release"}},
    {"PositiveStatus_FalseAndDeviceLeftUnread", true, S_FALSE, false, {"CreateDevice", "Direct3D Release"}},
};
INSTANTIATE_TEST_SUITE_P(Table, ProbeCalls, testing::ValuesIn(ProbeRows), RowName());

auto Members(const D3DPRESENT_PARAMETERS& p)
{
    return std::make_tuple(p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat, p.BackBufferCount,
                           p.MultiSampleType, p.MultiSampleQuality, p.SwapEffect, p.hDeviceWindow, p.Windowed,
                           p.EnableAutoDepthStencil, p.AutoDepthStencilFormat, p.Flags,
                           p.FullScreen_RefreshRateInHz, p.PresentationInterval);
}

TEST(ProbeCallsDevice, HardwareDeviceWithSoftwareVertexProcessingInAWindow)
{
    Calls calls;
    FakeDirect3D direct3D(calls, D3D_OK);
    ASSERT_TRUE(AskProbe(calls, &direct3D));
    EXPECT_EQ(calls.adapter, static_cast<UINT>(D3DADAPTER_DEFAULT));
    EXPECT_EQ(calls.deviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(calls.focusWindow, GivenWindow);
    EXPECT_EQ(calls.behaviour, static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    D3DPRESENT_PARAMETERS expected = {};
    expected.Windowed = TRUE;
    expected.SwapEffect = D3DSWAPEFFECT_DISCARD;
    expected.hDeviceWindow = GivenWindow;
    EXPECT_EQ(Members(calls.parameters), Members(expected));
}

} // namespace
