// Files that are not plain files, and sets of files: readers refuse FIFOs, devices and folders at
// once; writers write through symbolic links and never replace a FIFO or device; a set of staged
// files is committed whole or rolled back; staged files are remembered for removal on signals.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "image/atomic_file.h"
#include "image/input_file.h"
#include "image/staged_cleanup.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class SpecialFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarkemo-special-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename());
        return names;
    }

    fs::path folder_;
};

TEST_F(SpecialFilesTest, OnlyRegularFilesOpenForReadingAndNothingBlocks) {
    Put(Path("plain"), "12345");
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(Path("folder"));
    fs::create_symlink(Path("plain"), Path("link"));
    const struct {
        std::string path;
        bool ok;
    } cases[] = {{Path("plain"), true},   {Path("link"), true},     {Path("fifo"), false},
                 {Path("folder"), false}, {Path("missing"), false}, {"/dev/null", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const InputFile file(c.path);  // a FIFO without a writer would block a plain open() here
        EXPECT_EQ(file.ok(), c.ok);
    }
    const InputFile plain(Path("plain"));
    char bytes[5];
    EXPECT_EQ(plain.size(), 5u);
    EXPECT_TRUE(plain.ReadAt(bytes, 3, 2));
    EXPECT_EQ(std::string(bytes, 3), "345");
    EXPECT_FALSE(plain.ReadAt(bytes, 4, 2)) << "reading past the end";
}

TEST_F(SpecialFilesTest, WritesGoThroughSymbolicLinksAndNeverReplaceFifos) {
    fs::create_directory(Path("real"));
    Put(Path("real/target"), "old");
    fs::create_symlink("real/target", Path("relative-link"));
    fs::create_symlink(Path("relative-link"), Path("link-to-link"));
    fs::create_symlink("real/not-yet", Path("dangling"));
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_symlink(Path("fifo"), Path("link-to-fifo"));

    EXPECT_TRUE(WriteFileAtomically(Path("link-to-link"), "new"));
    EXPECT_TRUE(fs::is_symlink(Path("link-to-link")));
    EXPECT_TRUE(fs::is_symlink(Path("relative-link")));
    EXPECT_EQ(Read(Path("real/target")), "new");

    EXPECT_TRUE(WriteFileAtomically(Path("dangling"), "created"));
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Read(Path("real/not-yet")), "created");

    for (const char* name : {"fifo", "link-to-fifo"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsSpecialFile(Path(name)));
        EXPECT_FALSE(WriteFileAtomically(Path(name), "data"));
        EXPECT_TRUE(fs::is_fifo(Path("fifo")));
    }
    EXPECT_FALSE(IsSpecialFile(Path("real/target")));
    EXPECT_TRUE(IsSpecialFile("/dev/null"));
    const std::set<std::string> expected = {"real",     "relative-link", "link-to-link",
                                            "dangling", "fifo",          "link-to-fifo"};
    EXPECT_EQ(Names(), expected) << "no temporary file left";
}

// A rename that fails in the middle of a set (here the third target turned into a folder with
// content after it was staged, as a mount point would refuse it) puts the first ones back.
TEST_F(SpecialFilesTest, ASetIsCommittedWholeOrRolledBack) {
    struct Case {
        const char* id;
        bool firstExists;
        bool secondExists;
    };
    for (const Case c : {Case{"all old files exist", true, true}, Case{"first is new", false, true},
                         Case{"second is new", true, false}}) {
        SCOPED_TRACE(c.id);
        fs::remove_all(Path("set"));
        fs::create_directory(Path("set"));
        if (c.firstExists) Put(Path("set/a.bmp"), "old a");
        if (c.secondExists) Put(Path("set/a.dat"), "old dat");
        Put(Path("set/a.txt"), "old txt");
        StagedFile a(Path("set/a.bmp")), b(Path("set/a.dat")), t(Path("set/a.txt"));
        ASSERT_TRUE(a.Write(Bytes("new a")) && b.Write(Bytes("new dat")) && t.Write(Bytes("new txt")));
        fs::remove(Path("set/a.txt"));
        fs::create_directories(Path("set/a.txt/busy"));
        StagedFile* const set[] = {&a, &b, &t};
        EXPECT_FALSE(CommitTogether(set));
        EXPECT_EQ(fs::exists(Path("set/a.bmp")), c.firstExists);
        EXPECT_EQ(fs::exists(Path("set/a.dat")), c.secondExists);
        if (c.firstExists) {
            EXPECT_EQ(Read(Path("set/a.bmp")), "old a");
        }
        if (c.secondExists) {
            EXPECT_EQ(Read(Path("set/a.dat")), "old dat");
        }
        size_t entries = 0;
        for (const auto& entry : fs::directory_iterator(Path("set"))) entries += entry.is_regular_file();
        EXPECT_EQ(entries, size_t{c.firstExists} + size_t{c.secondExists})
            << "no temporary or kept file left";
    }
    StagedFile a(Path("set/a.bmp")), b(Path("set/a.dat"));
    ASSERT_TRUE(a.Write(Bytes("new a")) && b.Write(Bytes("new dat")));
    StagedFile* const set[] = {&a, &b};
    EXPECT_TRUE(CommitTogether(set));
    EXPECT_EQ(Read(Path("set/a.bmp")), "new a");
    EXPECT_EQ(Read(Path("set/a.dat")), "new dat");
    EXPECT_FALSE(CommitTogether(set)) << "nothing staged any more";
}

TEST(StagedCleanup, SlotsAreTakenAndGivenBack) {
    const int first = RememberStagedPath("/nonexistent/one");
    const int second = RememberStagedPath("/nonexistent/two");
    EXPECT_GE(first, 0);
    EXPECT_GE(second, 0);
    EXPECT_NE(first, second);
    ForgetStagedPath(first);
    EXPECT_EQ(RememberStagedPath("/nonexistent/three"), first) << "a forgotten slot is used again";
    ForgetStagedPath(first);
    ForgetStagedPath(second);
    ForgetStagedPath(-1);
}

}  // namespace
}  // namespace tarkemo
