// Fotoprism's command line: builds and photo preparation without any window, for
// scripts and repeatable builds. Without arguments (or with a project file) the builder
// starts as usual.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace prismora::output {

enum class CliMode { Gui, Build, Prepare, Show, Usage, Invalid };

struct CliRequest {
  CliMode mode = CliMode::Gui;
  std::string project;  // Build, Prepare, Show; and Gui when a project file is to be opened
  std::string target;   // Build: the setup program; Prepare: the folder
  std::string problem;  // Invalid: what is wrong
};

// Splits a Windows command line (the part after the program name) the way the C
// runtime does: blanks separate, double quotes group, backslashes before a quote escape it.
std::vector<std::string> SplitCommandLine(std::string_view text);

CliRequest ParseCliArguments(const std::vector<std::string>& args);

std::string CliUsage();

}  // namespace prismora::output
