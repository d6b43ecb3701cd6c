// The Windows side of bench/soak: watches one process of the programs users get over a
// long run and samples its memory (private bytes, working set) and its handle counts
// (GDI objects, USER objects, kernel handles) every second.
//
//   soak_probe watch IMAGE SECONDS WARMUP CSV LABEL
//     Finds the running process whose file is IMAGE (e.g. preview.scr, started by the
//     builder's /show), samples it for SECONDS, then ends it.
//   soak_probe session BUILDER PROJECT PHOTOS SETUP SECONDS WARMUP CSV
//     Starts the builder with PROJECT and drives its window as a user would, round after
//     round until SECONDS have passed: adds the photos listed (one per line) in the file
//     PHOTOS one at a time through the Open dialog, picks each template in turn (the
//     preview plays it in the window), builds the setup program through the Save As
//     dialog to SETUP, closes the finish window, removes all photos. Then closes it.
//     With ALLOWANCE (a file written by `dialogs`), handle growth of the kinds the bare
//     dialogs leave behind is judged net of what the same number of dialogs costs.
//   soak_probe dialogs PHOTOS SETUP ROUNDS CSV ALLOWANCE
//     The same file dialogs as the session's rounds (three Open, one Save As), shown by
//     this probe itself with nothing of the builder's around them, answered the same way.
//     Writes to ALLOWANCE, for each kind of handle that grew, what one round added: the
//     platform's own cost of a file dialog (Wine's keeps a registry key open per dialog).
//
// Each sample is a CSV line: label,seconds,private_kb,working_set_kb,gdi,user,handles,
// windows (see bench/process_counters.h for what Wine answers).
// The verdict compares what the process holds after the first WARMUP seconds with what
// it holds at the end (watch: the medians of the first and last fifth of the samples
// after warm-up; session: the samples taken at the end of each round, the same point of
// the work, the first round after warm-up against the last). It prints one line:
//   "<label>: private 41.2 -> 41.9 MB, working set ..., GDI 35 -> 35, USER 12 -> 12,
//    handles 180 -> 181, windows 3 -> 3: steady"
// (the session first names the kinds of handle that changed) and exits 1 when private
// bytes grow by more than 4 MB and 5 %, or a handle count or the number of windows by
// more than 8; 3 when the process ended by itself, or the session met a message box it
// did not expect or missed a window it waited for.
#include <windows.h>
#include <commdlg.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/process_counters.h"
#include "bench/process_windows.h"
#include "builder/window/form_layout.h"

namespace {

// The window's control and command numbers, as the builder's layout gives them.
constexpr int kTemplateCombo = prismora::window::ComboBoxScreensaverTemplate;
constexpr int kAddPhotos = prismora::window::AddPhotos1;
constexpr int kRemoveAll = prismora::window::RemoveAll1;
constexpr int kBuild = prismora::window::PunltMenuBuildScreenSaver;

struct Sample {
  double seconds = 0;
  int64_t privateBytes = 0, workingSet = 0;
  long gdi = 0, user = 0, handles = 0, windows = 0;
};

double Now() {
  static LARGE_INTEGER start = [] {
    LARGE_INTEGER s;
    QueryPerformanceCounter(&s);
    return s;
  }();
  LARGE_INTEGER f, n;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&n);
  return double(n.QuadPart - start.QuadPart) / double(f.QuadPart);
}

Sample Take(HANDLE process) {
  Sample s;
  s.seconds = Now();
  const prismora::bench::ProcessCounters c = prismora::bench::CountersOf(process);
  s.privateBytes = c.privateBytes;
  s.workingSet = c.workingSet;
  s.gdi = c.gdi;
  s.user = c.user;
  s.handles = c.handles;
  s.windows = prismora::bench::WindowCountOf(GetProcessId(process));
  return s;
}

struct Csv {
  std::FILE* file;
  std::string label;
  void Write(const Sample& s) const {
    std::fprintf(file, "%s,%.1f,%lld,%lld,%ld,%ld,%ld,%ld\n", label.c_str(), s.seconds,
                 (long long)(s.privateBytes / 1024), (long long)(s.workingSet / 1024), s.gdi, s.user, s.handles,
                 s.windows);
    std::fflush(file);
  }
};

template <class T>
T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? T{} : v[v.size() / 2];
}

