// File-system helpers with VB's semantics (Dir, FileLen, Kill, Name, MkDir) for the program's
// working folders. Paths are UTF-8; a backslash is read as a folder separator, so "\Datos\x.dbf"
// style paths built by the windows work on Linux. Never touches anything but the paths given.
//
// Letter case: as on the file system the program was written for, names are found without
// regard to case ("padron.dbf" finds "PADRON.DBF"; accented letters too). When one folder holds
// names that differ only in case, the exact spelling wins, else the first in byte order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// The path with every backslash turned into "/".
std::string NativePath(std::string_view path);

// The path spelled as it exists on disk, each part found without regard to case; the part that
// matches nothing and everything after it are kept as given. Never throws.
std::string FindPathIgnoringCase(std::string_view path);

// True when a regular file (following links) / a folder exists at `path`. Never throws.
bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// VB's MkDir: makes one folder (its parent must exist). Throws VbError 75 when the folder or a
// file of that name already exists or the folder cannot be made, 76 when the parent is missing.
void MakeFolder(std::string_view path);

// VB's FileLen: the size in bytes. Throws VbError 53 when there is no such file.
int64_t FileLen(std::string_view path);

// VB's Kill: deletes the files that match `path` (wildcards * and ? allowed in the last part,
// matched as Dir matches them). Throws VbError 53 when nothing matches, 75 when a match cannot
// be deleted (folders are never deleted).
void Kill(std::string_view path);

// VB's Name old As new: renames or moves a file, also across file systems. Never overwrites:
// throws VbError 58 when `new_path` exists (in any letter case, except the same file being
// renamed to another case), 53 when `old_path` is not a file, 76 when the target folder is
// missing, 70 when access is denied, 75 for other failures.
void Name(std::string_view old_path, std::string_view new_path);
// How Name moves a file to another file system: a copy, then the source deleted. Never
// overwrites (VbError 58); when the source cannot be deleted the copy is taken back (75). Paths
// are native and already resolved.
void MoveByCopy(const std::string& from, const std::string& to);

// VB's Dir listing: the names (without folder) of the regular files that match the last part of
// `pattern` (all files when it ends with a separator), where * is any run of characters and ? one character, letters compared without
// regard to case (accented ones too). Hidden files (names starting with ".") are left out, as
// Dir leaves hidden files out. Sorted by name for a stable order (the order Dir returns is
// unspecified). An empty list when the folder is missing.
std::vector<std::string> Dir(std::string_view pattern);

// True when `name` matches `pattern` as Dir matches it.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// VB's App.Path: the folder that holds the running program file, without a trailing separator.
std::string ProgramFolder();

}  // namespace runtime
