#include "builder/output/script.h"

#include <string_view>
#include <vector>

namespace prismora::output {
namespace {

constexpr std::string_view kForbiddenInTitle = "\\/:*?\"<>|{;";

// Names Windows keeps for devices, whatever extension follows them.
bool IsDeviceName(std::string_view title) {
  std::string_view stem = title.substr(0, title.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper;
  for (char c : stem) upper += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

std::string PascalString(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

std::vector<std::string> ActivationCode(const std::string& title) {
  // The setup program is 32-bit: on a 64-bit Windows its {sys} is redirected to SysWOW64,
  // so the file lands there while 64-bit programs (the desktop settings among them) read
  // "system32" as their own folder. The value therefore names SysWOW64 itself. The short
  // name is the one the file system gave the installed file; a volume without short names
  // gives the long path back.
  const std::string desktop = "HKEY_CURRENT_USER, 'Control Panel\\Desktop', ";
  return {
      "[Code]",
      "function SaverFile: String;",
      "var Folder: String;",
      "begin",
      "  Folder := '';",
      "  if IsWin64 then Folder := GetSysWow64Dir;",
      "  if Folder = '' then Folder := ExpandConstant('{sys}');",
      "  Result := AddBackslash(Folder) + " + PascalString(title + ".scr") + ";",
      "end;",
      "function SaverPath(Param: String): String;",
      "begin",
      "  Result := GetShortName(SaverFile);",
      "  if Result = '' then Result := SaverFile;",
      "end;",
      "procedure CurStepChanged(CurStep: TSetupStep);",
      "begin",
      "  if CurStep = ssPostInstall then begin",
      "    RegWriteStringValue(" + desktop + "'SCRNSAVE.EXE', SaverPath(''));",
      "    RegWriteStringValue(" + desktop + "'ScreenSaveActive', '1');",
      "  end;",
      "end;",
      // Uninstalling clears the choice only while it is still this screen saver; the file
      // is still there at this step, so its short name can be asked for.
      "procedure CurUninstallStepChanged(CurUninstallStep: TUninstallStep);",
      "var Active: String;",
      "begin",
      "  if CurUninstallStep = usUninstall then",
      "    if RegQueryStringValue(" + desktop + "'SCRNSAVE.EXE', Active) then",
      "      if (CompareText(Active, SaverPath('')) = 0) or (CompareText(Active, SaverFile) = 0) then",
      "        RegDeleteValue(" + desktop + "'SCRNSAVE.EXE');",
      "end;",
  };
}

}  // namespace

std::string SetupScriptText(const ScriptInputs& in) {
  const std::string& t = in.title;
  const std::string& f = in.folder;
  const std::string copy = "; CopyMode: alwaysoverwrite";
  std::vector<std::string> lines = {
      "[Setup]",
      "AppName=" + t,
      "AppVerName=" + t,
      "DefaultDirName={sys}\\" + t,
      "DisableDirPage=yes",
      "WizardImageFile=ImageWizardImageFile.bmp",
      "WizardSmallImageFile=ImageWizModernSmallImage.bmp",
  };
  if (in.licenseEnabled) lines.push_back("LicenseFile=license.txt");
  lines.insert(lines.end(), {
      "[Tasks]",
      "Name: \"desktopicon\"; Description: \"Create a &desktop icon\"; GroupDescription: "
      "\"Additional icons:\"",
      "[Files]",
      "Source: \"" + f + t + ".scr\"; DestDir: \"{sys}\"" + copy,
      // Quoted: the compiler trims an unquoted value, and a title's leading blank would
      // then install a file under another name than the one [Run] starts.
      "Source: \"" + f + t + ".scr\"; DestName: \"" + t + ".exe\"; DestDir: \"{sys}\"" + copy,
      "Source: \"" + in.converterFolder + "pixolve.exe\"; DestDir: \"{app}\"" + copy,
  });
  for (int i = 0; i < in.photoCount; ++i)
    lines.push_back("Source: \"" + f + t + std::to_string(i) + ".jpg\"; DestDir: \"{app}\"" + copy);
  const std::string count = std::to_string(in.photoCount < 0 ? 0 : in.photoCount);
  lines.insert(lines.end(), {
      "[INI]",
      // The Windows 95 family reads the active screen saver here; the NT family reads the
      // value the [Code] section writes.
      "Filename: \"{win}\\SYSTEM.INI\"; Key: \"SCRNSAVE.EXE\"; Section: \"boot\";  String: "
      "\"{code:SaverPath}\"",
      // The converter's bitmaps and its log (pixolve.log, written whenever it ran) were
      // made at install time, so the uninstaller would leave them (and with them the
      // folder) in the system folder: it removes exactly those.
      "[UninstallDelete]",
      "Type: files; Name: \"{app}\\" + t + "*.bmp\"",
      "Type: files; Name: \"{app}\\pixolve.log\"",
      "Type: dirifempty; Name: \"{app}\"",
      "[Run]",
      "Filename: \"{app}\\pixolve.exe \"; Flags: waituntilidle runminimized; Parameters: " +
          count + " " + t,
      "Filename: \"{sys}\\" + t + ".exe\"; Description: \"Launch Program\"; Flags: nowait "
      "postinstall skipifsilent",
  });
  for (std::string& line : ActivationCode(t)) lines.push_back(std::move(line));
  return JoinLines(lines);
}

std::string SetupScriptFile(const std::string& text) { return text + "\r\n"; }

std::optional<std::string> BuildSetupScript(const project::ProjectSettings& settings,
                                            const std::string& folder, const std::string& converterFolder,
                                            platform::FileSystem& files, std::string& error) {
  if (settings.LicenseEnabled && !SaveLicenseFile(files, folder, settings.LicenseText)) {
    error = "Cannot create file \"" + folder + kLicenseFileName + "\".";
    return std::nullopt;
  }
  return SetupScriptText({settings.Title, folder, settings.LicenseEnabled, int(settings.Photos.size()),
                          converterFolder});
}

std::optional<std::string> UnsafeTitleReason(const std::string& title, const text::LeadBytes& lead) {
  if (title.size() > kMaxTitleBytes)
    return "The title is " + std::to_string(title.size()) + (lead.AnyLead() ? " bytes" : " characters") +
           " long; it can have at most " + std::to_string(kMaxTitleBytes) +
           (lead.AnyLead() ? " (a character of two bytes counts twice)." : ".");
  if (text::EndsInHalfCharacter(title, lead))
    return std::string("The title ends in half a character.");
  const std::string_view last = text::LastCharacter(title, lead);
  if (last == " " || last == ".") return std::string("The title cannot end in a blank or a dot.");
  if (IsDeviceName(title))
    return std::string(
        "The title cannot be CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9, with or without an "
        "extension: Windows keeps these names for devices.");
  // Only single-byte characters can be one of these: the second byte of a two-byte
  // character may well be "\" or "|", and is part of that character.
  std::optional<std::string> why;
  text::ForEachCharacter(title, lead, [&](std::string_view ch) {
    if (why || ch.size() != 1) return;
    const unsigned char c = static_cast<unsigned char>(ch[0]);
    if (c < 0x20 || c == 0x7F)
      why = "The title cannot contain line breaks, tabs or other control characters.";
    else if (kForbiddenInTitle.find(char(c)) != std::string_view::npos)
      why = "The title cannot contain the character " + std::string(1, char(c)) +
            ". These characters are not allowed: \\ / : * ? \" < > | { ;";
  });
  return why;
}

}  // namespace prismora::output
