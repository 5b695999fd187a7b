// The renderer-choice window: a plain top-level window built in code, with its own message loop.
#include "SelectionWindow.h"

#include <stdexcept>

#include <d3d9.h>

#include "Direct3DProbe.h"

namespace TARNWICK
{

namespace
{

const wchar_t* const ClassName = L"AppName";
// Two blanks after the colon: the caption the players have always seen.
const wchar_t* const Caption = L"Vantorel:  Dawnmere";
const int IconResource = 101;
// The outer size, frame and title bar included.
const std::int32_t WindowWidth = 295;
const std::int32_t WindowHeight = 180;

bool ProbeWithDirect3D9(HWND window)
{
    return IsDirect3DAvailable(window, Direct3DCreate9);
}

const WORD OkButtonId = 1000;
const WORD CancelButtonId = 1001;
const WORD SoftwareRadioId = 1002;
const WORD Direct3DRadioId = 1003;
// The check box and the prompt need no commands of their own.
const WORD NoCommandId = 0;

const std::int32_t Direct3DMode = 1;
const std::int32_t SoftwareMode = 0;

} // namespace

SelectionWindowOptions::SelectionWindowOptions() : renderingMode(SoftwareMode), useMouseFix(false)
{
}

Position::Position(std::int32_t x, std::int32_t y) : x(x), y(y)
{
}

Size::Size(std::int32_t cx, std::int32_t cy) : cx(cx), cy(cy)
{
}

HWND CreateControl(HWND parent, ControlKind kind, std::uint16_t identifier, const wchar_t* text,
                   const Position& position, const Size& size)
{
    struct KindClass
    {
        const wchar_t* className;
        DWORD style;
    };
    // Indexed by ControlKind.
    static const KindClass kinds[] = {
        {L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {L"Static", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SS_LEFT},
        {L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
        {L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON},
    };
    const auto index = static_cast<std::size_t>(kind);
    if (index >= sizeof kinds / sizeof kinds[0])
    {
        return nullptr;
    }
    const wchar_t* const className = kinds[index].className;
    const DWORD style = kinds[index].style;
    return CreateWindowExW(0, className, text, style, position.x, position.y, size.cx, size.cy, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(identifier)), nullptr, nullptr);
}

SelectionWindow::SelectionWindow(const SelectionWindowOptions& options)
    : SelectionWindow(options, ProbeWithDirect3D9)
{
}

SelectionWindow::SelectionWindow(const SelectionWindowOptions& givenOptions,
                                 Direct3DAvailabilityProbe direct3DProbe)
    : options(std::make_shared<SelectionWindowOptions>(givenOptions)),
      accepted(false),
      window(nullptr),
      prompt(nullptr),
      radioDirect3D(nullptr),
      radioSoftware(nullptr),
      okButton(nullptr),
      cancelButton(nullptr),
      mouseFixCheck(nullptr),
      probe(direct3DProbe)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IconResource));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = ClassName;
    if (RegisterClassW(&windowClass) == 0)
    {
        throw std::runtime_error("Failed to register window class.");
    }

    // Integer division truncates toward zero, also on a screen narrower than the window.
    const std::int32_t x = (GetSystemMetrics(SM_CXSCREEN) - WindowWidth) / 2;
    const std::int32_t y = (GetSystemMetrics(SM_CYSCREEN) - WindowHeight) / 2;
    window = CreateWindowExW(0, ClassName, Caption, WS_CAPTION, x, y, WindowWidth, WindowHeight, nullptr,
                             nullptr, instance, this);
    if (creationFailure)
    {
        std::rethrow_exception(creationFailure);
    }
    if (window == nullptr)
    {
        throw std::runtime_error("Failed to create window.");
    }
}

SelectionWindow::~SelectionWindow()
{
}

