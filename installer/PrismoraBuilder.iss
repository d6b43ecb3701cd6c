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
; The builder reads its templates and writes its build files next to itself.
PrivilegesRequired=admin

[Dirs]
Name: "{app}"; Permissions: users-modify

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
Type: files; Name: "{app}\AutoSave.pmj"
Type: files; Name: "{app}\preview.scr"
Type: files; Name: "{app}\license.txt"
Type: filesandordirs; Name: "{app}\output"
