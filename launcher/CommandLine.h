// The launcher's command line: the run-game flag, the game edition and the text handed on to the game.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace TARNWICK
{

class CommandLine
{
public:
    explicit CommandLine(const std::string& commandLine);
    ~CommandLine();

    bool RunGame() const;
    std::int32_t GameEdition() const;
    std::string Arguments() const;

private:
    void Parse(const std::string& commandLine);
    void ParseSwitch(const std::string& commandLine, std::string::size_type& position,
                     std::ostringstream& output);
    bool MatchSwitch(const std::string& commandLine, const std::string& keyword, bool passOn,
                     std::string::size_type& position, std::ostringstream& output, bool* flag);
    bool IsSwitchEnd(const std::string& commandLine, std::string::size_type position) const;
    void CopyQuoted(const std::string& commandLine, std::string::size_type& position,
                    std::ostringstream& output);

    bool runGame;
    std::int32_t gameEdition;
    std::string arguments;
};

} // namespace TARNWICK
