// Saving on the real file system: what the user had (links, modes, the earlier file) stays.
#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "run_program.h"

namespace tarnis {
namespace {

namespace fs = std::filesystem;

const std::string kProbe = REPLACE_FILE_PROBE;
constexpr uid_t kNobody = 65534;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

mode_t ModeOf(const fs::path& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class ReplaceFileTest : public ::testing::Test {
 protected:
  ReplaceFileTest()
      : directory(fs::temp_directory_path() /
                  ("tarnis-save-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))) {
    fs::remove_all(directory);
    fs::create_directories(directory);
    fs::permissions(directory, fs::perms(0755));
  }
  ~ReplaceFileTest() override {
    fs::permissions(directory, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(directory);
  }

  // The names in the directory, so that a left temporary file shows.
  std::set<std::string> Names(const fs::path& where) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(where)) names.insert(entry.path().filename().string());
    return names;
  }

  fs::path directory;
};

TEST_F(ReplaceFileTest, LinksStayAndTheFileTheyFinallyNameIsReplaced) {
  fs::create_directories(directory / "sub");
  Write(directory / "real.cfg", "old");
  fs::permissions(directory / "real.cfg", fs::perms(0640));
  fs::create_symlink("real.cfg", directory / "link.cfg");                   // relative
  fs::create_symlink(directory / "link.cfg", directory / "sub" / "chain");  // absolute, to a link

  ASSERT_TRUE(ReplaceFile(directory / "sub" / "chain", Bytes("new contents")));
  EXPECT_TRUE(fs::is_symlink(directory / "link.cfg"));
  EXPECT_TRUE(fs::is_symlink(directory / "sub" / "chain"));
  EXPECT_EQ(fs::read_symlink(directory / "link.cfg"), "real.cfg");
  EXPECT_EQ(Contents(directory / "real.cfg"), "new contents");
  EXPECT_EQ(ModeOf(directory / "real.cfg"), 0640u);
  EXPECT_EQ(Names(directory), (std::set<std::string>{"link.cfg", "real.cfg", "sub"}));
  EXPECT_EQ(Names(directory / "sub"), std::set<std::string>{"chain"});

  // A dangling link gets the file it names; a loop of links is refused.
  fs::create_symlink("sub/made.cfg", directory / "dangling");
  ASSERT_TRUE(ReplaceFile(directory / "dangling", Bytes("made")));
  EXPECT_TRUE(fs::is_symlink(directory / "dangling"));
  EXPECT_EQ(Contents(directory / "sub" / "made.cfg"), "made");
  fs::create_symlink("loop-b", directory / "loop-a");
  fs::create_symlink("loop-a", directory / "loop-b");
  EXPECT_FALSE(ReplaceFile(directory / "loop-a", Bytes("x")));
  EXPECT_FALSE(ReplaceFile(directory / "sub", Bytes("x"))) << "a directory is no file";
  EXPECT_TRUE(fs::is_directory(directory / "sub"));
}

TEST_F(ReplaceFileTest, PermissionBitsAreKeptAndNewFilesFollowTheUmask) {
  for (const mode_t mode : {0600u, 0640u, 0751u, 0444u}) {
    const fs::path path = directory / ("m" + std::to_string(mode));
    Write(path, "old");
    ::chmod(path.c_str(), mode);
    ASSERT_TRUE(ReplaceFile(path, Bytes("new"))) << std::oct << mode;
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    EXPECT_EQ(Contents(path), "new");
  }
  const mode_t previous = ::umask(027);
  const bool made = ReplaceFile(directory / "fresh-027", Bytes("a"));
  ::umask(0);
  const bool made_open = ReplaceFile(directory / "fresh-000", Bytes("a"));
  ::umask(previous);
  ASSERT_TRUE(made && made_open);
  EXPECT_EQ(ModeOf(directory / "fresh-027"), 0640u);
  EXPECT_EQ(ModeOf(directory / "fresh-000"), 0666u);
}

// The file size limit makes the write fail after a part of the bytes went to the disk.
TEST_F(ReplaceFileTest, AWriteFailingHalfWayLeavesTheEarlierFileAndNoTemporaryFile) {
  const fs::path path = directory / "kept.base";
  Write(path, "earlier contents");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string large(100000, 'x');
    ::_exit(ReplaceFile(path, Bytes(large)) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the failed save is reported";
  EXPECT_EQ(Contents(path), "earlier contents");
  EXPECT_EQ(Names(directory), std::set<std::string>{"kept.base"});

  ASSERT_TRUE(ReplaceFile(path, Bytes("later")));
  EXPECT_EQ(Names(directory), std::set<std::string>{"kept.base"});
}

TEST_F(ReplaceFileTest, TheDirectoryIsSyncedAfterTheRename) {
  if (test::RunProgram("strace -o /dev/null true").exit_code != 0) GTEST_SKIP() << "strace cannot run here";
  const fs::path log = directory / "trace";
  const fs::path target = directory / "data" / "x.cfg";
  fs::create_directories(target.parent_path());
  const auto run = test::RunProgram("strace -f -qq -y -e trace=fsync,rename,renameat,renameat2 -o " + log.string() +
                                    " " + kProbe + " " + target.string() + " abc");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::istringstream lines(Contents(log));
  bool renamed = false;
  bool synced_after = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("rename") != std::string::npos && line.find(target.string()) != std::string::npos) renamed = true;
    if (renamed && line.find("fsync(") != std::string::npos &&
        line.find("<" + target.parent_path().string() + ">") != std::string::npos)
      synced_after = true;
  }
  EXPECT_TRUE(renamed && synced_after) << Contents(log);
  EXPECT_EQ(Contents(target), "abc");
}

// A directory its user may write but not read takes the new file; the save succeeds although
// the directory cannot be opened to sync it.
TEST_F(ReplaceFileTest, AWriteOnlyDirectoryTakesTheNewFile) {
  const fs::path drop = directory / "drop";
  fs::create_directories(drop);
  std::string as_user;
  if (::geteuid() == 0) {
    if (test::RunProgram("setpriv --version").exit_code != 0) GTEST_SKIP() << "setpriv is missing";
    ASSERT_EQ(::chown(drop.c_str(), kNobody, kNobody), 0);
    as_user = "setpriv --reuid 65534 --regid 65534 --clear-groups ";
  }
  fs::permissions(drop, fs::perms(0333));
  for (const char* text : {"new", "replaced"})
    EXPECT_EQ(test::RunProgram(as_user + kProbe + " " + (drop / "x.cfg").string() + " " + text).exit_code, 0) << text;
  fs::permissions(drop, fs::perms(0755));
  EXPECT_EQ(Contents(drop / "x.cfg"), "replaced");
  EXPECT_EQ(Names(drop), (std::set<std::string>{"x.cfg"}));
}

// Run as another user: the directory takes no new names, one file may be written, one may not.
TEST_F(ReplaceFileTest, ADirectoryThatTakesNoNewNamesGetsAWritableFileOverwrittenInPlace) {
  const fs::path writable = directory / "writable.cfg";
  const fs::path locked = directory / "locked.cfg";
  Write(writable, "a much longer earlier text");
  Write(locked, "locked");
  std::string as_user;
  if (::geteuid() == 0) {
    if (test::RunProgram("setpriv --version").exit_code != 0) GTEST_SKIP() << "setpriv is missing";
    // Root ignores permissions: the probe runs as nobody, who may write one file and not the directory.
    ASSERT_EQ(::chown(writable.c_str(), kNobody, kNobody), 0);
    as_user = "setpriv --reuid 65534 --regid 65534 --clear-groups ";
  } else {
    fs::permissions(directory, fs::perms(0555));
    fs::permissions(locked, fs::perms(0444));
  }
  fs::permissions(writable, fs::perms(0644));
  struct stat before {};
  ASSERT_EQ(::stat(writable.c_str(), &before), 0);

  EXPECT_EQ(test::RunProgram(as_user + kProbe + " " + writable.string() + " short").exit_code, 0);
  EXPECT_EQ(Contents(writable), "short");
  struct stat after {};
  ASSERT_EQ(::stat(writable.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "written through its own inode";
  EXPECT_EQ(ModeOf(writable), 0644u);

  EXPECT_EQ(test::RunProgram(as_user + kProbe + " " + locked.string() + " x").exit_code, 1);
  EXPECT_EQ(Contents(locked), "locked");
  EXPECT_EQ(test::RunProgram(as_user + kProbe + " " + (directory / "new.cfg").string() + " x").exit_code, 1);
  EXPECT_EQ(Names(directory), (std::set<std::string>{"locked.cfg", "writable.cfg"}));
}

TEST(ReadFileTest, TellsAFileThatWillNotOpenFromOneThatFailsWhileRead) {
  EXPECT_EQ(ReadFile("/nonexistent/x", 10).status, FileRead::Status::CannotOpen);
  EXPECT_EQ(ReadFile("/tmp", 10).status, FileRead::Status::CannotOpen);
  EXPECT_EQ(ReadFile("/proc/self/mem", 10).status, FileRead::Status::CannotRead);
  const FileRead small = ReadFile("/proc/self/cmdline", 3);
  EXPECT_EQ(small.status, FileRead::Status::Ok);
  EXPECT_EQ(small.bytes.size(), 4u) << "one byte more than asked tells a longer file";
}

}  // namespace
}  // namespace tarnis