Sample MedianOf(const std::vector<Sample>& samples) {
  Sample m;
  auto pick = [&](auto member) {
    std::vector<std::remove_cvref_t<decltype(samples[0].*member)>> v;
    for (const Sample& s : samples) v.push_back(s.*member);
    return Median(v);
  };
  m.privateBytes = pick(&Sample::privateBytes);
  m.workingSet = pick(&Sample::workingSet);
  m.gdi = pick(&Sample::gdi);
  m.user = pick(&Sample::user);
  m.handles = pick(&Sample::handles);
  m.windows = pick(&Sample::windows);
  return m;
}

// The verdict line and the exit code for a start and an end state.
int Verdict(const std::string& label, const Sample& a, const Sample& b) {
  const double mb = 1024.0 * 1024.0;
  const int64_t grown = b.privateBytes - a.privateBytes;
  const bool memory = grown > (int64_t(4) << 20) && grown * 20 > a.privateBytes;
  const bool handles = b.gdi - a.gdi > 8 || b.user - a.user > 8 || b.handles - a.handles > 8 ||
                       b.windows - a.windows > 8;
  std::printf("%s: private %.1f -> %.1f MB, working set %.1f -> %.1f MB, GDI %ld -> %ld, USER %ld -> %ld, "
              "handles %ld -> %ld, windows %ld -> %ld: %s\n",
              label.c_str(), a.privateBytes / mb, b.privateBytes / mb, a.workingSet / mb, b.workingSet / mb, a.gdi,
              b.gdi, a.user, b.user, a.handles, b.handles, a.windows, b.windows,
              memory || handles ? "GROWS" : "steady");
  std::fflush(stdout);
  return memory || handles ? 1 : 0;
}

DWORD FindProcess(const std::string& image) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  DWORD found = 0;
  for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
    if (_stricmp(e.szExeFile, image.c_str()) == 0) found = e.th32ProcessID;
  CloseHandle(snap);
  return found;
}

bool Running(HANDLE p) { return WaitForSingleObject(p, 0) == WAIT_TIMEOUT; }

int Watch(const std::string& image, double seconds, double warmup, Csv& csv) {
  DWORD pid = 0;
  for (int i = 0; i < 600 && !(pid = FindProcess(image)); ++i) Sleep(200);
  HANDLE p = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE |
                                   PROCESS_TERMINATE,
                               FALSE, pid)
                 : nullptr;
  if (!p) {
    std::printf("%s: no process %s\n", csv.label.c_str(), image.c_str());
    return 3;
  }
  const double start = Now();
  std::vector<Sample> after;
  while (Now() - start < seconds && Running(p)) {
    Sample s = Take(p);
    s.seconds -= start;
    csv.Write(s);
    if (s.seconds >= warmup) after.push_back(s);
    Sleep(1000);
  }
  const bool ended = !Running(p);
  TerminateProcess(p, 0);
  WaitForSingleObject(p, 10000);
  CloseHandle(p);
  if (ended) {
    std::printf("%s: the process ended by itself after %.0f s\n", csv.label.c_str(), Now() - start);
    return 3;
  }
  if (after.size() < 10) {
    std::printf("%s: too few samples after warm-up (%zu)\n", csv.label.c_str(), after.size());
    return 3;
  }
  const size_t fifth = after.size() / 5;
  return Verdict(csv.label, MedianOf({after.begin(), after.begin() + long(fifth)}),
                 MedianOf({after.end() - long(fifth), after.end()}));
}

// --- the scripted session -------------------------------------------------------------

struct Session {
  PROCESS_INFORMATION pi{};
  HWND main = nullptr;
  Csv& csv;
  double start = 0;
  std::string failure;
  bool expectBox = false;  // while a file dialog is awaited

