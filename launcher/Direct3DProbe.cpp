// Tries a Direct3D 9 hardware device on a window and releases it at once.
#include "Direct3DProbe.h"

#include <d3d9.h>

namespace TARNWICK
{

bool IsDirect3DAvailable(HWND window, Direct3DCreator createDirect3D)
{
    IDirect3D9* direct3D = createDirect3D(D3D_SDK_VERSION);
    if (direct3D == nullptr)
    {
        return false;
    }

    D3DPRESENT_PARAMETERS parameters;
    ZeroMemory(&parameters, sizeof(parameters));
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;

    IDirect3DDevice9* device = nullptr;
    const HRESULT result = direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                                  &device);
    // Only D3D_OK hands out a device: a positive status is no device either.
    const bool created = result == D3D_OK;
    if (created)
    {
        device->Release();
    }
    direct3D->Release();
    return created;
}

} // namespace TARNWICK
