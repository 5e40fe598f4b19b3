// Windows side of the copy benchmark: makes the test tree, times the engine, a bare
// FindFirstFileExW + CopyFileExW loop, a pool of threads calling CopyFileExW and a bare
// FindFirstFileExW + CreateHardLinkW loop, reads backups back against their manifests as /verify
// does and with a bare FindFirstFileExW + ReadFile + CNG SHA-256 loop, measures how long the
// window's thread takes to answer during a copy, and checks a copy against its source.
//   tessaline_bench generate <dir> <small files> <big files> <big MB>
//   tessaline_bench engine <source> <destination> [writer threads]
//   tessaline_bench unhashed <source> <destination>
//   tessaline_bench snapshot <source> <destination> <earlier backup to link to, or ->
//   tessaline_bench bare <source> <destination>
//   tessaline_bench links <earlier backup> <destination>
//   tessaline_bench pool <threads> <source> <destination>
//   tessaline_bench responsive <source> <destination>
//   tessaline_bench verify <source> <copy> <compare every n-th file>
//   tessaline_bench readloop <folder>
//   tessaline_bench verifybackups <destination> <backup folder name>...
// Each command prints one line of key=value pairs.
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backup/entry_manifest.h"
#include "backup/manifest_file.h"
#include "backup/read_back.h"
#include "backup/verify.h"
#include "copy/copy_tree.h"
#include "win32/handles.h"
#include "win32/long_path.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win32/win_sha256.h"

namespace {

using tess::win32::FileHandle;
using tess::win32::FindHandle;
using tess::win32::JoinPath;
using tess::win32::LongPath;

constexpr int kFilesPerFolder = 50;
constexpr int kFoldersPerGroup = 10;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::uint64_t PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

// What a busy window would do between files: run whatever is queued.
void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct Random {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  std::uint64_t Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
  }
};

bool WriteRandomFile(const std::wstring& path, std::uint64_t size, Random& random,
                     std::vector<std::uint64_t>& block) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (size > 0) {
    const std::uint64_t chunk = std::min<std::uint64_t>(size, block.size() * 8);
    for (size_t i = 0; i < (chunk + 7) / 8; ++i) block[i] = random.Next();
    DWORD written = 0;
    if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(chunk), &written, nullptr)) {
      return false;
    }
    size -= chunk;
  }
  return true;
}

int Generate(const std::string& dir, int small_files, int big_files, int big_mb) {
  const std::wstring root = LongPath(dir);
  CreateDirectoryW(root.c_str(), nullptr);
  Random random;
  std::vector<std::uint64_t> block(1 << 17);  // 1 MB
  int made = 0;
  for (int group = 0; made < small_files; ++group) {
    const std::wstring group_dir = JoinPath(root, L"group" + std::to_wstring(group));
    CreateDirectoryW(group_dir.c_str(), nullptr);
    for (int folder = 0; folder < kFoldersPerGroup && made < small_files; ++folder) {
      const std::wstring leaf = JoinPath(group_dir, L"folder" + std::to_wstring(folder));
      CreateDirectoryW(leaf.c_str(), nullptr);
      for (int i = 0; i < kFilesPerFolder && made < small_files; ++i, ++made) {
        const std::uint64_t size = 1024 + random.Next() % (7 * 1024 + 1);
        if (!WriteRandomFile(JoinPath(leaf, L"file" + std::to_wstring(i) + L".dat"), size, random,
                             block)) {
          std::printf("error=cannot-write\n");
          return 1;
        }
      }
    }
  }
  if (big_files > 0) {
    const std::wstring big_dir = JoinPath(root, L"big");
    CreateDirectoryW(big_dir.c_str(), nullptr);
    for (int i = 0; i < big_files; ++i) {
      if (!WriteRandomFile(JoinPath(big_dir, L"video" + std::to_wstring(i) + L".bin"),
                           static_cast<std::uint64_t>(big_mb) << 20, random, block)) {
        std::printf("error=cannot-write\n");
        return 1;
      }
    }
  }
  std::printf("small=%d big=%d\n", made, big_files);
  return 0;
}

