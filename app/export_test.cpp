#include "app/export.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/toolkit.h"
#include "testing/scratch.h"
#include "testing/wx_expect.h"
#include "testing/wx_test.h"
#include "text/codepage.h"

namespace {

namespace fs = std::filesystem;

const Text kExported = "\xB5\xBC\xB3\xF6\xB3\xC9\xB9\xA6";     // 导出成功
const Text kNotExported = "\xB5\xBC\xB3\xF6\xCA\xA7\xB0\xDC";  // 导出失败

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

class ExportTest : public WxTest {
 protected:
  void SetUp() override {
    WxTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_FALSE(scratch_.path().empty());
    window_ = new MainWindow;
    ASSERT_TRUE(window_->Create());
    OnWindowCreated(*window_);
  }
  void Click() {
    wxCommandEvent click(wxEVT_BUTTON, window_->按钮2->GetId());
    click.SetEventObject(window_->按钮2);
    window_->按钮2->ProcessWindowEvent(click);
  }
  ScratchDirectory scratch_{"finder-export"};
  MainWindow* window_ = nullptr;
};

TEST_F(ExportTest, CancelledDialogWritesNothing) {
  SetControlText(*window_->编辑框2, "abc");
  SeenFileDialog seen;
  wxTEST_DIALOG(Click(), ChooseFile::Cancel(&seen),
                ExpectMessage(kNotExported));
  EXPECT_TRUE(window_->通用对话框1.fileName.empty());
  EXPECT_TRUE(scratch_.Names().empty());
  // The dialog as OnWindowCreated left it: a save dialog listing .txt files
  // in the program directory, accepting new names, asking before it
  // overwrites.
  EXPECT_EQ(seen.wildcard, "*.txt|*.txt");
  EXPECT_EQ(FromWxString(seen.directory), ProgramDirectory());
  EXPECT_TRUE(seen.style & wxFD_SAVE);
  EXPECT_TRUE(seen.style & wxFD_OVERWRITE_PROMPT);
  EXPECT_FALSE(seen.style & wxFD_FILE_MUST_EXIST);
}

TEST_F(ExportTest, ConfirmedNameGetsTheBoxBytes) {
  const struct {
    std::string chosen;   // relative to the scratch directory
    std::string written;  // the file that must appear
    Text box;
    std::string old;  // what was there before, if anything
  } cases[] = {
      {"list", "list.txt", "abc\r\nabd\r\n", ""},
      {"same.txt", "same.txt", "abc\r\nabd\r\n", ""},
      {"upper.TXT", "upper.TXT.txt", "x", ""},  // case-sensitive
      {"my.txt.files/list", "my.txt.files/list", "\xD6\xD0", ""},
      {"empty", "empty.txt", "", ""},
      {"old.txt", "old.txt", "\xCE\xDE\xCA\xFD\xBE\xDD",  // 无数据
       "a longer text that was there before"},
  };
  fs::create_directory(scratch_.path() / "my.txt.files");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    if (!c.old.empty()) WriteFile(scratch_.path() / c.written, c.old);
    SetControlText(*window_->编辑框2, c.box);
    const fs::path chosen = scratch_.path() / c.chosen;
    wxTEST_DIALOG(Click(), ChooseFile(chosen.string()),
                  ExpectMessage(kExported));
    EXPECT_EQ(ReadFile(scratch_.path() / c.written), c.box);
    // The dialog keeps the confirmed path, without the added ".txt".
    EXPECT_EQ(AnsiToUtf8(window_->通用对话框1.fileName), chosen.string());
  }
  EXPECT_EQ(scratch_.Names(),
            (std::vector<std::string>{"empty.txt", "list.txt", "my.txt.files",
                                      "my.txt.files/list", "old.txt",
                                      "same.txt", "upper.TXT.txt"}));
}

TEST_F(ExportTest, SecondDialogOpensWithThePathConfirmedInTheFirst) {
  const fs::path first = scratch_.path() / "first";
  SeenFileDialog seen;
  wxTEST_DIALOG(Click(), ChooseFile(first.string()), ExpectMessage(kExported));
  wxTEST_DIALOG(Click(), ChooseFile::Cancel(&seen),
                ExpectMessage(kNotExported));
  EXPECT_EQ(seen.directory.utf8_string(), scratch_.path().string());
  EXPECT_EQ(seen.fileName, "first");
}

// Writes into the new file fail once it reaches `bytes`, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t oldHandler_;
};

TEST_F(ExportTest, FailedWriteIsReportedAndKeepsTheOldFile) {
  const fs::path target = scratch_.path() / "kept.txt";
  WriteFile(target, "old");
  SetControlText(*window_->编辑框2, "a text longer than the limit");
  {
    const FileSizeLimit limit(4);
    wxTEST_DIALOG(Click(), ChooseFile(target.string()),
                  ExpectMessage(kNotExported));
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(scratch_.Names(), std::vector<std::string>{"kept.txt"})
      << "no partial file left behind";
}

TEST_F(ExportTest, UnwritableTargetsGiveFalse) {
  const fs::path directory = scratch_.path() / "a-directory.txt";
  fs::create_directory(directory);
  const struct {
    const char* name;
    Text path;
  } cases[] = {
      {"empty name", ""},
      {"missing directory", (scratch_.path() / "none" / "x.txt").string()},
      {"a directory", directory.string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(WriteBytesToFile(c.path, ToBytes("abc")));
  }
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_EQ(scratch_.Names(), std::vector<std::string>{"a-directory.txt"});
}

// The new content replaces the file by a rename, which the folder allows:
// a file that the user may not write must still be refused and kept.
TEST_F(ExportTest, WriteProtectedFileIsRefusedAndKept) {
  const fs::path file = scratch_.path() / "kept.txt";
  WriteFile(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read |
                            fs::perms::others_read);
  bool written = false;
  if (geteuid() != 0) {
    written = WriteBytesToFile(file.string(), ToBytes("new"));
  } else {
    // Root may write any file: the write is made as an ordinary user who
    // owns the folder and the file.
    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(chown(scratch_.path().c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(file.c_str(), kNobody, kNobody), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
      _exit(WriteBytesToFile(file.string(), ToBytes("new")) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 2) << "could not become an ordinary user";
    written = WEXITSTATUS(status) == 1;
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(file), "old");
  EXPECT_EQ(scratch_.Names(), std::vector<std::string>{"kept.txt"});
}

TEST_F(ExportTest, ReplacingKeepsPermissionsAndFollowsLinks) {
  const fs::path real = scratch_.path() / "real.txt";
  const fs::path link = scratch_.path() / "link.txt";
  WriteFile(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write |
                            fs::perms::group_read);
  fs::create_symlink(real, link);
  EXPECT_TRUE(WriteBytesToFile(link.string(), ToBytes("new")));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read |
                                                fs::perms::owner_write |
                                                fs::perms::group_read);
}

}  // namespace
