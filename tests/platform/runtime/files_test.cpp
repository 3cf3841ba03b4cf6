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
  const struct {
    std::string path;
    bool file, folder;
  } cases[] = {
      {At("Padrón 2005.dbf"), true, false}, {At("Datos"), false, true}, {At("Datos/"), false, true},
      {root_ + "\\Padrón 2005.dbf", true, false}, {At("missing.dbf"), false, false},
      {"", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExists(c.path), c.file);
    EXPECT_EQ(FolderExists(c.path), c.folder);
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
  const struct {
    std::string given, found;
  } cases[] = {
      {At("Datos/Padrón.dbf"), At("Datos/Padrón.dbf")},
      {At("DATOS/PADRÓN.DBF"), At("Datos/Padrón.dbf")},
      {root_ + "\\datos\\padrón.dbf", At("Datos/Padrón.dbf")},
      {At("datos/twin.txt"), At("Datos/twin.txt")},  // exact spelling wins
      {At("datos/Twin.txt"), At("Datos/TWIN.txt")},  // else first in byte order
      {At("datos/missing/X.dbf"), At("Datos/missing/X.dbf")},
      {At("nada/Padrón.dbf"), At("nada/Padrón.dbf")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(FindPathIgnoringCase(c.given), c.found);
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
  EXPECT_FALSE(FileExists(At("c.txt")));
  EXPECT_EQ(ErrorNumberOf([&] { Kill(At("c.txt")); }), kVbFileNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { Kill(At("d.dbf")); }), kVbFileNotFound);
  Kill(At("*.dbf"));
  EXPECT_FALSE(FileExists(At("a.dbf")));
  EXPECT_FALSE(FileExists(At("B.DBF")));
  EXPECT_TRUE(FolderExists(At("d.dbf")));
  EXPECT_EQ(ErrorNumberOf([&] { Kill(At("*.dbf")); }), kVbFileNotFound);
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

TEST_F(FilesTest, DirListsMatchingFilesIgnoringCase) {
  for (const char* name : {"ENCUES_1.dbf", "encues_2.DBF", "Padrón.Dbf", "notes.txt",
                           "x.dbfx", "noext", ".hidden.dbf"}) {
    Write(name, "");
  }
  fs::create_directory(At("folder.dbf"));
  const struct {
    std::string pattern;
    std::vector<std::string> expected;
  } cases[] = {
      {At("*.dbf"), {"ENCUES_1.dbf", "Padrón.Dbf", "encues_2.DBF"}},
      {root_ + "\\*.DBF", {"ENCUES_1.dbf", "Padrón.Dbf", "encues_2.DBF"}},
      {At("encues_?.dbf"), {"ENCUES_1.dbf", "encues_2.DBF"}}, {At("PADRÓN.DBF"), {"Padrón.Dbf"}},
      {At("*.*"), {"ENCUES_1.dbf", "Padrón.Dbf", "encues_2.DBF", "noext", "notes.txt", "x.dbfx"}},
      {At("missing.dbf"), {}}, {At("nowhere/*.dbf"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Dir(c.pattern), c.expected);
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
  EXPECT_EQ(folder.front(), '/');
  EXPECT_NE(folder.back(), '/');
  EXPECT_FALSE(Dir(folder + "/*").empty());
}

TEST(NativePathTest, BackslashesBecomeSlashes) {
  EXPECT_EQ(NativePath("C:\\App\\Datos\\x.dbf"), "C:/App/Datos/x.dbf");
  EXPECT_EQ(NativePath("/app/Log/err.log"), "/app/Log/err.log");
}

}  // namespace
}  // namespace runtime