void SelectionWindow::RunMessageLoop()
{
    accepted = false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message;
    // -1 is an error that leaves no message to serve, so it ends the loop as WM_QUIT does.
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        if (!IsDialogMessageW(window, &message))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool SelectionWindow::IsAccepted() const
{
    return accepted;
}

std::shared_ptr<SelectionWindowOptions> SelectionWindow::GetOptions() const
{
    return options;
}

LRESULT CALLBACK SelectionWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
    {
        return OnCreate(window, message, wParam, lParam);
    }

    // Zero until WM_CREATE has stored the object.
    auto* self = reinterpret_cast<SelectionWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
    {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    switch (message)
    {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        break;
    case WM_COMMAND:
        self->OnCommand(window, LOWORD(wParam));
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SelectionWindow::OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<SelectionWindow*>(creation->lpCreateParams);
    if (self == nullptr)
    {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // No C++ exception may unwind through CreateWindowExW: keep it, fail the creation, and let
    // the constructor throw it once the platform has returned.
    try
    {
        // A 0 result is also the previous user data of a new window: only the last error tells.
        // The Ptr forms are SetWindowLongW and GetWindowLongW on 32-bit Windows and keep the whole
        // pointer on 64-bit.
        SetLastError(0);
        if (SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self)) == 0
            && GetLastError() != 0)
        {
            throw std::runtime_error("Failed to store object reference.");
        }
        self->BuildControls(window);
    }
    catch (...)
    {
        self->creationFailure = std::current_exception();
        // The platform destroys the window next: without its object, WM_DESTROY posts no WM_QUIT,
        // which would end the modal loop of the error box that the caller shows.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return -1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void SelectionWindow::BuildControls(HWND window)
{
    okButton = CreateControl(window, ControlKind::PushButton, OkButtonId, L"OK", Position(65, 113),
                             Size(75, 23));
    cancelButton = CreateControl(window, ControlKind::PushButton, CancelButtonId, L"Cancel",
                                 Position(150, 113), Size(75, 23));
    radioSoftware = CreateControl(window, ControlKind::RadioButton, SoftwareRadioId,
                                  L"Software Rendered - No 3D Acceleration", Position(20, 47), Size(215, 15));
    radioDirect3D = CreateControl(window, ControlKind::RadioButton, Direct3DRadioId,
                                  L"Direct3D Rendered - 3D Accelerated", Position(20, 72), Size(215, 15));
    mouseFixCheck = CreateControl(window, ControlKind::CheckBox, NoCommandId, L"Use Mouse Fix",
                                  Position(45, 93), Size(100, 15));
    // Wider than the window on purpose: the frame clips it.
    prompt = CreateControl(window, ControlKind::StaticText, NoCommandId,
                           L"Please select the version you want to run:", Position(6, 11), Size(300, 15));

    const HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
    for (HWND control : {okButton, cancelButton, radioSoftware, radioDirect3D, mouseFixCheck, prompt})
    {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    }

    if (probe(window))
    {
        EnableWindow(radioDirect3D, TRUE);
    }
    else
    {
        options->renderingMode = SoftwareMode;
        EnableWindow(radioDirect3D, FALSE);
    }

    const bool direct3DSelected = options->renderingMode == Direct3DMode;
    SendMessageW(direct3DSelected ? radioDirect3D : radioSoftware, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(mouseFixCheck, direct3DSelected);
    // The record keeps its mouse fix: only OK writes it.
    SendMessageW(mouseFixCheck, BM_SETCHECK,
                 options->useMouseFix && direct3DSelected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SelectionWindow::OnCommand(HWND window, WORD identifier)
{
    switch (identifier)
    {
    case OkButtonId:
        options->renderingMode =
            SendMessageW(radioDirect3D, BM_GETCHECK, 0, 0) == BST_CHECKED ? Direct3DMode : SoftwareMode;
        options->useMouseFix = SendMessageW(mouseFixCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
        accepted = true;
        DestroyWindow(window);
        break;
    case CancelButtonId:
        DestroyWindow(window);
        break;
    case SoftwareRadioId:
        // A disabled box is always clear, so the software choice never carries a mouse fix.
        EnableWindow(mouseFixCheck, FALSE);
        SendMessageW(mouseFixCheck, BM_SETCHECK, BST_UNCHECKED, 0);
        break;
    case Direct3DRadioId:
        EnableWindow(mouseFixCheck, TRUE);
        break;
    default:
        break;
    }
}

} // namespace TARNWICK
