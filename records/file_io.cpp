#include "records/file_io.h"

#include <fcntl.h>
#include <dirent.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#ifdef __EMSCRIPTEN__
#include <emscripten/em_asm.h>
#endif

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <ctime>
#include <system_error>

#include "records/input_error.h"
#include "records/problem.h"

namespace dosavia {

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    std::string_view line =
        content.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

namespace {

// What a non-regular file is, for the reports.
FileType TypeOfFile(mode_t mode) {
  if (S_ISDIR(mode)) return FileType::kDirectory;
  if (S_ISFIFO(mode)) return FileType::kPipe;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileType::kDevice;
  if (S_ISSOCK(mode)) return FileType::kSocket;
  return FileType::kSpecial;
}

// The start of every temporary name of a target: hidden, and the target's name after it.
std::string TemporaryPrefix(std::string_view target_name) {
  return "." + std::string(target_name) + ".";
}
// mkstemp fills the six X with letters and digits.
constexpr std::string_view kTemporarySuffix = "XXXXXX";

[[noreturn]] void ThrowWriteError(ProblemKind kind, const std::string& path, int err) {
  throw WriteError(Problem(kind).In(path).WithSystemError(err));
}

// Writes all of `content` to `fd`; 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Closes a descriptor and removes the temporary file unless the write went through.
class TemporaryFile {
 public:
  TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  // Closes the descriptor; false (errno set) when the last writes failed on close.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Keep() { kept_ = true; }

 private:
  int fd_;
  std::string path_;
  bool kept_ = false;
};

// A temporary file younger than this may belong to a writer that has just made it and not
// yet locked it [s].
constexpr std::time_t kStaleTemporaryAge = 60;

// The user the process acts as; Node's under WebAssembly, whose C library answers root.
unsigned EffectiveUser() {
#ifdef __EMSCRIPTEN__
  return static_cast<unsigned>(EM_ASM_INT({
    return typeof process == 'object' && typeof process.geteuid == 'function' ? process.geteuid()
                                                                              : 0;
  }));
#else
  return static_cast<unsigned>(::geteuid());
#endif
}

// Removes the temporary files of `target_name` in `dir` that no writer holds (a writer keeps
// its file locked) and that are at least `min_age` [s] old: only names of the writer's own
// pattern. A write removes those a write killed half way left, older than a minute; a caller
// that holds the target's write lock removes them whatever their age.
void RemoveUnheldTemporaries(const std::string& dir, const std::string& target_name,
                             std::time_t min_age) {
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(d)) {
    const std::string name = entry->d_name;
    if (!IsTemporaryFileOf(name, target_name)) continue;
    const std::string path = dir + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        (min_age <= 0 || now - st.st_mtime >= min_age) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(d);
}

}  // namespace

std::string ReadWholeFile(const std::string& path, const std::string& display_name,
                          std::size_t max_bytes) {
#ifdef __EMSCRIPTEN__
  // Under Node the C library's open() drops O_NONBLOCK, and opening a FIFO would wait for a
  // writer for ever: what is not a regular file is refused before it is opened.
  if (struct stat before{}; ::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode))
    throw InputError(
        Problem(ProblemKind::kNotAFile).In(display_name).WithFileType(TypeOfFile(before.st_mode)));
#endif
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw InputError(Problem(ProblemKind::kCannotOpen).In(display_name));
  const auto read_failed = [&](int err) {
    return InputError(Problem(ProblemKind::kReadFailed).In(display_name).WithSystemError(err));
  };
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    throw read_failed(err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw InputError(
        Problem(ProblemKind::kNotAFile).In(display_name).WithFileType(TypeOfFile(st.st_mode)));
  }
  const auto too_large = [&] {
    return InputError(
        Problem(ProblemKind::kFileTooLarge).In(display_name).WithLimit(std::to_string(max_bytes)));
  };
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
    ::close(fd);
    throw too_large();
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      throw read_failed(err);
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > max_bytes) {  // a file that grows while it is read
      ::close(fd);
      throw too_large();
    }
  }
  ::close(fd);
  return content;
}

