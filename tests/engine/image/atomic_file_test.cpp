// Replacing files through a temporary file: content, kept permissions, staged commits, and that no
// failure leaves a temporary file or harms the file that was there.
#include "image/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// A fresh folder per test, removed afterwards.
class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarkemo-atomic-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename());
        return names;
    }
    void Put(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }

    fs::path folder_;
};

TEST_F(AtomicFileTest, PartsAreWrittenInOrder) {
    const std::string path = Path("out.bin");
    struct Case {
        std::vector<std::string> parts;
        std::string expected;
    };
    const Case cases[] = {{{}, ""},
                          {{"", ""}, ""},
                          {{"head", "", "body"}, "headbody"},
                          {{"a", "b", "c", "d", "e", "f", "g", "h"}, "abcdefgh"}};
    for (const Case& test : cases) {
        std::vector<std::span<const uint8_t>> spans;
        for (const std::string& part : test.parts) spans.push_back(Bytes(part));
        std::span<const uint8_t> none;
        auto at = [&](size_t i) { return i < spans.size() ? spans[i] : none; };
        ASSERT_TRUE(WriteFileAtomically(path, {at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)}));
        EXPECT_EQ(Read(path), test.expected);
    }
    EXPECT_TRUE(WriteFileAtomically(path, std::string_view("text\r\n")));
    EXPECT_EQ(Read(path), "text\r\n");
    EXPECT_EQ(Names(), std::set<std::string>{"out.bin"});
}

TEST_F(AtomicFileTest, MoreThanEightPartsAreRefused) {
    const auto x = Bytes("x");
    EXPECT_FALSE(WriteFileAtomically(Path("nine"), {x, x, x, x, x, x, x, x, x}));
    StagedFile staged(Path("nine"));
    EXPECT_FALSE(staged.Write({x, x, x, x, x, x, x, x, x}));
    EXPECT_FALSE(staged.Commit());
    EXPECT_TRUE(Names().empty());
}

TEST_F(AtomicFileTest, ReplacedFileKeepsItsPermissionBits) {
    for (const mode_t mode : {0600, 0640, 0755, 0444}) {
        const std::string path = Path("kept");
        Put("kept", "old");
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(path, std::string_view("new")));
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(Read(path), "new");
        fs::remove(path);
    }
    // A new file gets the usual bits the umask leaves.
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_TRUE(WriteFileAtomically(Path("fresh"), std::string_view("x")));
    struct stat info {};
    ASSERT_EQ(stat(Path("fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
}

// Missing folders, folder targets and names that cannot be files fail without a trace.
TEST_F(AtomicFileTest, FailuresLeaveTheOldStateAndNoTemporaryFile) {
    fs::create_directory(folder_ / "taken");
    Put("taken/inside", "keep");
    const std::string paths[] = {Path("missing/out"), Path("taken"), Path("taken/"), Path("")};
    for (const std::string& path : paths) {
        EXPECT_FALSE(WriteFileAtomically(path, std::string_view("new"))) << path;
        StagedFile staged(path);
        EXPECT_FALSE(staged.Write(std::string_view("new"))) << path;
        EXPECT_FALSE(staged.Commit()) << path;
    }
    EXPECT_FALSE(WriteFileAtomically("", std::string_view("new")));
    EXPECT_EQ(Names(), std::set<std::string>{"taken"});
    EXPECT_EQ(Read(Path("taken/inside")), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "taken"), fs::directory_iterator()), 1);
}

// The temporary name does not grow with the target's, so the longest name a folder allows works.
TEST_F(AtomicFileTest, LongestFileNameCanBeReplaced) {
    const std::string name(255, 'n');
    Put(name, "old");
    ASSERT_EQ(Read(Path(name)), "old");
    EXPECT_TRUE(WriteFileAtomically(Path(name), std::string_view("new")));
    EXPECT_EQ(Read(Path(name)), "new");
    StagedFile staged(Path(name));
    EXPECT_TRUE(staged.Write(std::string_view("staged")));
    EXPECT_TRUE(staged.Commit());
    EXPECT_EQ(Read(Path(name)), "staged");
    EXPECT_EQ(Names(), std::set<std::string>{name});
}

TEST_F(AtomicFileTest, StagedContentAppearsOnlyOnCommit) {
    Put("a", "old a");
    {
        StagedFile a(Path("a")), b(Path("b"));
        ASSERT_TRUE(a.Write(std::string_view("first")));
        ASSERT_TRUE(a.Write(std::string_view("second")));  // replaces what was staged
        ASSERT_TRUE(b.Write(Bytes("bee")));
        EXPECT_EQ(Read(Path("a")), "old a");
        EXPECT_FALSE(fs::exists(Path("b")));
        EXPECT_TRUE(a.Commit());
        EXPECT_FALSE(a.Commit());  // nothing staged any more
        EXPECT_EQ(Read(Path("a")), "second");
    }  // b goes away uncommitted
    EXPECT_EQ(Names(), std::set<std::string>{"a"});

    StagedFile c(Path("c"));
    ASSERT_TRUE(c.Write(std::string_view("c")));
    c.Discard();
    EXPECT_FALSE(c.Commit());
    EXPECT_EQ(Names(), std::set<std::string>{"a"});
}

// A target that turns into a folder after staging fails the commit and removes the temporary file.
TEST_F(AtomicFileTest, CommitOntoAFolderFailsAndCleansUp) {
    StagedFile staged(Path("late"));
    ASSERT_TRUE(staged.Write(std::string_view("x")));
    fs::create_directory(folder_ / "late");
    Put("late/inside", "keep");
    EXPECT_FALSE(staged.Commit());
    EXPECT_EQ(Names(), std::set<std::string>{"late"});
    EXPECT_EQ(Read(Path("late/inside")), "keep");
}

// A file-size limit makes the write fail halfway, as a full disk would.
TEST_F(AtomicFileTest, WriteThatFailsHalfwayKeepsTheOldFile) {
    Put("keep", "old");
    const std::string big(64 * 1024, 'b');
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool whole = WriteFileAtomically(Path("keep"), {Bytes("head"), Bytes(big)});
    StagedFile staged(Path("keep"));
    const bool staging = staged.Write(std::string_view(big));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(whole);
    EXPECT_FALSE(staging);
    EXPECT_FALSE(staged.Commit());
    EXPECT_EQ(Read(Path("keep")), "old");
    EXPECT_EQ(Names(), std::set<std::string>{"keep"});
}

}  // namespace
}  // namespace tarkemo
