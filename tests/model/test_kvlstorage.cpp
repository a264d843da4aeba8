// SPDX-License-Identifier: GPL-3.0-or-later
// Crossword files on a real disk: saving under a file-size limit, onto things
// that are no files, and opening FIFOs, devices and huge files.
#include "filesizelimit.h"
#include "kvlfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;
using korvel::testing::FileSizeLimit;
namespace fs = std::filesystem;

namespace {

struct Folder {
    std::string path;
    Folder() {
        std::string t = (fs::temp_directory_path() / "korvel-kvl-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string file(const std::string& n) const { return path + "/" + n; }
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(path)) {
            v.push_back(e.path().filename().string());
        }
        std::sort(v.begin(), v.end());
        return v;
    }
};

std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

GridModel grid(int rows, int cols, char fill) {
    GridModel g = GridModel::make(static_cast<int16_t>(rows), static_cast<int16_t>(cols));
    for (int r = 0; r < rows; ++r) {
        g.GridRows[static_cast<std::size_t>(r)].assign(static_cast<std::size_t>(cols), fill);
    }
    return g;
}

} // namespace

TEST(KvlStorage, SaveWritesExactBytesAndOpensAgain) {
    Folder dir;
    const std::string file = dir.file("puzzle.kvl");
    GridModel g = grid(3, 4, 'A');
    g.GridRows[1] = "B\x10?\xe9";
    std::string error;
    ASSERT_TRUE(saveKvlFile(file, g, error)) << error;
    EXPECT_EQ(slurp(file), writeKvl(g));
    const KvlReadResult back = loadKvlFile(file);
    ASSERT_TRUE(back.grid) << back.error;
    EXPECT_EQ(back.grid->GridRows[1], g.GridRows[1]);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"puzzle.kvl"}) << "no scratch file stays";

    // A new file gets 0666 less the umask, an existing one keeps its mode.
    const mode_t mask = umask(022);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    chmod(file.c_str(), 0640);
    ASSERT_TRUE(saveKvlFile(file, grid(2, 2, 'Z'), error)) << error;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(KvlStorage, SaveThroughALinkWritesTheFileItLeadsTo) {
    Folder dir;
    fs::create_directory(dir.file("real"));
    spit(dir.file("real/a.kvl"), "old");
    fs::create_symlink("real/a.kvl", dir.file("link.kvl"));
    std::string error;
    ASSERT_TRUE(saveKvlFile(dir.file("link.kvl"), grid(2, 2, 'Q'), error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.file("link.kvl")));
    EXPECT_EQ(slurp(dir.file("real/a.kvl")), writeKvl(grid(2, 2, 'Q')));
}

// The fault of a full disk, driven through the real write: every size of
// limit below the file's length must fail and leave the old file whole.
TEST(KvlStorage, WriteFailureLeavesTheOldFileByteForByte) {
    Folder dir;
    const std::string file = dir.file("full.kvl");
    const GridModel big = grid(25, 35, 'W');
    const std::string old = writeKvl(grid(2, 3, 'O'));
    spit(file, old);
    const std::size_t need = writeKvl(big).size();
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{100}, rlim_t(need - 1)}) {
        SCOPED_TRACE(limit);
        std::string error;
        bool saved = true;
        {
            FileSizeLimit cap(limit);
            saved = saveKvlFile(file, big, error);
        }
        EXPECT_FALSE(saved);
        EXPECT_NE(error.find("File too large"), std::string::npos) << error;
        EXPECT_EQ(slurp(file), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"full.kvl"});
        // A new file is not created either.
        {
            FileSizeLimit cap(limit);
            EXPECT_FALSE(saveKvlFile(dir.file("new.kvl"), big, error));
        }
        EXPECT_FALSE(fs::exists(dir.file("new.kvl")));
    }
    std::string error;
    {
        FileSizeLimit cap(need);
        EXPECT_TRUE(saveKvlFile(file, big, error)) << error;
    }
    EXPECT_EQ(slurp(file), writeKvl(big));
}

TEST(KvlStorage, SaveRefusesWhatIsNoFile) {
    Folder dir;
    fs::create_directory(dir.file("folder.kvl"));
    ASSERT_EQ(mkfifo(dir.file("pipe.kvl").c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(saveKvlFile(dir.file("folder.kvl"), grid(2, 2, 'A'), error));
    EXPECT_NE(error.find("a folder"), std::string::npos) << error;
    EXPECT_FALSE(saveKvlFile(dir.file("pipe.kvl"), grid(2, 2, 'A'), error));
    EXPECT_NE(error.find("a FIFO"), std::string::npos) << error;
    EXPECT_FALSE(saveKvlFile(dir.file("missing/x.kvl"), grid(2, 2, 'A'), error));
    EXPECT_FALSE(saveKvlFile("", grid(2, 2, 'A'), error));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"folder.kvl", "pipe.kvl"}));
}

// Each of these must be refused at once: before the fix a FIFO blocked the
// open forever and /dev/zero was read until the memory ran out.
TEST(KvlStorage, OpenRefusesAnythingButASmallRegularFile) {
    Folder dir;
    const std::string good = writeKvl(grid(2, 2, 'A'));
    ASSERT_EQ(mkfifo(dir.file("pipe.kvl").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.file("zero.kvl"));
    fs::create_directory(dir.file("folder.kvl"));
    fs::create_symlink("nowhere", dir.file("dangling.kvl"));
    // A valid grid followed by padding: the reader would stop after the rows,
    // so only the size cap refuses it.
    spit(dir.file("atcap.kvl"), good + std::string(MaxKvlBytes - good.size(), ' '));
    spit(dir.file("overcap.kvl"), good + std::string(MaxKvlBytes - good.size() + 1, ' '));
    {
        const int fd = open(dir.file("sparse.kvl").c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, good.data(), good.size()), static_cast<ssize_t>(good.size()));
        ASSERT_EQ(ftruncate(fd, off_t{1} << 30), 0); // 1 GiB, no blocks on the disk
        close(fd);
    }
    struct Case {
        const char* name;
        bool opens;
        const char* cause;
    };
    for (const Case& c :
         {Case{"pipe.kvl", false, "is a FIFO"}, Case{"zero.kvl", false, "is a device"},
          Case{"folder.kvl", false, "is a folder"}, Case{"dangling.kvl", false, "No such file"},
          Case{"atcap.kvl", true, ""}, Case{"overcap.kvl", false, "is larger than"},
          Case{"sparse.kvl", false, "is larger than"}}) {
        SCOPED_TRACE(c.name);
        const KvlReadResult r = loadKvlFile(dir.file(c.name));
        EXPECT_EQ(r.grid.has_value(), c.opens) << r.error;
        if (!c.opens) {
            EXPECT_NE(r.error.find(c.cause), std::string::npos) << r.error;
        }
    }
}
