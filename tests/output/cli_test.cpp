#include "builder/output/cli.h"

#include <gtest/gtest.h>

using namespace prismora::output;
using Args = std::vector<std::string>;

TEST(CommandLine, SplitsLikeTheCRuntime) {
  EXPECT_EQ(SplitCommandLine(""), Args{});
  EXPECT_EQ(SplitCommandLine("  /build  a.pmj\tb.exe "), (Args{"/build", "a.pmj", "b.exe"}));
  EXPECT_EQ(SplitCommandLine("/build \"C:\\My Projects\\x.pmj\" \"D:\\out dir\\setup.exe\""),
            (Args{"/build", "C:\\My Projects\\x.pmj", "D:\\out dir\\setup.exe"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\dir\\\\\" next"), (Args{"C:\\dir\\", "next"}));
  EXPECT_EQ(SplitCommandLine("a\\\"b"), (Args{"a\"b"}));
  EXPECT_EQ(SplitCommandLine("C:\\a\\b.pmj"), (Args{"C:\\a\\b.pmj"}));
  EXPECT_EQ(SplitCommandLine("\"say \"\"hi\"\"\""), (Args{"say \"hi\""}));
  EXPECT_EQ(SplitCommandLine("\"\""), (Args{""}));
}

TEST(CommandLine, Modes) {
  EXPECT_EQ(ParseCliArguments({}).mode, CliMode::Gui);
  CliRequest open = ParseCliArguments({"C:\\p\\demo.pmj"});
  EXPECT_EQ(open.mode, CliMode::Gui);
  EXPECT_EQ(open.project, "C:\\p\\demo.pmj");

  CliRequest build = ParseCliArguments({"/BUILD", "a.pmj", "C:\\out\\setup.exe"});
  EXPECT_EQ(build.mode, CliMode::Build);
  EXPECT_EQ(build.project, "a.pmj");
  EXPECT_EQ(build.target, "C:\\out\\setup.exe");

  CliRequest prep = ParseCliArguments({"-prepare", "a.pmj", "C:\\photos"});
  EXPECT_EQ(prep.mode, CliMode::Prepare);
  EXPECT_EQ(prep.target, "C:\\photos");

  CliRequest show = ParseCliArguments({"/Show", "C:\\p\\a.pmj"});
  EXPECT_EQ(show.mode, CliMode::Show);
  EXPECT_EQ(show.project, "C:\\p\\a.pmj");

  EXPECT_EQ(ParseCliArguments({"/?"}).mode, CliMode::Usage);
  EXPECT_EQ(ParseCliArguments({"/help"}).mode, CliMode::Usage);
}

TEST(CommandLine, MistakesAreExplained) {
  for (const Args& bad : {Args{"/build", "a.pmj"}, Args{"/build"}, Args{"/prepare", "a", "b", "c"},
                          Args{"/frobnicate"}, Args{"a.pmj", "b.pmj"}, Args{"/build", "", "x.exe"},
                          Args{"/show"}, Args{"/show", "a.pmj", "b"}}) {
    CliRequest r = ParseCliArguments(bad);
    EXPECT_EQ(r.mode, CliMode::Invalid) << bad.size();
    EXPECT_FALSE(r.problem.empty());
  }
  EXPECT_NE(CliUsage().find("/build PROJECT.pmj SETUP.exe"), std::string::npos);
  EXPECT_NE(CliUsage().find("/show PROJECT.pmj"), std::string::npos);
}
