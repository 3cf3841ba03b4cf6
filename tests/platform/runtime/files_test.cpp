// File helpers in a fresh temp folder: existence tests, MkDir, FileLen, Kill, Name (never
// overwriting) and Dir wildcards, with blanks, accents and backslash paths.
#include "platform/runtime/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "platform/runtime/vb_error.h"
#include "tests/platform/runtime/error_of.h"
#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

namespace fs = std::filesystem;

using test_support::ErrorNumberOf;

class FilesTest : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const { return temp_.File(relative); }
  void Write(const std::string& relative, const std::string& content) const {
    temp_.Write(relative, content);
  }
  std::string Read(const std::string& relative) const { return test_support::LeerArchivo(At(relative)); }

  const test_support::TempFolder temp_{"consolida-files"};
  const std::string root_ = temp_.Path();
};

TEST_F(FilesTest, ExistenceAndLengthOfFilesAndFolders) {
  Write("Padrón 2005.dbf", std::string(96, '=') + "\r\n");
  fs::create_directory(At("Datos"));
  const std::pair<std::string, const char*> cases[] = {
      {At("Padrón 2005.dbf"), "file"}, {root_ + "\\Padrón 2005.dbf", "file"},
      {At("Datos"), "folder"}, {At("Datos/"), "folder"}, {At("missing.dbf"), ""}, {"", ""},
  };
  for (const auto& [path, kind] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(FileExists(path) ? "file" : FolderExists(path) ? "folder" : "", std::string(kind));
    EXPECT_FALSE(FileExists(path) && FolderExists(path));
  }
  EXPECT_EQ(FileLen(At("Padrón 2005.dbf")), 98);
  EXPECT_EQ(ErrorNumberOf([&] { FileLen(At("none.log")); }), kVbFileNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { FileLen(At("Datos")); }), kVbFileNotFound);
}

TEST_F(FilesTest, FindsNamesWithoutRegardToCase) {
  fs::create_directory(At("Datos"));
  Write("Datos/Padrón.dbf", "roll");
  Write("Datos/twin.txt", "lower");
  Write("Datos/TWIN.txt", "upper");
  const std::pair<const char*, const char*> cases[] = {
      {"DATOS/PADRÓN.DBF", "Datos/Padrón.dbf"}, {"datos\\padrón.dbf", "Datos/Padrón.dbf"},
      {"datos/twin.txt", "Datos/twin.txt"},  // exact spelling wins
      {"datos/Twin.txt", "Datos/TWIN.txt"},  // else first in byte order
      {"datos/missing/X.dbf", "Datos/missing/X.dbf"}, {"nada/Padrón.dbf", "nada/Padrón.dbf"},
  };
  for (const auto& [given, found] : cases) {
    SCOPED_TRACE(given);
    EXPECT_EQ(FindPathIgnoringCase(At(given)), At(found));
  }
  EXPECT_TRUE(FileExists(At("DATOS/padrón.DBF")));
  EXPECT_TRUE(FolderExists(At("DATOS")));
  EXPECT_EQ(FileLen(At("datos/PADRÓN.dbf")), 4);
  EXPECT_EQ(Dir(At("DATOS/*.DBF")), std::vector<std::string>{"Padrón.dbf"});
  EXPECT_EQ(ErrorNumberOf([&] { MakeFolder(At("DATOS")); }), kVbPathFileAccess);
  EXPECT_EQ(ErrorNumberOf([&] { Name(At("datos/twin.txt"), At("datos/Padrón.DBF")); }),
            kVbFileAlreadyExists);
  Name(At("datos/padrón.dbf"), At("datos/PADRÓN.DBF"));  // a change of case only
  EXPECT_EQ(Dir(At("Datos/*.dbf")), std::vector<std::string>{"PADRÓN.DBF"});
  Kill(At("DATOS/padrón.dbf"));
  EXPECT_FALSE(FileExists(At("Datos/PADRÓN.DBF")));
}

TEST_F(FilesTest, MakeFolderMakesOneLevel) {
  MakeFolder(root_ + "\\Procesados");
  EXPECT_TRUE(FolderExists(At("Procesados")));
  Write("plain", "");
  const std::pair<std::string, long> cases[] = {
      {At("Procesados"), kVbPathFileAccess}, {At("plain"), kVbPathFileAccess},
      {At("a/b"), kVbPathNotFound}};
  for (const auto& [path, error] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ErrorNumberOf([&] { MakeFolder(path); }), error);
  }
  EXPECT_FALSE(FolderExists(At("a")));
}

TEST_F(FilesTest, KillDeletesFilesOnly) {
  for (const char* name : {"a.dbf", "B.DBF", "c.txt"}) Write(name, "");
  fs::create_directory(At("d.dbf"));
  Kill(At("c.txt"));
  Kill(At("*.dbf"));
  EXPECT_EQ(Dir(At("*")), std::vector<std::string>{}) << "files gone, the folder d.dbf stays";
  EXPECT_TRUE(FolderExists(At("d.dbf")));
  for (const char* left : {"c.txt", "d.dbf", "*.dbf"}) {
    SCOPED_TRACE(left);
    EXPECT_EQ(ErrorNumberOf([&] { Kill(At(left)); }), kVbFileNotFound);
  }
}