StagedFile::StagedFile(const std::string& path, std::string_view content) : path_(path) {
  namespace fs = std::filesystem;
  // Replace only a regular file or a new name. Renaming over a device, pipe or directory
  // would destroy it (a PNG in place of /dev/null); through a symbolic link, the file it
  // points to is replaced and the link kept.
  fs::path target(path);
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  bool replacing = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode))
      throw WriteError(
          Problem(ProblemKind::kWillNotReplace).In(path).WithFileType(TypeOfFile(st.st_mode)));
    replacing = true;
  }
  const mode_t replaced_mode = st.st_mode & 07777;
  target_ = target.string();

  // A fresh temporary name beside the target, created exclusively: it never takes over a
  // user's file, follows no link, and two writers of one name cannot share it.
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  RemoveUnheldTemporaries(dir.string(), target.filename().string(), kStaleTemporaryAge);
  std::string pattern =
      (dir / (TemporaryPrefix(target.filename().string()) + std::string(kTemporarySuffix)))
          .string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) ThrowWriteError(ProblemKind::kCannotCreateTemporary, path, errno);
  TemporaryFile temp(fd, pattern);
  // Locked while it is written, so that the next write of the target, which removes
  // temporary files a killed write left, never takes this one.
  ::flock(temp.fd(), LOCK_EX | LOCK_NB);
  // mkstemp makes the file private. A replaced file keeps its permissions (a result made
  // private stays private); a new one gets those of a plain new file.
  if (replacing) {
    ::fchmod(temp.fd(), replaced_mode);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(temp.fd(), 0666 & ~mask);
  }

  if (const int err = WriteAll(temp.fd(), content); err != 0)
    ThrowWriteError(ProblemKind::kCannotWrite, path, err);
  // On disk before the rename, so a crash leaves the old file or the whole new one.
  if (::fsync(temp.fd()) != 0) ThrowWriteError(ProblemKind::kCannotWrite, path, errno);
  if (!temp.Close()) ThrowWriteError(ProblemKind::kCannotWrite, path, errno);
  temp.Keep();
  temporary_ = temp.path();
}

StagedFile::~StagedFile() {
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void StagedFile::Commit() {
  if (temporary_.empty()) return;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0)
    ThrowWriteError(ProblemKind::kCannotRename, path_, errno);
  temporary_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
  StagedFile(path, content).Commit();
}

void CheckCanWrite(const std::string& path) {
  namespace fs = std::filesystem;
  // The file the writer will replace: through a link, the one it points to.
  fs::path target(path);
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode))
    throw WriteError(
        Problem(ProblemKind::kWillNotReplace).In(path).WithFileType(TypeOfFile(st.st_mode)));
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // The final rename must succeed too: in a sticky folder another user's file cannot be
  // replaced, and that would only show after every history had run.
  if (struct stat folder{};
      exists && ::stat(dir.c_str(), &folder) == 0 &&
      !StickyFolderAllowsReplace(folder.st_mode, folder.st_uid, st.st_uid, EffectiveUser()))
    throw WriteError(Problem(ProblemKind::kRenameWillBeRefused).In(path));
  std::string pattern =
      (dir / (TemporaryPrefix(target.filename().string()) + std::string(kTemporarySuffix)))
          .string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) ThrowWriteError(ProblemKind::kCannotCreateTemporary, path, errno);
  ::close(fd);
  ::unlink(pattern.c_str());
}

void WriteNewFile(const std::string& path, std::string_view content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) ThrowWriteError(ProblemKind::kCannotCreate, path, errno);
  int err = WriteAll(fd, content);
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(path.c_str());
    ThrowWriteError(ProblemKind::kCannotWrite, path, err);
  }
}

bool StickyFolderAllowsReplace(unsigned folder_mode, unsigned folder_owner, unsigned file_owner,
                               unsigned user) {
  return (folder_mode & S_ISVTX) == 0 || user == 0 || user == file_owner || user == folder_owner;
}

bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  // A new name: its folder resolved (links, "." and ".."), then the names compared.
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
  if (ec) return a == b;
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
  if (ec) return a == b;
  return pa == pb;
}

