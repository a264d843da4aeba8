// SPDX-License-Identifier: GPL-3.0-or-later
// korvel-find under faults: many runs at once on two dictionaries folders
// (they share the per-user list folder and its fixed list names), and a fatal
// load error with its cause on standard error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path path;
    Scratch() {
        std::string t = (fs::temp_directory_path() / "korvel-find-faults-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A base.diz of many five-letter words starting with initial, so that a
// decoded list takes a moment to write and read.
void makeBase(const fs::path& folder, char initial) {
    fs::create_directories(folder);
    const fs::path plain = folder / "base.txt";
    {
        std::ofstream out(plain, std::ios::binary);
        for (int n = 0; n < 26 * 26 * 26; ++n) {
            out << initial << char('A' + n / 676) << char('A' + n / 26 % 26) << char('A' + n % 26)
                << "O\r\n";
        }
    }
    const std::string cmd = std::string(KORVEL_MKDIZ) + " -o '" + (folder / "base.diz").string() +
                            "' '" + plain.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    fs::remove(plain);
}

// Starts korvel-find with stdout and stderr into files; returns its pid.
pid_t start(const fs::path& folder, const std::vector<std::string>& args, const fs::path& out,
            const fs::path& err) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        std::vector<std::string> all = {KORVEL_FIND, "--dir", folder.string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Before the folder lock, about one run in a hundred got the other folder's
// words or an empty base dictionary.
TEST(FindFaults, ConcurrentRunsOnTwoFoldersEachGetTheirOwnWords) {
    Scratch s;
    const fs::path a = s.path / "a";
    const fs::path b = s.path / "b";
    makeBase(a, 'A');
    makeBase(b, 'B');
    const std::vector<std::string> query = {"--extended", "pattern", "??Z?O"};
    std::string expected[2];
    for (int k = 0; k < 2; ++k) {
        const pid_t pid = start(k == 0 ? a : b, query, s.path / "ref.out", s.path / "ref.err");
        ASSERT_EQ(waitFor(pid), 0);
        expected[k] = slurp(s.path / "ref.out");
        ASSERT_NE(expected[k].find(k == 0 ? "AAZAO" : "BAZAO"), std::string::npos);
    }
    constexpr int Runs = 40;
    std::vector<pid_t> pids;
    for (int n = 0; n < Runs; ++n) {
        const std::string tag = std::to_string(n);
        pids.push_back(
            start(n % 2 == 0 ? a : b, query, s.path / (tag + ".out"), s.path / (tag + ".err")));
    }
    int wrong = 0;
    for (int n = 0; n < Runs; ++n) {
        const std::string tag = std::to_string(n);
        const int status = waitFor(pids[static_cast<std::size_t>(n)]);
        const std::string out = slurp(s.path / (tag + ".out"));
        if (status != 0 || out != expected[n % 2]) {
            ++wrong;
            ADD_FAILURE() << "run " << n << " status " << status << "\n"
                          << slurp(s.path / (tag + ".err"));
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(FindFaults, FatalLoadErrorNamesTheCauseOnStandardError) {
    Scratch s;
    const pid_t pid = start(s.path, {"pattern", "A?"}, s.path / "x.out", s.path / "x.err");
    EXPECT_EQ(waitFor(pid), 1);
    const std::string err = slurp(s.path / "x.err");
    EXPECT_EQ(err.rfind("... mandatory dictionary is missing: base.diz !\n", 0), 0u) << err;
    EXPECT_NE(err.find("\nbase.diz is not in " + s.path.string() + "/"), std::string::npos) << err;
}
