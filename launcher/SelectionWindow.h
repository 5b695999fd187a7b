// The renderer-choice window: software or Direct3D rendering, and the mouse fix.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>

#include <windows.h>

#include "SelectionWindowOptions.h"

namespace TARNWICK
{

// Where a child control goes and how large it is, in the main window's client area.
struct Position
{
    std::int32_t x;
    std::int32_t y;
    Position(std::int32_t x, std::int32_t y);
};

struct Size
{
    std::int32_t cx;
    std::int32_t cy;
    Size(std::int32_t cx, std::int32_t cy);
};

enum class ControlKind
{
    PushButton = 0,
    StaticText = 1,
    CheckBox = 2,
    RadioButton = 3,
};

// A visible child control of the given kind; null for an unknown kind or a failed creation.
HWND CreateControl(HWND parent, ControlKind kind, std::uint16_t identifier, const wchar_t* text,
                   const Position& position, const Size& size);

// Answers whether the Direct3D choice can be offered on the given window.
using Direct3DAvailabilityProbe = bool (*)(HWND window);

class SelectionWindow
{
public:
    // Throws std::exception when the class, the window or the object reference cannot be set up.
    explicit SelectionWindow(const SelectionWindowOptions& options);
    // Tests give their own probe answer; the launcher always asks IsDirect3DAvailable with
    // Direct3DCreate9.
    SelectionWindow(const SelectionWindowOptions& options, Direct3DAvailabilityProbe probe);
    ~SelectionWindow();

    // The window procedure keeps this object's address: it stays in place.
    SelectionWindow(const SelectionWindow&) = delete;
    SelectionWindow& operator=(const SelectionWindow&) = delete;

    void RunMessageLoop();
    bool IsAccepted() const;
    std::shared_ptr<SelectionWindowOptions> GetOptions() const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls(HWND window);
    void OnCommand(HWND window, WORD identifier);

    std::shared_ptr<SelectionWindowOptions> options;
    bool accepted;
    HWND window;
    HWND prompt;
    HWND radioDirect3D;
    HWND radioSoftware;
    HWND okButton;
    HWND cancelButton;
    HWND mouseFixCheck;
    Direct3DAvailabilityProbe probe;
    // A failure inside WM_CREATE waits here until CreateWindowExW has returned.
    std::exception_ptr creationFailure;
};

} // namespace TARNWICK