  void Sample_() {
    Sample s = Take(pi.hProcess);
    s.seconds -= start;
    csv.Write(s);
  }
  // Waits for a condition, sampling every second while it waits; false after `ms`.
  // The text of a message box the builder shows (a dialog with a static text and an OK
  // button but no file name box), if one is up: the session did not expect it.
  std::string BoxText() const {
    HWND box = Window("#32770", nullptr);
    if (!box || FileNameBox(box)) return {};
    // The longest static text in it: the box's message (its number differs between
    // Windows and Wine).
    std::string longest;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
          char c[32] = {}, text[512] = {};
          GetClassNameA(w, c, sizeof c);
          if (_stricmp(c, "Static") != 0) return TRUE;
          GetWindowTextA(w, text, sizeof text);
          auto& longest = *reinterpret_cast<std::string*>(p);
          if (std::strlen(text) > longest.size()) longest = text;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&longest));
    return longest;
  }
  template <class F>
  bool WaitFor(F done, int ms) {
    double last = Now();
    for (int waited = 0; waited < ms; waited += 100) {
      if (done()) return true;
      if (!Running(pi.hProcess)) return false;
      if (!expectBox && waited % 1000 == 0) {
        if (std::string box = BoxText(); !box.empty()) {
          failure = "the builder says \"" + box + "\"";
          return false;
        }
      }
      Sleep(100);
      if (Now() - last >= 1.0) {
        Sample_();
        last = Now();
      }
    }
    return done();
  }
  bool Pause(int ms) {
    WaitFor([] { return false; }, ms);
    return Running(pi.hProcess);
  }
  // A visible top-level window of the builder with this class (or any) and title (or any).
  HWND Window(const char* cls, const char* title) const {
    return prismora::bench::VisibleWindowOf(pi.dwProcessId, cls, title);
  }
  HWND Child(HWND parent, int id, const char* cls = nullptr) const {
    struct Search {
      int id;
      const char* cls;
      HWND found = nullptr;
    } s{id, cls};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
          auto& s = *reinterpret_cast<Search*>(p);
          char c[32] = {};
          GetClassNameA(w, c, sizeof c);
          if (GetDlgCtrlID(w) != s.id || (s.cls && _stricmp(c, s.cls) != 0)) return TRUE;
          s.found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
  }
  // The file name box of a file dialog: the edit field inside the combo box cmb13 (Wine
  // gives it the combo's number, inside a ComboBoxEx32 inside the combo), or the edit
  // field edt1, wherever the dialog's layout put them.
  HWND FileNameBox(HWND dialog) const {
    if (HWND edit = Child(dialog, 0x47C, "Edit")) return edit;
    if (HWND combo = Child(dialog, 0x47C, "ComboBox"))
      if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
    return Child(dialog, 0x480, "Edit");
  }
  bool Fail(const std::string& what) {
    if (failure.empty()) failure = what;
    return false;
  }
  // Types a file name into a file dialog of this title and confirms it.
  bool AnswerFileDialog(const char* title, const std::string& path) {
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = Window("#32770", title)) != nullptr; }, 180000))
      return Fail(std::string("no ") + title + " dialog");
    expectBox = true;
    Pause(500);
    HWND name = FileNameBox(dialog);
    if (!name) {
      std::string seen;
      EnumChildWindows(
          dialog,
          [](HWND w, LPARAM p) CALLBACK -> BOOL {
            char c[32] = {};
            GetClassNameA(w, c, sizeof c);
            std::string& seen = *reinterpret_cast<std::string*>(p);
            seen.append(" ").append(c).append("#").append(std::to_string(GetDlgCtrlID(w)));
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&seen));
      return Fail(std::string("no file name box in the ") + title + " dialog; it holds" + seen);
    }
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK)));
    const bool closed = WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 60000);
    expectBox = false;
    if (!closed) return Fail(std::string("the ") + title + " dialog stayed");
    return true;
  }
  void Command(int id) { PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  bool Round(const std::vector<std::string>& photos, const std::string& setup, int round) {
    for (const std::string& photo : photos) {
      Command(kAddPhotos);
      if (!AnswerFileDialog("Open", photo)) return false;
      if (!Pause(1500)) return Fail("the builder ended while adding photos");
    }
    HWND combo = Child(main, kTemplateCombo);
    if (!combo) return Fail("no template list");
    const int templates = std::min<int>(6, int(SendMessageA(combo, CB_GETCOUNT, 0, 0)));
    for (int n = 0; n < templates; ++n) {
      SendMessageA(combo, CB_SETCURSEL, WPARAM(n), 0);
      PostMessageA(main, WM_COMMAND, MAKEWPARAM(kTemplateCombo, CBN_SELCHANGE), LPARAM(combo));
      if (!Pause(6000)) return Fail("the builder ended while previewing");
    }
    const std::string destination = setup + std::to_string(round % 2) + ".exe";
    DeleteFileA(destination.c_str());
    Command(kBuild);
    if (!AnswerFileDialog("Save As", destination)) return false;
    HWND finish = nullptr;
    if (!WaitFor([&] { return (finish = Window(nullptr, "Finish")) != nullptr; }, 180000))
      return Fail("no finish window after the build");
    if (GetFileAttributesA(destination.c_str()) == INVALID_FILE_ATTRIBUTES)
      return Fail("no setup program at " + destination);
    PostMessageA(finish, WM_CLOSE, 0, 0);
    Command(kRemoveAll);
    return Pause(3000);
  }
};

