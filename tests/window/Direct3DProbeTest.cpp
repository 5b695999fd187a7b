// The Direct3D probe on Wine's real Direct3D 9: offered under Xvfb with Mesa, refused where Wine
// is told to offer no 3D (a prefix of its own, see without-3d.sh).
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "Direct3DProbe.h"
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
    EXPECT_TRUE(IsDirect3DAvailable(probed.window));
    // Nothing of the first device is left to stand in the way of a second.
    EXPECT_TRUE(IsDirect3DAvailable(probed.window));
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
    EXPECT_FALSE(IsDirect3DAvailable(probed.window));
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

} // namespace