// workers 0: the program's own CopyFolder; otherwise the engine with that many writer threads.
// link_from: an earlier backup whose current files are linked to, as a stamped run does. Like a
// run, and through the run's own EntryManifest, it hashes every file it writes and then writes
// the destination's manifest beside it, taking the lines of linked files from the earlier
// backup's; hashed false: neither.
int Engine(const std::string& source, const std::string& destination, int workers,
           const std::string& link_from = {}, bool hashed = true) {
  tess::win32::WinFileSystem files;
  tess::win32::WinSha256 hash;
  // The program's window has long had its message queue when a backup starts, so the
  // queue's one-time set-up is not part of the copy.
  const double queue_start = Now();
  PumpMessages();
  const double queue_setup = Now() - queue_start;
  const double start = Now();
  tess::CopyOutcome out;
  tess::CopySettings settings;
  settings.yield = PumpMessages;
  settings.workers = workers;
  settings.link_from = link_from;
  const auto tag = static_cast<std::uint64_t>(Now() * 1e6);
  tess::EntryManifest manifest(files, hash, destination + ".sha256", link_from, tag);
  if (hashed) settings.hashes = manifest.Hashes();
  out = tess::CopyTree(files, source, destination, settings);
  tess::ManifestLines lines;
  if (hashed) {
    const std::string failed = manifest.Write({source, "", "", "", out.Complete()}, tag);
    if (!failed.empty()) std::printf("manifest=%s\n", failed.c_str());
    lines = manifest.TakeWritten();
  }
  // As a run does after each copy: a share of the folder read back against its manifest, the
  // position going on from the previous run's (kept beside the source here, since every round
  // copies into a destination of its own).
  const double read_back_start = Now();
  tess::ReadBackResult read_back;
  if (hashed) {
    tess::ReadBackPlace place;
    place.lines = std::move(lines);
    files.FullPath(destination, &place.folder);
    files.FullPath(source, &place.source);
    std::string text;
    tess::ReadSmallFile(files, source + ".position", 4096, &text);
    tess::EntryReadBack kept = tess::ReadReadBackState(text)[source];
    tess::ReadBack reader(files, hash, PumpMessages);
    read_back = reader.Run(place, out.bytes_seen, kept.position, kept.bytes_ahead);
    kept.position = read_back.position;
    kept.bytes_ahead = read_back.bytes_ahead;
    text = tess::ReadBackStateText({{source, kept}});
    files.Delete(source + ".position");
    std::unique_ptr<tess::OpenFile> file;
    if (!files.CreateExclusive(source + ".position", 0, &file).Failed()) {
      file->Write(text.data(), text.size());
    }
  }
  const double read_back_seconds = Now() - read_back_start;
  const double seconds = Now() - start;
  std::printf(
      "seconds=%.3f copied=%llu skipped=%llu linked=%llu failed=%llu folders_failed=%llu "
      "peak=%llu queue_setup=%.3f read_back=%.3f read_back_files=%llu read_back_bytes=%llu "
      "read_back_findings=%zu\n",
      seconds, static_cast<unsigned long long>(out.files_copied),
      static_cast<unsigned long long>(out.files_skipped),
      static_cast<unsigned long long>(out.files_linked),
      static_cast<unsigned long long>(out.files_failed),
      static_cast<unsigned long long>(out.folders_failed),
      static_cast<unsigned long long>(PeakWorkingSet()), queue_setup, read_back_seconds,
      static_cast<unsigned long long>(read_back.files),
      static_cast<unsigned long long>(read_back.copy_bytes + read_back.source_bytes),
      read_back.findings.size());
  if (!out.Complete()) {
    std::printf("first_failure=%s reason=%s\n", out.first_failure_path.c_str(),
                out.first_failure_reason.c_str());
    return 1;
  }
  return 0;
}

// The bare loops: one FindFirstFileExW walk of a tree, folders made on the way, and one call
// per file on this thread, with nothing compared. `put` gives a file its place in the target.
using PutFile = BOOL (*)(const std::wstring& from, const std::wstring& to);

