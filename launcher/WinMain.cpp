// Entry point of the launcher Tarnwick: runs the start-up sequence and turns an exception that
// escapes it into a message and exit code -1.
#include "StartUp.h"

#include <windows.h>

#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    try
    {
        return TARNWICK::RunStartUpSequence(commandLine);
    }
    catch (const std::exception& error)
    {
        TARNWICK::ShowUnexpectedError(error.what());
    }
    catch (...)
    {
        TARNWICK::ShowUnexpectedError(nullptr);
    }
    return -1;
}