namespace {

// Whether flock locks at all: Emscripten's C library answers it without locking.
#ifdef __EMSCRIPTEN__
constexpr bool kFlockWorks = false;
#else
constexpr bool kFlockWorks = true;
#endif

// This process's number, as the lock file records it; Node's under WebAssembly, whose
// C library answers a fixed number.
long ProcessNumber() {
#ifdef __EMSCRIPTEN__
  return EM_ASM_INT({ return typeof process == 'object' ? process.pid : 0; });
#else
  return static_cast<long>(::getpid());
#endif
}

// Whether process `pid` still runs (one of another user counts).
bool ProcessRuns(long pid) {
  if (pid <= 0) return false;
#ifdef __EMSCRIPTEN__
  return EM_ASM_INT(
             {
               if (typeof process != 'object') return 0;
               try {
                 process.kill($0, 0);
                 return 1;
               } catch (e) {
                 return e.code == 'EPERM' ? 1 : 0;
               }
             },
             static_cast<int>(pid)) != 0;
#else
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

}  // namespace

std::string WriteLockName(std::string_view target_name) {
  return "." + std::string(target_name) + ".lock";
}

WriteLock::WriteLock(const std::string& target, const std::vector<std::string>& others) {
  namespace fs = std::filesystem;
  const fs::path t(target);
  const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
  path_ = (dir / WriteLockName(t.filename().string())).string();
  const auto held = [&] { return WriteError(Problem(ProblemKind::kRunGoesOn).In(target)); };
  // A lock file removed by its holder between our open and our lock is not the lock any
  // more: open again until the file locked is the one named.
  for (int attempt = 0;; ++attempt) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) ThrowWriteError(ProblemKind::kCannotCreate, path_, errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      throw held();
    }
    struct stat opened {
    }, named{};
    if (::fstat(fd, &opened) != 0 || ::stat(path_.c_str(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev) {
      ::close(fd);
      if (attempt < 8) continue;
      throw held();
    }
    // The holder's number: a process without flock (Node's WebAssembly, whose flock does
    // nothing) is seen by it. A holder that took the lock by flock is gone once flock has
    // given it to us, whatever process now has its number.
    char number[48] = {};
    const ssize_t n = ::pread(fd, number, sizeof number - 1, 0);
    char* end = number;
    const long holder = n > 0 ? std::strtol(number, &end, 10) : 0;
    const bool by_flock = kFlockWorks && std::string_view(end).starts_with(" flock");
    if (!by_flock && holder != ProcessNumber() && ProcessRuns(holder)) {
      ::close(fd);
      throw held();
    }
    const std::string own = std::to_string(ProcessNumber()) + (kFlockWorks ? " flock\n" : "\n");
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, own.data(), own.size(), 0) < 0) {
      const int err = errno;
      ::close(fd);
      ::unlink(path_.c_str());
      ThrowWriteError(ProblemKind::kCannotWrite, path_, err);
    }
    fd_ = fd;
    break;
  }
  RemoveUnheldTemporaries(dir.string(), t.filename().string(), 0);
  for (const std::string& other : others) RemoveUnheldTemporaries(dir.string(), other, 0);
}

void RemoveStaleWriteLock(const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path t(target);
  const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
  const std::string path = (dir / WriteLockName(t.filename().string())).string();
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  char number[48] = {};
  const ssize_t n = ::pread(fd, number, sizeof number - 1, 0);
  char* end = number;
  const long holder = n > 0 ? std::strtol(number, &end, 10) : 0;
  const bool by_flock = kFlockWorks && std::string_view(end).starts_with(" flock");
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && (by_flock || !ProcessRuns(holder)))
    ::unlink(path.c_str());
  ::close(fd);
}

WriteLock::~WriteLock() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

bool IsTemporaryFileOf(std::string_view name, std::string_view target_name) {
  const std::string prefix = TemporaryPrefix(target_name);
  if (target_name.empty() || name.size() != prefix.size() + kTemporarySuffix.size() ||
      name.substr(0, prefix.size()) != prefix)
    return false;
  for (const char c : name.substr(prefix.size()))
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

bool WrittenSince(const std::filesystem::path& path, std::filesystem::file_time_type since) {
  std::error_code ec;
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, ec);
  return !ec && modified >= since - kFileTimeSlack;
}

}  // namespace dosavia