std::vector<std::string> Lines(const std::string& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    while (!l.empty() && (l.back() == '\r' || l.back() == ' ')) l.pop_back();
    if (!l.empty()) lines.push_back(l);
  }
  return lines;
}

using Kinds = std::map<std::string, int>;

std::string KindsChanged(const Kinds& first, const Kinds& last) {
  std::string changed;
  for (const auto& [kind, n] : last) {
    const auto was = first.find(kind);
    const int before = was == first.end() ? 0 : was->second;
    if (n != before) changed += " " + kind + " " + std::to_string(before) + " -> " + std::to_string(n);
  }
  return changed.empty() ? " none" : changed;
}

// Per kind of handle, how many one round of bare file dialogs leaves open.
std::map<std::string, double> ReadAllowance(const std::string& file) {
  std::map<std::string, double> perRound;
  std::ifstream in(file);
  std::string kind;
  for (double n; in >> kind >> n;) perRound[kind] = n;
  return perRound;
}

// The session's dialogs without the builder: the answers come from a second thread, as
// the session's come from another process.
int RunBareDialogs(const std::string& photoList, const std::string& setup, int rounds, const std::string& out,
                   Csv& csv) {
  const std::vector<std::string> photos = Lines(photoList);
  if (photos.empty() || rounds < 2) return 2;
  Session s{.csv = csv};
  s.pi.hProcess = GetCurrentProcess();
  s.pi.dwProcessId = GetCurrentProcessId();
  struct Script {
    Session* s;
    std::vector<std::string> answers;
    bool failed = false;
  } script{&s};
  for (int r = 0; r < rounds; ++r) {
    for (const std::string& p : photos) script.answers.push_back(p);
    script.answers.push_back(setup + "-bare.exe");
  }
  const size_t perRound = photos.size() + 1;
  HANDLE answerer = CreateThread(
      nullptr, 0,
      [](void* p) CALLBACK -> DWORD {
        auto& sc = *static_cast<Script*>(p);
        for (size_t i = 0; i < sc.answers.size() && !sc.failed; ++i) {
          const char* title = sc.answers[i].ends_with("-bare.exe") ? "Save As" : "Open";
          if (!sc.s->AnswerFileDialog(title, sc.answers[i])) sc.failed = true;
        }
        return 0;
      },
      &script, 0, nullptr);
  Kinds first, last;
  for (size_t i = 0; i < script.answers.size() && !script.failed; ++i) {
    char buffer[MAX_PATH * 4] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = sizeof buffer;
    ofn.lpstrFilter = "All files\0*.*\0";
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if ((i + 1) % perRound == 0) {
      ofn.lpstrDefExt = "exe";
      GetSaveFileNameA(&ofn);
      // The first round warms up what the platform keeps once (its caches, the shell's
      // folders); the rounds after it show what each dialog adds.
      if (i + 1 == perRound) first = prismora::bench::HandleKinds(GetCurrentProcess(), 4096);
    } else {
      ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
      GetOpenFileNameA(&ofn);
    }
  }
  last = prismora::bench::HandleKinds(GetCurrentProcess(), 4096);
  WaitForSingleObject(answerer, 60000);
  CloseHandle(answerer);
  if (script.failed) {
    std::printf("bare file dialogs: %s\n", s.failure.c_str());
    return 3;
  }
  std::FILE* f = std::fopen(out.c_str(), "w");
  if (!f) return 2;
  for (const auto& [kind, n] : last) {
    const auto was = first.find(kind);
    const int grown = n - (was == first.end() ? 0 : was->second);
    if (grown > 0) std::fprintf(f, "%s %.3f\n", kind.c_str(), double(grown) / (rounds - 1));
  }
  std::fclose(f);
  std::printf("bare file dialogs: %d rounds of %zu; handle kinds that changed after the first:%s\n", rounds, perRound,
              KindsChanged(first, last).c_str());
  return 0;
}