void BareWalk(const std::wstring& source, const std::wstring& target, PutFile put,
              std::uint64_t* files, std::uint64_t* failed) {
  CreateDirectoryW(target.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(JoinPath(source, L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareWalk(JoinPath(source, name), JoinPath(target, name), put, files, failed);
    } else if (put(JoinPath(source, name), JoinPath(target, name))) {
      ++*files;
    } else {
      ++*failed;
    }
  } while (FindNextFileW(find.get(), &found));
}

// The single-threaded copy loop, and the Win32 floor of a linked run: every file of an earlier
// backup given a second name in a new folder.
BOOL CopyOne(const std::wstring& from, const std::wstring& to) {
  return CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, 0);
}
BOOL LinkOne(const std::wstring& from, const std::wstring& to) {
  return CreateHardLinkW(to.c_str(), from.c_str(), nullptr);
}

int Bare(const std::string& source, const std::string& destination, PutFile put, const char* done) {
  std::uint64_t files = 0;
  std::uint64_t failed = 0;
  const double start = Now();
  BareWalk(LongPath(source), LongPath(destination), put, &files, &failed);
  const double seconds = Now() - start;
  std::printf("seconds=%.3f %s=%llu failed=%llu peak=%llu\n", seconds, done,
              static_cast<unsigned long long>(files), static_cast<unsigned long long>(failed),
              static_cast<unsigned long long>(PeakWorkingSet()));
  return failed == 0 ? 0 : 1;
}

// The walk first, folders made on the way, then threads taking the files one by one.
void ListFiles(const std::wstring& source, const std::wstring& target,
               std::vector<std::pair<std::wstring, std::wstring>>* files) {
  CreateDirectoryW(target.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(JoinPath(source, L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(JoinPath(source, name), JoinPath(target, name), files);
    } else {
      files->emplace_back(JoinPath(source, name), JoinPath(target, name));
    }
  } while (FindNextFileW(find.get(), &found));
}

int Pool(int threads, const std::string& source, const std::string& destination) {
  const double start = Now();
  std::vector<std::pair<std::wstring, std::wstring>> files;
  ListFiles(LongPath(source), LongPath(destination), &files);
  std::atomic<size_t> next{0};
  std::atomic<std::uint64_t> failed{0};
  std::vector<std::thread> pool;
  for (int i = 0; i < threads; ++i) {
    pool.emplace_back([&] {
      for (size_t at = next++; at < files.size(); at = next++) {
        if (!CopyFileExW(files[at].first.c_str(), files[at].second.c_str(), nullptr, nullptr,
                         nullptr, 0)) {
          ++failed;
        }
      }
    });
  }
  for (std::thread& thread : pool) thread.join();
  const double seconds = Now() - start;
  std::printf("seconds=%.3f copied=%llu failed=%llu peak=%llu\n", seconds,
              static_cast<unsigned long long>(files.size() - failed.load()),
              static_cast<unsigned long long>(failed.load()),
              static_cast<unsigned long long>(PeakWorkingSet()));
  return failed == 0 ? 0 : 1;
}

// A window on this thread that answers a probe, and a second thread that sends it a probe every
// few milliseconds while the engine copies, as another program (or the shell) would: the
// longest wait for an answer is how long the window stops responding.
LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_APP) return 1;
  return DefWindowProcW(window, message, wparam, lparam);
}

int Responsive(const std::string& source, const std::string& destination) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ProbeWindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"TessalineBenchProbe";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"probe", 0, 0, 0, 0, 0,
                                HWND_MESSAGE, nullptr, window_class.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("error=no-window\n");
    return 1;
  }
  PumpMessages();
  std::atomic<bool> done{false};
  std::atomic<bool> prober_finished{false};
  double longest = 0;
  std::uint64_t probes = 0;
  std::thread prober([&] {
    while (!done.load()) {
      const double sent = Now();
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 10000, &answer);
      longest = std::max(longest, Now() - sent);
      ++probes;
      Sleep(5);
    }
    prober_finished.store(true);
  });
  tess::win32::WinFileSystem files;
  const double start = Now();
  tess::CopySettings settings;
  settings.yield = PumpMessages;
  const tess::CopyOutcome out = tess::CopyTree(files, source, destination, settings);
  const double seconds = Now() - start;
  done.store(true);
  // The last probe may be waiting for this thread.
  while (!prober_finished.load()) {
    PumpMessages();
    Sleep(1);
  }
  prober.join();
  DestroyWindow(window);
  std::printf("seconds=%.3f copied=%llu failed=%llu longest_ms=%.1f probes=%llu\n", seconds,
              static_cast<unsigned long long>(out.files_copied),
              static_cast<unsigned long long>(out.files_failed), longest * 1000,
              static_cast<unsigned long long>(probes));
  return out.Complete() ? 0 : 1;
}

