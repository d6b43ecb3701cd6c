; Setup program of the builder itself. Compiled by scripts/dist with
;   ISCC.exe /DSourceDir=<staged folder> /O<out> /FPrismoraBuilder-setup PrismoraBuilder.iss

#ifndef SourceDir
  #error SourceDir must name the staged program folder
#endif

[Setup]
AppName=Prismora Builder
AppVersion=1.4
AppVerName=Prismora Builder 1.4
AppPublisher=Prismora
AppPublisherURL=http://www.prismora.example
DefaultDirName={pf}\Prismora Builder
DefaultGroupName=Prismora Builder
UninstallDisplayIcon={app}\Fotoprism.exe
Compression=lzma2
SolidCompression=yes
OutputBaseFilename=PrismoraBuilder-setup
; Installed for every user below Program Files, which only administrators may change: the
; builder runs as a standard user, reads this folder and writes only into each user's own
; %LOCALAPPDATA%\Prismora Builder. The folder keeps Windows' permissions (no users-modify),
; so nobody can replace the programs and templates that every setup built here ships.
PrivilegesRequired=admin

[Files]
Source: "{#SourceDir}\Fotoprism.exe"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo0"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo1"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo2"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo3"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo4"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexo5"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\vexoscene.exe"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\pixolve.exe"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\libheif.dll"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\libde265.dll"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\licenses\*"; DestDir: "{app}\licenses"; Flags: ignoreversion
Source: "{#SourceDir}\WizModernImage.bmp"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\WizModernSmallImage.bmp"; DestDir: "{app}"; Flags: ignoreversion
Source: "{#SourceDir}\help\*"; DestDir: "{app}\help"; Flags: ignoreversion

[Icons]
; The default wizard pictures are bare file names, found in the working folder.
Name: "{group}\Prismora Builder"; Filename: "{app}\Fotoprism.exe"; WorkingDir: "{app}"
Name: "{group}\Uninstall Prismora Builder"; Filename: "{uninstallexe}"

[Run]
Filename: "{app}\Fotoprism.exe"; WorkingDir: "{app}"; Description: "Start Prismora Builder"; Flags: postinstall nowait skipifsilent

[UninstallDelete]
; Left in the program folder by earlier builders, which wrote there.
Type: files; Name: "{app}\AutoSave.pmj"
Type: files; Name: "{app}\AutoSave.pml"
Type: files; Name: "{app}\preview.scr"
Type: files; Name: "{app}\license.txt"
Type: filesandordirs; Name: "{app}\output"

[Code]
// What the builder wrote for the user who uninstalls (the last project, the preview files,
// imported templates, the last build's files) goes only when that user agrees; a silent
// uninstall keeps it. Other users' folders are theirs to keep.
procedure CurUninstallStepChanged(CurUninstallStep: TUninstallStep);
var
  Folder, Question: String;
begin
  if CurUninstallStep <> usPostUninstall then Exit;
  Folder := ExpandConstant('{localappdata}\Prismora Builder');
  if UninstallSilent or not DirExists(Folder) then Exit;
  // (A line must not start with "#": the preprocessor would take it.)
  Question := 'Also remove your own Prismora Builder files (your last project, previews and ' +
              'imported templates)?' + #13#10 + #13#10 + Folder;
  if MsgBox(Question, mbConfirmation, MB_YESNO or MB_DEFBUTTON2) = IDYES then
    DelTree(Folder, True, True, True);
end;