TEST_F(FilesTest, NameMovesAndRenamesWithoutOverwriting) {
  fs::create_directory(At("Datos"));
  fs::create_directory(At("Procesados"));
  Write("Datos/Padron.dbf", "roll");
  Write("Datos/ENCUES_1.dbf", "survey");
  Write("Procesados/ENCUES_1_05122026112041.dbf", "older");

  Name(root_ + "\\Datos\\Padron.dbf", root_ + "\\Procesados\\Padron_05122026112041.dbf");
  EXPECT_FALSE(FileExists(At("Datos/Padron.dbf")));
  EXPECT_EQ(Read("Procesados/Padron_05122026112041.dbf"), "roll");
  const struct {
    const char* name;
    std::string from, to;
    long error;
  } cases[] = {
      {"target exists", At("Datos/ENCUES_1.dbf"), At("Procesados/ENCUES_1_05122026112041.dbf"),
       kVbFileAlreadyExists},
      {"source missing", At("Datos/Padron.dbf"), At("Procesados/x.dbf"), kVbFileNotFound},
      {"source is a folder", At("Datos"), At("Procesados/Datos2"), kVbFileNotFound},
      {"target folder missing", At("Datos/ENCUES_1.dbf"), At("NoProcesados/ENCUES_1.dbf"),
       kVbPathNotFound},
      {"target is a folder", At("Datos/ENCUES_1.dbf"), At("Procesados"), kVbFileAlreadyExists},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorNumberOf([&] { Name(c.from, c.to); }), c.error);
  }
  // Nothing was lost or replaced by the failed moves.
  EXPECT_EQ(Read("Datos/ENCUES_1.dbf"), "survey");
  EXPECT_EQ(Read("Procesados/ENCUES_1_05122026112041.dbf"), "older");
}

// What Name does when the target lies on another file system (the rename says EXDEV), run here
// on one file system: the file arrives whole, the source goes, an existing target is refused
// with both files kept.
TEST_F(FilesTest, MoveByCopyMovesWithoutOverwriting) {
  fs::create_directory(At("otro"));
  Write("move.dbf", "payload");
  MoveByCopy(At("move.dbf"), At("otro/move.dbf"));
  EXPECT_EQ(Read("otro/move.dbf"), "payload");
  EXPECT_FALSE(FileExists(At("move.dbf")));
  Write("again.dbf", "other");
  EXPECT_EQ(ErrorNumberOf([&] { MoveByCopy(At("again.dbf"), At("otro/move.dbf")); }), kVbFileAlreadyExists);
  EXPECT_EQ(Read("again.dbf"), "other");
  EXPECT_EQ(Read("otro/move.dbf"), "payload");
}

// Which names match is MatchesWildcard's (below); Dir lists files only, hidden ones left out,
// sorted by byte.
TEST_F(FilesTest, DirListsMatchingFilesIgnoringCase) {
  for (const char* name : {"ENCUES_1.dbf", "encues_2.DBF", "Padrón.Dbf", "notes.txt", "noext",
                           ".hidden.dbf"}) {
    Write(name, "");
  }
  fs::create_directory(At("folder.dbf"));
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {root_ + "\\*.DBF", {"ENCUES_1.dbf", "Padrón.Dbf", "encues_2.DBF"}},
      {At("*.*"), {"ENCUES_1.dbf", "Padrón.Dbf", "encues_2.DBF", "noext", "notes.txt"}},
      {At("missing.dbf"), {}}, {At("nowhere/*.dbf"), {}},
  };
  for (const auto& [pattern, expected] : cases) {
    SCOPED_TRACE(pattern);
    EXPECT_EQ(Dir(pattern), expected);
  }
}

TEST(WildcardTest, MatchesAsDirDoes) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"abc.dbf", "a?c.dbf", true}, {"ac.dbf", "a?c.dbf", false},  {"ñc.dbf", "?c.dbf", true},
      {"", "*", true},              {"abc", "*.*", true},           {"abc", "b*.*", false},
      {"a.b.c", "*.c", true},       {"aXbXc", "a*b*c", true},      {"aXbX", "a*b*c", false},
      {"ÁRBOL.DBF", "árbol.dbf", true}, {"abc.dbf", "abc.db", false},
      {"mississippi", "m*iss*pi", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches);
  }
}

TEST(ProgramFolderTest, IsTheFolderOfTheRunningFile) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.front() == '/' && folder.back() != '/') << folder;
  EXPECT_FALSE(Dir(folder + "/*").empty());
}

}  // namespace
}  // namespace runtime