int RunSession(const std::string& builder, const std::string& project, const std::string& photoList,
               const std::string& setup, double seconds, double warmup, Csv& csv,
               const std::map<std::string, double>& allowance) {
  const std::vector<std::string> photos = Lines(photoList);
  Session s{.csv = csv};
  std::string cmd = "\"" + builder + "\" \"" + project + "\"";
  const std::string folder = builder.substr(0, builder.find_last_of('\\') + 1);
  // The compiler the builds start writes its progress to the console: not into the report.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = si.hStdError = nul;
  const BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &s.pi);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    std::printf("%s: the builder could not be started\n", csv.label.c_str());
    return 3;
  }
  s.start = Now();
  if (!s.WaitFor([&] { return (s.main = s.Window(nullptr, "Prismora Builder")) != nullptr; }, 120000)) {
    std::printf("%s: the builder's window did not appear\n", csv.label.c_str());
    TerminateProcess(s.pi.hProcess, 1);
    return 3;
  }
  std::vector<Sample> roundEnds;
  Kinds firstKinds, lastKinds;
  int round = 0;
  bool ok = true;
  while (Now() - s.start < seconds) {
    if (!(ok = s.Round(photos, setup, round))) break;
    Sample end = Take(s.pi.hProcess);
    end.seconds -= s.start;
    std::printf("%s: round %d done at %.0f s\n", csv.label.c_str(), round + 1, end.seconds);
    std::fflush(stdout);
    if (end.seconds >= warmup) {
      roundEnds.push_back(end);
      lastKinds = prismora::bench::HandleKinds(s.pi.hProcess, 4096);
      if (roundEnds.size() == 1) firstKinds = lastKinds;
    }
    ++round;
  }
  int status = 0;
  if (!ok) {
    std::printf("%s: round %d: %s\n", csv.label.c_str(), round + 1, s.failure.c_str());
    status = 3;
  } else if (roundEnds.size() < 2) {
    std::printf("%s: too few rounds after warm-up (%zu)\n", csv.label.c_str(), roundEnds.size());
    status = 3;
  } else {
    // Which kinds of handle changed, to tell whose code holds them.
    std::printf("%s: %d rounds; handle kinds that changed:%s\n", csv.label.c_str(), round,
                KindsChanged(firstKinds, lastKinds).c_str());
    // What the same dialogs cost without the builder is the platform's, not a leak of ours:
    // judged net of it, kind by kind, never more than the kind grew.
    Sample end = roundEnds.back();
    const double judged = double(roundEnds.size() - 1);
    long platform = 0;
    for (const auto& [kind, perRound] : allowance) {
      const long grown = lastKinds[kind] - firstKinds[kind];
      platform += std::clamp(long(perRound * judged + 0.5), 0L, std::max(grown, 0L));
    }
    if (platform > 0) {
      std::printf("%s: %ld of the handles gained are the platform's file dialogs' (the bare dialogs' cost "
                  "over %.0f rounds); judged without them\n",
                  csv.label.c_str(), platform, judged);
      end.handles -= platform;
    }
    status = Verdict(csv.label, roundEnds.front(), end);
  }
  PostMessageA(s.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(s.pi.hProcess, 30000) != WAIT_OBJECT_0) {
    std::printf("%s: the builder did not close\n", csv.label.c_str());
    TerminateProcess(s.pi.hProcess, 1);
    status = 3;
  }
  CloseHandle(s.pi.hProcess);
  CloseHandle(s.pi.hThread);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "watch" && argc == 7) {
    std::FILE* f = std::fopen(argv[5], "a");
    if (!f) return 2;
    Csv csv{f, argv[6]};
    const int r = Watch(argv[2], std::atof(argv[3]), std::atof(argv[4]), csv);
    std::fclose(f);
    return r;
  }
  if (mode == "session" && (argc == 9 || argc == 10)) {
    std::FILE* f = std::fopen(argv[8], "a");
    if (!f) return 2;
    Csv csv{f, "builder"};
    const auto allowance = argc == 10 ? ReadAllowance(argv[9]) : std::map<std::string, double>{};
    const int r =
        RunSession(argv[2], argv[3], argv[4], argv[5], std::atof(argv[6]), std::atof(argv[7]), csv, allowance);
    std::fclose(f);
    return r;
  }
  if (mode == "dialogs" && argc == 7) {
    std::FILE* f = std::fopen(argv[5], "a");
    if (!f) return 2;
    Csv csv{f, "bare-dialogs"};
    const int r = RunBareDialogs(argv[2], argv[3], std::atoi(argv[4]), argv[6], csv);
    std::fclose(f);
    return r;
  }
  std::fprintf(stderr,
               "usage: soak_probe watch IMAGE SECONDS WARMUP CSV LABEL\n"
               "       soak_probe session BUILDER PROJECT PHOTOS SETUP SECONDS WARMUP CSV [ALLOWANCE]\n"
               "       soak_probe dialogs PHOTOS SETUP ROUNDS CSV ALLOWANCE\n");
  return 2;
}