struct Check {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t compared = 0;
  std::uint64_t problems = 0;
  int every = 100;
  std::vector<char> a = std::vector<char>(1 << 20);
  std::vector<char> b = std::vector<char>(1 << 20);
};

bool SameContent(const std::wstring& x, const std::wstring& y, Check& check) {
  FileHandle fx(CreateFileW(x.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FileHandle fy(CreateFileW(y.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!fx || !fy) return false;
  for (;;) {
    DWORD gx = 0, gy = 0;
    if (!ReadFile(fx.get(), check.a.data(), static_cast<DWORD>(check.a.size()), &gx, nullptr) ||
        !ReadFile(fy.get(), check.b.data(), static_cast<DWORD>(check.b.size()), &gy, nullptr)) {
      return false;
    }
    if (gx != gy || std::memcmp(check.a.data(), check.b.data(), gx) != 0) return false;
    if (gx == 0) return true;
  }
}

void VerifyFolder(const std::wstring& source, const std::wstring& copy, Check& check) {
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(JoinPath(source, L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    ++check.problems;
    return;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring from = JoinPath(source, name);
    const std::wstring to = JoinPath(copy, name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      VerifyFolder(from, to, check);
      continue;
    }
    ++check.files;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    check.bytes += size;
    WIN32_FILE_ATTRIBUTE_DATA have;
    if (!GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &have) ||
        ((static_cast<std::uint64_t>(have.nFileSizeHigh) << 32) | have.nFileSizeLow) != size) {
      if (++check.problems <= 5) std::printf("mismatch=%s\n", tess::win32::DisplayPath(to).c_str());
      continue;
    }
    // Every big file and a sample of the small ones are compared byte for byte.
    if (size >= (1u << 20) || check.files % check.every == 0) {
      ++check.compared;
      if (!SameContent(from, to, check) && ++check.problems <= 5) {
        std::printf("content-differs=%s\n", tess::win32::DisplayPath(to).c_str());
      }
    }
  } while (FindNextFileW(find.get(), &found));
}

std::uint64_t CountFiles(const std::wstring& folder) {
  std::uint64_t count = 0;
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return 0;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                 ? CountFiles(JoinPath(folder, name))
                 : 1;
  } while (FindNextFileW(find.get(), &found));
  return count;
}

int Verify(const std::string& source, const std::string& copy, int every) {
  Check check;
  check.every = every > 0 ? every : 100;
  VerifyFolder(LongPath(source), LongPath(copy), check);
  // Nothing more either: no temporary file left behind.
  const std::uint64_t in_copy = CountFiles(LongPath(copy));
  if (in_copy != check.files) {
    ++check.problems;
    std::printf("copy-holds=%llu\n", static_cast<unsigned long long>(in_copy));
  }
  std::printf("files=%llu bytes=%llu compared=%llu problems=%llu\n",
              static_cast<unsigned long long>(check.files),
              static_cast<unsigned long long>(check.bytes),
              static_cast<unsigned long long>(check.compared),
              static_cast<unsigned long long>(check.problems));
  return check.problems == 0 && check.files > 0 ? 0 : 1;
}

// The floor of reading a backup back: one walk, and every file opened, read in 1 MB steps and
// hashed with CNG on this thread, with nothing compared.
struct ReadLoop {
  tess::win32::WinSha256 hash;
  std::vector<char> buffer = std::vector<char>(1 << 20);
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t failed = 0;
};

void ReadAndHash(const std::wstring& folder, ReadLoop& loop) {
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = JoinPath(folder, name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ReadAndHash(path, loop);
      continue;
    }
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    std::unique_ptr<tess::HashRun> run = loop.hash.Start();
    if (!file || !run) {
      ++loop.failed;
      continue;
    }
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.get(), loop.buffer.data(), static_cast<DWORD>(loop.buffer.size()), &got,
                    nullptr) ||
          got == 0) {
        break;
      }
      run->Add(loop.buffer.data(), got);
      loop.bytes += got;
    }
    tess::Sha256Digest digest{};
    if (run->Finish(&digest)) ++loop.files;
  } while (FindNextFileW(find.get(), &found));
}

