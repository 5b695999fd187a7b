// The launcher's own WinMain and error box around a start-up sequence that throws, built as a
// program of its own, so that a test can read the box and the exit code of that road.
// Its command line says what is thrown: a standard exception carrying that text, or, for
// "--not-a-standard-exception", an int.

// The real sequence is compiled under another name, which keeps the real error box beside it.
#define RunStartUpSequence RunStartUpSequenceNotCalled
#include "StartUp.cpp"
#undef RunStartUpSequence

#include <stdexcept>
#include <string>

namespace TARNWICK
{

int RunStartUpSequence(const char* commandLine)
{
    const std::string text = commandLine;
    if (text == "--not-a-standard-exception")
    {
        throw 1;
    }
    throw std::runtime_error(text);
}

} // namespace TARNWICK
