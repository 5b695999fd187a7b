// The launcher's command line: flags, edition and the byte-exact pass-through text.
#include "CommandLine.h"

#include "RowName.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct CommandLineCase
{
    const char* name;
    std::string text;
    bool runGame;
    std::int32_t gameEdition;
    std::string arguments;
};

using CommandLineTest = testing::TestWithParam<CommandLineCase>;

TEST_P(CommandLineTest, YieldsFlagEditionAndPassThroughText)
{
    const CommandLineCase& row = GetParam();
    const TARNWICK::CommandLine commandLine(row.text);
    EXPECT_EQ(commandLine.RunGame(), row.runGame);
    EXPECT_EQ(commandLine.GameEdition(), row.gameEdition);
    EXPECT_EQ(commandLine.Arguments(), row.arguments);
}

const CommandLineCase WorkedExamples[] = {
    {"AllThreeKindsOfSwitch_KeepsOnlyPassedOn", "-RUNGAME -GAME=SK -h", true, 1, "-h"},
    {"SlashHost_PassedOnWithText", "/host level one", true, 0, "/host level one"},
    {"ConsumedSwitchBetweenWords_LeavesBothBlanks", "a -RUNGAME b", true, 0, "a  b"},
    {"SwitchInsideWord_CutOut", "play-RUNGAME now", true, 0, "play now"},
    {"SmallLetterGameSk_SelectsSkellmoor", "-game=sk", false, 1, ""},
    {"FrameRateMouse_ConsumedOnly", "-FRAMERATEMOUSE", false, 0, ""},
    {"OtherGameValue_StaysAsText", "-GAME=XY -join", true, 0, "-GAME=XY -join"},
    {"KeywordRunsOn_NoSwitch", "-RUNGAMEX", false, 0, "-RUNGAMEX"},
    {"DoubleDash_FirstIsText", "--RUNGAME", true, 0, "-"},
    {"HFollowedBySwitch_OnlySecondMatches", "-H-RUNGAME", true, 0, "-H"},
    {"RunGameFollowedByH_OnlyFinalHMatches", "-RUNGAME-H", true, 0, "-RUNGAME-H"},
    {"SwitchInsideQuotes_NotRecognised", "'level -RUNGAME' x", false, 0, "'level -RUNGAME' x"},
    {"SwitchRightAfterClosingQuote_IsText", "'a'-RUNGAME", false, 0, "'a'-RUNGAME"},
};
INSTANTIATE_TEST_SUITE_P(WorkedExamples, CommandLineTest, testing::ValuesIn(WorkedExamples), RowName());

const CommandLineCase EdgeCases[] = {
    {"Empty_NothingSet", "", false, 0, ""},
    {"WhiteSpaceOnly_TrimmedToEmpty", " \t\n\v\f\r ", false, 0, ""},
    {"MixedCaseRunGame_Consumed", "-rUnGaMe", true, 0, ""},
    {"MixedCaseHost_PassedOnAsWritten", "x /HoSt y", true, 0, "x /HoSt y"},
    {"MixedCaseGameSk_SelectsSkellmoor", "-GaMe=sK", false, 1, ""},
    {"SmallJ_PassedOn", "-j", true, 0, "-j"},
    {"MixedCaseJoin_PassedOn", "/Join addr", true, 0, "/Join addr"},
    {"MixedCaseFrameRateMouse_Consumed", "a /FrameRateMouse b", false, 0, "a  b"},
    {"GameSkRunsOn_NoSwitch", "-GAME=SKX", false, 0, "-GAME=SKX"},
    {"HostRunsOn_NoSwitch", "-HOSTS", false, 0, "-HOSTS"},
    {"JRunsOnIntoQuote_NoSwitch", "-j\"x\"", false, 0, "-j\"x\""},
    {"GameValueCutShort_NoSwitch", "-GAME=S", false, 0, "-GAME=S"},
    {"GameWithoutValue_NoSwitch", "-GAME=", false, 0, "-GAME="},
    {"SwitchCharacterBeforeBlank_IsText", "- RUNGAME", false, 0, "- RUNGAME"},
    {"SwitchCharacterLast_IsText", "play -", false, 0, "play -"},
    {"SwitchCharacterAlone_IsText", "/", false, 0, "/"},
    {"PathEndingInSlashH_SetsFlagAndStays", "C:\\games/h", true, 0, "C:\\games/h"},
    {"TwoSlashesBeforeH_SecondMatches", "//h", true, 0, "//h"},
    // A backslash is no switch character: Windows paths keep their keywords.
    {"PathEndingInBackslashH_IsText", "C:\\maps\\h", false, 0, "C:\\maps\\h"},
    {"BackslashRunGame_IsText", "a\\RUNGAME b", false, 0, "a\\RUNGAME b"},
    {"TabEndsKeywordAndIsTrimmed", "-RUNGAME\tlevel", true, 0, "level"},
    {"TabEndsGameSk", "-GAME=SK\t-h", true, 1, "-h"},
    {"ConsumedSwitches_KeepSurroundingWhiteSpace", "a\t-FRAMERATEMOUSE\tb -GAME=SK  c", false, 1,
     "a\t\tb   c"},
    {"BackquoteRun_PassesUnchanged", "`a -RUNGAME b` x", false, 0, "`a -RUNGAME b` x"},
    {"DoubleQuoteRun_OtherQuotesInsideAreText", "\"it's -RUNGAME\" -j", true, 0, "\"it's -RUNGAME\" -j"},
    {"BackslashInsideRun_NoEscape", "\"a\\\" -h", true, 0, "\"a\\\" -h"},
    {"UnclosedRun_KeepsRestUnchanged", "x 'unclosed -RUNGAME  ", false, 0, "x 'unclosed -RUNGAME"},
    {"QuoteRightAfterClosingQuote_OpensNoRun", "'a'' -h", true, 0, "'a'' -h"},
    // A matched switch ends the search: a later keyword right after it needs its own switch character.
    {"KeywordsAfterSwitchWithoutSwitchCharacter_AreText", "-RUNGAME FRAMERATEMOUSE -h GAME=SK", true, 0,
     "FRAMERATEMOUSE -h GAME=SK"},
    {"RepeatedSwitches_Harmless", "-RUNGAME -h -RUNGAME -GAME=SK -game=sk", true, 1, "-h"},
    {"HighByteAfterKeyword_NotWhiteSpace", "-RUNGAME\xA0x", false, 0, "-RUNGAME\xA0x"},
    {"HighBytesAtEnds_NotTrimmed", "\xA0-h\xA0", false, 0, "\xA0-h\xA0"},
    // "H", "h" and "J" with the eighth bit set: a fold that drops that bit along with the case
    // bit (c & 0x5F, or c & 0x7F before folding) would read them as switches.
    {"LettersWithEighthBitSet_NoSwitch", "-\xC8 -\xE8 -\xCA", false, 0, "-\xC8 -\xE8 -\xCA"},
};
INSTANTIATE_TEST_SUITE_P(EdgeCases, CommandLineTest, testing::ValuesIn(EdgeCases), RowName());

} // namespace