int ReadLoopOver(const std::string& folder) {
  ReadLoop loop;
  const double start = Now();
  ReadAndHash(LongPath(folder), loop);
  std::printf("seconds=%.3f files=%llu bytes=%llu failed=%llu\n", Now() - start,
              static_cast<unsigned long long>(loop.files),
              static_cast<unsigned long long>(loop.bytes),
              static_cast<unsigned long long>(loop.failed));
  return loop.failed == 0 ? 0 : 1;
}

// What /verify does for the named backup folders of one destination, each beside its manifest.
int VerifyBackups(const std::string& destination, const std::vector<std::string>& names) {
  tess::win32::WinFileSystem files;
  tess::win32::WinSha256 hash;
  const double start = Now();
  tess::BackupVerifier verifier(files, hash, 2);
  std::vector<tess::VerifyFinding> findings;
  for (const std::string& name : names) {
    verifier.Check(destination + "\\" + name + ".sha256", destination + "\\" + name, &findings);
  }
  const tess::VerifyTotals& totals = verifier.Totals();
  std::printf("seconds=%.3f files=%llu folders=%llu bytes=%llu findings=%llu\n", Now() - start,
              static_cast<unsigned long long>(totals.files),
              static_cast<unsigned long long>(totals.folders),
              static_cast<unsigned long long>(totals.bytes),
              static_cast<unsigned long long>(findings.size()));
  for (const tess::VerifyFinding& finding : findings) {
    std::printf("finding=%s\n", tess::FindingText(finding).c_str());
  }
  return findings.empty() && totals.files > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tess::win32::Narrow(argv[i]));
  try {
    if (args.size() == 5 && args[0] == "generate") {
      return Generate(args[1], std::stoi(args[2]), std::stoi(args[3]), std::stoi(args[4]));
    }
    if (args.size() == 3 && args[0] == "engine") return Engine(args[1], args[2], 0);
    if (args.size() == 3 && args[0] == "unhashed") return Engine(args[1], args[2], 0, {}, false);
    if (args.size() == 4 && args[0] == "engine") {
      return Engine(args[1], args[2], std::stoi(args[3]));
    }
    if (args.size() == 4 && args[0] == "snapshot") {
      return Engine(args[1], args[2], 0, args[3] == "-" ? std::string() : args[3]);
    }
    if (args.size() == 3 && args[0] == "bare") return Bare(args[1], args[2], CopyOne, "copied");
    if (args.size() == 3 && args[0] == "links") return Bare(args[1], args[2], LinkOne, "linked");
    if (args.size() == 4 && args[0] == "pool") return Pool(std::stoi(args[1]), args[2], args[3]);
    if (args.size() == 3 && args[0] == "responsive") return Responsive(args[1], args[2]);
    if (args.size() == 4 && args[0] == "verify")
      return Verify(args[1], args[2], std::stoi(args[3]));
    if (args.size() == 2 && args[0] == "readloop") return ReadLoopOver(args[1]);
    if (args.size() >= 3 && args[0] == "verifybackups") {
      return VerifyBackups(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
  } catch (const std::exception& e) {
    std::printf("error=%s\n", e.what());
    return 1;
  }
  std::fprintf(
      stderr,
      "usage: tessaline_bench generate|engine|unhashed|snapshot|bare|links|pool|responsive|verify|"
      "readloop|verifybackups "
      "...\n");
  return 2;
}
