// Reads the launcher's command line once: switches, quoted runs and the pass-through text.
#include "CommandLine.h"

#include <Poco/Ascii.h>
#include <Poco/String.h>

#include <sstream>

namespace TARNWICK
{

namespace
{

bool IsSwitchCharacter(char byte)
{
    return byte == '/' || byte == '-';
}

bool IsQuoteCharacter(char byte)
{
    return byte == '`' || byte == '\'' || byte == '"';
}

} // namespace

CommandLine::CommandLine(const std::string& commandLine)
    : runGame(false), gameEdition(0), arguments()
{
    Parse(commandLine);
}

CommandLine::~CommandLine()
{
}

bool CommandLine::RunGame() const
{
    return runGame;
}

std::int32_t CommandLine::GameEdition() const
{
    return gameEdition;
}

std::string CommandLine::Arguments() const
{
    return arguments;
}

void CommandLine::Parse(const std::string& commandLine)
{
    std::ostringstream output;
    std::string::size_type position = 0;
    while (position < commandLine.size())
    {
        ParseSwitch(commandLine, position, output);
        if (position >= commandLine.size())
            break;
        CopyQuoted(commandLine, position, output);
        if (position >= commandLine.size())
            break;
        // Copied untested: after a quoted run a switch or quote character here is plain text.
        output.put(commandLine[position]);
        ++position;
    }
    arguments = Poco::trim(output.str());
}

void CommandLine::ParseSwitch(const std::string& commandLine, std::string::size_type& position,
                              std::ostringstream& output)
{
    if (!IsSwitchCharacter(commandLine[position]))
        return;
    if (position + 1 == commandLine.size())
    {
        output.put(commandLine[position]);
        ++position;
        return;
    }

    if (MatchSwitch(commandLine, "RUNGAME", false, position, output, &runGame) ||
        MatchSwitch(commandLine, "H", true, position, output, &runGame) ||
        MatchSwitch(commandLine, "HOST", true, position, output, &runGame) ||
        MatchSwitch(commandLine, "J", true, position, output, &runGame) ||
        MatchSwitch(commandLine, "JOIN", true, position, output, &runGame) ||
        MatchSwitch(commandLine, "FRAMERATEMOUSE", false, position, output, nullptr))
        return;

    // icompare cuts each stretch at the end of the text, so a text that ends early never matches.
    if (Poco::icompare(commandLine, position + 1, 5, "GAME=") == 0 &&
        Poco::icompare(commandLine, position + 6, 2, "SK") == 0 &&
        IsSwitchEnd(commandLine, position + 8))
    {
        position += 8;
        gameEdition = 1;
    }
}

bool CommandLine::MatchSwitch(const std::string& commandLine, const std::string& keyword, bool passOn,
                              std::string::size_type& position, std::ostringstream& output, bool* flag)
{
    const std::string::size_type length = keyword.size();
    if (commandLine.size() - position < length + 1)
        return false;
    if (Poco::icompare(commandLine, position + 1, length, keyword) != 0)
        return false;
    if (!IsSwitchEnd(commandLine, position + 1 + length))
        return false;

    // A passed-on switch keeps the letter case that the user wrote.
    if (passOn)
        output.write(commandLine.data() + position, static_cast<std::streamsize>(length + 1));
    position += length + 1;
    if (flag != nullptr)
        *flag = true;
    return true;
}

bool CommandLine::IsSwitchEnd(const std::string& commandLine, std::string::size_type position) const
{
    return position >= commandLine.size() ||
           Poco::Ascii::isSpace(static_cast<unsigned char>(commandLine[position]));
}

void CommandLine::CopyQuoted(const std::string& commandLine, std::string::size_type& position,
                             std::ostringstream& output)
{
    const char quote = commandLine[position];
    if (!IsQuoteCharacter(quote))
        return;
    output.put(quote);
    ++position;
    // No escapes: only the opening byte ends the run, and an unclosed run takes the rest.
    while (position < commandLine.size())
    {
        const char byte = commandLine[position];
        output.put(byte);
        ++position;
        if (byte == quote)
            break;
    }
}

} // namespace TARNWICK
