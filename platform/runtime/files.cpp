// File-system helpers over POSIX and std::filesystem, raising the language's file error numbers.
// Moves never overwrite: the rename itself refuses an existing target (RENAME_NOREPLACE), so
// two moves racing for one name cannot lose a file.
#include "platform/runtime/files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"

namespace runtime {
namespace {

namespace fs = std::filesystem;

bool StatOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }
bool Present(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Splits a native path into its folder ("." when none) and its last part.
void SplitLast(const std::string& path, std::string& folder, std::string& last) {
  const size_t slash = path.rfind('/');
  const std::string_view view(path);
  if (slash == std::string::npos) {
    folder.assign(".");
    last.assign(view);
  } else {
    folder.assign(slash == 0 ? view.substr(0, 1) : view.substr(0, slash));
    last.assign(view.substr(slash + 1));
  }
}

// The name of the entry of `folder` that is `name` ignoring letter case: the exact name when it
// exists, else the first such name in byte order; "" when there is none.
std::string EntryIgnoringCase(const std::string& folder, const std::string& name) {
  if (Present(Join(folder, name))) return name;
  std::string best;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (EqualIgnoringCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
  }
  return best;
}

// The path with each part spelled as it exists on disk, matching letters without regard to
// case as a Windows file system does; the unmatched rest is kept as given.
std::string Resolve(std::string_view path) {
  const std::string native = NativePath(path);
  if (native.empty() || Present(native)) return native;
  std::string current = native.front() == '/' ? "/" : "";
  size_t from = current.size();
  while (from < native.size()) {
    size_t slash = native.find('/', from);
    if (slash == std::string::npos) slash = native.size();
    const std::string part = native.substr(from, slash - from);
    from = slash + 1;
    if (part.empty()) continue;
    const std::string found = part == "." || part == ".." ? part : EntryIgnoringCase(current, part);
    if (found.empty()) return Join(current, native.substr(slash - part.size()));
    current = Join(current, found);
  }
  return current;
}

// The characters of a UTF-8 text, one string_view each.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    const size_t n = DecodeUtf8(text, i).length;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

// Wildcard match over characters, backtracking only to the last '*' seen (enough for * and ?).
bool Match(const std::vector<std::string_view>& name, const std::vector<std::string_view>& pattern) {
  size_t ni = 0, pi = 0;
  size_t star = std::string_view::npos, star_name = 0;
  while (ni < name.size()) {
    if (pi < pattern.size() && pattern[pi] == "*") {
      star = pi++;
      star_name = ni;
    } else if (pi < pattern.size() && (pattern[pi] == "?" || pattern[pi] == name[ni])) {
      ++pi;
      ++ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++star_name;
    } else {
      return false;
    }
  }
  while (pi < pattern.size() && pattern[pi] == "*") ++pi;
  return pi == pattern.size();
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

void RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) {
    RaiseVbError(errno == EACCES || errno == EPERM ? kVbPermissionDenied : kVbPathFileAccess);
  }
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string FindPathIgnoringCase(std::string_view path) { return Resolve(path); }

bool FileExists(std::string_view path) {
  struct stat st;
  return StatOf(Resolve(path), st) && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path) {
  struct stat st;
  return StatOf(Resolve(path), st) && S_ISDIR(st.st_mode);
}

void MakeFolder(std::string_view path) {
  const std::string native = Resolve(path);
  if (Present(native)) RaiseVbError(kVbPathFileAccess);
  if (::mkdir(native.c_str(), 0777) != 0) {
    RaiseVbError(errno == ENOENT ? kVbPathNotFound : kVbPathFileAccess);
  }
}

int64_t FileLen(std::string_view path) {
  struct stat st;
  if (!StatOf(Resolve(path), st) || !S_ISREG(st.st_mode)) RaiseVbError(kVbFileNotFound);
  return static_cast<int64_t>(st.st_size);
}

void Kill(std::string_view path) {
  std::string folder, last;
  SplitLast(NativePath(path), folder, last);
  if (!HasWildcard(last)) {
    const std::string file = Resolve(path);
    if (!FileExists(file)) RaiseVbError(kVbFileNotFound);
    RemoveFile(file);
    return;
  }
  const std::vector<std::string> names = Dir(NativePath(path));
  if (names.empty()) RaiseVbError(kVbFileNotFound);
  const std::string resolved_folder = Resolve(folder);
  for (const std::string& name : names) RemoveFile(Join(resolved_folder, name));
}

void MoveByCopy(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (!fs::copy_file(from, to, fs::copy_options::none, ec)) {
    RaiseVbError(ec == std::errc::file_exists ? kVbFileAlreadyExists : kVbPathFileAccess);
  }
  if (::unlink(from.c_str()) != 0) {
    // The source cannot go: take the copy back rather than leave the file twice.
    ::unlink(to.c_str());
    RaiseVbError(kVbPathFileAccess);
  }
}

void Name(std::string_view old_path, std::string_view new_path) {
  const std::string from = Resolve(old_path);
  if (!FileExists(from)) RaiseVbError(kVbFileNotFound);
  std::string folder, last;
  SplitLast(NativePath(new_path), folder, last);
  folder = Resolve(folder);
  if (!FolderExists(folder)) RaiseVbError(kVbPathNotFound);
  const std::string to = Join(folder, last);
  const std::string existing = EntryIgnoringCase(folder, last);
  if (!existing.empty()) {
    // Only a change of letter case of the same file may reuse the name.
    struct stat a, b;
    const bool same_file = StatOf(from, a) && StatOf(Join(folder, existing), b) &&
                           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (!same_file || existing == last) RaiseVbError(kVbFileAlreadyExists);
  }
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  switch (errno) {
    case EEXIST: RaiseVbError(kVbFileAlreadyExists);
    case EXDEV: MoveByCopy(from, to); return;
    case EINVAL:
    case ENOSYS:
      // A file system without no-replace renames: the target was checked just above.
      if (::rename(from.c_str(), to.c_str()) == 0) return;
      if (errno == EXDEV) {
        MoveByCopy(from, to);
        return;
      }
      RaiseVbError(kVbPathFileAccess);
    case EACCES:
    case EPERM: RaiseVbError(kVbPermissionDenied);
    default: RaiseVbError(kVbPathFileAccess);
  }
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  const std::string lower_name = LCase(name);
  const std::string lower_pattern = LCase(pattern);
  const auto n = Characters(lower_name);
  if (Match(n, Characters(lower_pattern))) return true;
  // As with Windows wildcards, a trailing ".*" also matches names without an extension.
  if (lower_pattern.size() >= 2 && lower_pattern.compare(lower_pattern.size() - 2, 2, ".*") == 0) {
    return Match(n, Characters(std::string_view(lower_pattern).substr(0, lower_pattern.size() - 2)));
  }
  return false;
}

std::vector<std::string> Dir(std::string_view pattern) {
  std::string folder, last;
  SplitLast(NativePath(pattern), folder, last);
  folder = Resolve(folder);
  // A folder alone lists all its files.
  if (last.empty()) last = "*";
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return names;
  for (const fs::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code type_ec;
    if (!entry.is_regular_file(type_ec)) continue;
    if (MatchesWildcard(name, last)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path().string();
  return exe.parent_path().string();
}

}  // namespace runtime
