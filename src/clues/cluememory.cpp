// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluememory.h"

#include "clueset.h"
#include "dictfolder.h"
#include "slots.h"
#include "wordfold.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

// The layout of the file; a file of another layout is not this memory.
constexpr int Layout = 1;

constexpr const char* Schema = "CREATE TABLE IF NOT EXISTS puzzle("
                               "  id INTEGER PRIMARY KEY,"
                               "  place BLOB NOT NULL UNIQUE,"
                               "  title TEXT NOT NULL,"
                               "  saved INTEGER NOT NULL);"
                               "CREATE TABLE IF NOT EXISTS clue("
                               "  puzzle INTEGER NOT NULL REFERENCES puzzle(id) ON DELETE CASCADE,"
                               "  answer BLOB NOT NULL,"
                               "  text TEXT NOT NULL,"
                               "  words TEXT NOT NULL,"
                               "  since INTEGER NOT NULL,"
                               "  UNIQUE(puzzle, answer, text));"
                               "CREATE INDEX IF NOT EXISTS clue_answer ON clue(answer);";

struct Statement {
    sqlite3_stmt* st = nullptr;
    int prepared = SQLITE_ERROR;
    Statement(sqlite3* db, const char* sql) {
        prepared = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    }
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return prepared == SQLITE_OK; }
    void bind(int i, std::string_view s) {
        sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    void bindText(int i, std::string_view s) {
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
};

std::string column(sqlite3_stmt* st, int i) {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(st, i)))
             : std::string();
}

bool makeFolder(const std::string& folder, std::string& error) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make the folder " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

// Makes the file when missing, readable by its owner alone, and refuses a
// file of the name that is no regular file (a FIFO would block the opening
// for ever, a folder or a device is no memory).
bool prepareFile(const std::string& path, std::string& error) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!regular) {
        error = path + " is not a regular file";
        return false;
    }
    return true;
}

std::string sqliteError(sqlite3* db, const std::string& path) {
    return path + ": " + sqlite3_errmsg(db);
}

bool exec(sqlite3* db, const char* sql, const std::string& path, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    error = path + ": " + (message ? message : "SQLite error");
    sqlite3_free(message);
    return false;
}

// Takes back the transaction open on db unless it was committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) {}
    ~Transaction() {
        if (open_)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    // BEGIN IMMEDIATE takes the file's write lock at once, so two copies
    // writing at the same time wait for each other instead of failing half
    // way.
    bool begin(const std::string& path, std::string& error) {
        open_ = exec(db_, "BEGIN IMMEDIATE", path, error);
        return open_;
    }
    bool commit(const std::string& path, std::string& error) {
        if (!exec(db_, "COMMIT", path, error))
            return false;
        open_ = false;
        return true;
    }

private:
    sqlite3* db_;
    bool open_ = false;
};

} // namespace

std::string searchWords(std::string_view text) {
    std::string out = " ";
    std::string word;
    const auto flush = [&] {
        if (word.empty())
            return;
        const std::optional<std::string> folded = foldWord(word);
        if (folded) {
            out += *folded;
        } else {
            // Digits (and letters foldWord does not take) stay as written,
            // ASCII letters in capitals.
            for (char c : word)
                out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        out += ' ';
        word.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool letter =
            (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0x80;
        if (letter)
            word += text[i];
        else
            flush();
    }
    flush();
    return out;
}

std::vector<std::pair<std::string, std::string>> cluesToRemember(const Puzzle& puzzle) {
    std::vector<std::pair<std::string, std::string>> out;
    const Slots slots = Slots::of(puzzle.grid);
    for (const Slot& slot : slots.all()) {
        const ClueKey key = keyOf(slot);
        const auto clue =
            std::find_if(puzzle.clues.begin(), puzzle.clues.end(),
                         [&](const Clue& c) { return c.key == key && c.length == slot.length; });
        if (clue == puzzle.clues.end() || clue->text.empty())
            continue;
        const std::string answer = Slots::pattern(puzzle.grid, slot);
        if (answer.find(EmptyCell) != std::string::npos || answer.find(' ') != std::string::npos)
            continue;
        out.emplace_back(answer, clue->text);
    }
    return out;
}

std::string ClueMemory::folderFor(const char* xdgDataHome, const char* home) {
    return userDataFolder(xdgDataHome, home);
}

std::unique_ptr<ClueMemory> ClueMemory::open(const std::string& folder, std::string& error,
                                             int busyMs) {
    if (folder.empty()) {
        error = "no folder for the clue memory is known (neither XDG_DATA_HOME nor HOME is set)";
        return nullptr;
    }
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + std::string(FileName);
    if (!makeFolder(folder, error) || !prepareFile(path, error))
        return nullptr;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        error = db ? sqliteError(db, path) : path + ": cannot be opened";
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<ClueMemory> memory(new ClueMemory(path, db));
    sqlite3_busy_timeout(db, busyMs);
    if (!exec(db, "PRAGMA foreign_keys = ON", path, error))
        return nullptr;
    // The layout is made once, in one transaction, so that two copies
    // opening a new file at the same time do not both make it.
    Transaction t(db);
    if (!t.begin(path, error))
        return nullptr;
    int layout = -1;
    {
        Statement st(db, "PRAGMA user_version");
        if (!st.ok() || sqlite3_step(st.st) != SQLITE_ROW) {
            error = sqliteError(db, path);
            return nullptr;
        }
        layout = sqlite3_column_int(st.st, 0);
    }
    if (layout == 0) {
        Statement tables(db, "SELECT count(*) FROM sqlite_master");
        if (!tables.ok() || sqlite3_step(tables.st) != SQLITE_ROW) {
            error = sqliteError(db, path);
            return nullptr;
        }
        if (sqlite3_column_int(tables.st, 0) != 0) {
            error = path + " is no clue memory of Korvel";
            return nullptr;
        }
        const std::string make =
            std::string(Schema) + "PRAGMA user_version = " + std::to_string(Layout) + ";";
        if (!exec(db, make.c_str(), path, error))
            return nullptr;
    } else if (layout != Layout) {
        error = path + " is a clue memory of another version of Korvel (layout " +
                std::to_string(layout) + ")";
        return nullptr;
    }
    if (!t.commit(path, error))
        return nullptr;
    return memory;
}

ClueMemory::~ClueMemory() {
    sqlite3_close(db_);
}

bool ClueMemory::remember(const PuzzleClues& puzzle, std::string& error) {
    if (puzzle.clues.empty())
        return forget(puzzle.place, error);
    Transaction t(db_);
    if (!t.begin(path_, error))
        return false;
    {
        Statement up(db_, "INSERT INTO puzzle(place, title, saved) VALUES (?1, ?2, ?3) "
                          "ON CONFLICT(place) DO UPDATE SET title = ?2, saved = ?3");
        if (!up.ok()) {
            error = sqliteError(db_, path_);
            return false;
        }
        up.bind(1, puzzle.place);
        up.bindText(2, puzzle.title);
        sqlite3_bind_int64(up.st, 3, puzzle.when);
        if (sqlite3_step(up.st) != SQLITE_DONE) {
            error = sqliteError(db_, path_);
            return false;
        }
    }
    int64_t id = 0;
    {
        Statement st(db_, "SELECT id FROM puzzle WHERE place = ?1");
        st.bind(1, puzzle.place);
        if (!st.ok() || sqlite3_step(st.st) != SQLITE_ROW) {
            error = sqliteError(db_, path_);
            return false;
        }
        id = sqlite3_column_int64(st.st, 0);
    }
    // What the puzzle holds now; the rest of what was remembered for it goes.
    std::set<std::pair<std::string, std::string>> now(puzzle.clues.begin(), puzzle.clues.end());
    std::set<std::pair<std::string, std::string>> held;
    {
        Statement st(db_, "SELECT answer, text FROM clue WHERE puzzle = ?1");
        if (!st.ok()) {
            error = sqliteError(db_, path_);
            return false;
        }
        sqlite3_bind_int64(st.st, 1, id);
        int step = 0;
        while ((step = sqlite3_step(st.st)) == SQLITE_ROW)
            held.emplace(column(st.st, 0), column(st.st, 1));
        if (step != SQLITE_DONE) {
            error = sqliteError(db_, path_);
            return false;
        }
    }
    Statement drop(db_, "DELETE FROM clue WHERE puzzle = ?1 AND answer = ?2 AND text = ?3");
    Statement add(db_, "INSERT INTO clue(puzzle, answer, text, words, since) "
                       "VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!drop.ok() || !add.ok()) {
        error = sqliteError(db_, path_);
        return false;
    }
    for (const auto& [answer, text] : held) {
        if (now.count({answer, text}) != 0)
            continue;
        sqlite3_bind_int64(drop.st, 1, id);
        drop.bind(2, answer);
        drop.bindText(3, text);
        if (sqlite3_step(drop.st) != SQLITE_DONE) {
            error = sqliteError(db_, path_);
            return false;
        }
        sqlite3_reset(drop.st);
    }
    for (const auto& [answer, text] : now) {
        if (held.count({answer, text}) != 0)
            continue;
        sqlite3_bind_int64(add.st, 1, id);
        add.bind(2, answer);
        add.bindText(3, text);
        add.bindText(4, searchWords(text) + answer + " ");
        sqlite3_bind_int64(add.st, 5, puzzle.when);
        if (sqlite3_step(add.st) != SQLITE_DONE) {
            error = sqliteError(db_, path_);
            return false;
        }
        sqlite3_reset(add.st);
    }
    return t.commit(path_, error);
}

std::vector<RememberedClue> ClueMemory::query(const char* sql,
                                              const std::vector<std::string>& values,
                                              std::size_t limit, std::string& error,
                                              bool text) const {
    std::vector<RememberedClue> out;
    Statement st(db_, sql);
    if (!st.ok()) {
        error = sqliteError(db_, path_);
        return out;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (text)
            st.bindText(static_cast<int>(i + 1), values[i]);
        else
            st.bind(static_cast<int>(i + 1), values[i]);
    }
    sqlite3_bind_int64(st.st, static_cast<int>(values.size() + 1),
                       static_cast<sqlite3_int64>(std::min<std::size_t>(limit, 1u << 30)));
    int step = 0;
    while ((step = sqlite3_step(st.st)) == SQLITE_ROW)
        out.push_back(RememberedClue{column(st.st, 0), column(st.st, 1), column(st.st, 2),
                                     column(st.st, 3), sqlite3_column_int64(st.st, 4)});
    if (step != SQLITE_DONE) {
        error = sqliteError(db_, path_);
        out.clear();
    }
    return out;
}

std::vector<RememberedClue> ClueMemory::pastClues(std::string_view answer, std::size_t limit,
                                                  std::string& error) const {
    return query("SELECT clue.answer, clue.text, puzzle.place, puzzle.title, clue.since "
                 "FROM clue JOIN puzzle ON puzzle.id = clue.puzzle WHERE clue.answer = ?1 "
                 "ORDER BY clue.since DESC, puzzle.place, clue.text LIMIT ?2",
                 {std::string(answer)}, limit, error, false);
}

std::vector<RememberedClue> ClueMemory::search(std::string_view words, std::size_t limit,
                                               std::string& error) const {
    // Each word of the query must start a word of the clue or be the start
    // of its answer: " WORD" inside the clue's words.
    std::vector<std::string> values;
    const std::string folded = searchWords(words);
    std::size_t start = 1;
    while (start < folded.size()) {
        const std::size_t end = folded.find(' ', start);
        if (end > start)
            values.push_back(" " + folded.substr(start, end - start));
        start = end + 1;
    }
    if (values.empty() || values.size() > 16)
        return {};
    std::string sql = "SELECT clue.answer, clue.text, puzzle.place, puzzle.title, clue.since "
                      "FROM clue JOIN puzzle ON puzzle.id = clue.puzzle WHERE ";
    for (std::size_t i = 0; i < values.size(); ++i)
        sql += (i ? " AND " : "") + std::string("instr(clue.words, ?") + std::to_string(i + 1) +
               ") > 0";
    sql += " ORDER BY clue.since DESC, puzzle.place, clue.text LIMIT ?" +
           std::to_string(values.size() + 1);
    return query(sql.c_str(), values, limit, error, true);
}

bool ClueMemory::forget(std::string_view place, std::string& error) {
    Statement st(db_, "DELETE FROM puzzle WHERE place = ?1");
    if (!st.ok()) {
        error = sqliteError(db_, path_);
        return false;
    }
    st.bind(1, place);
    if (sqlite3_step(st.st) != SQLITE_DONE) {
        error = sqliteError(db_, path_);
        return false;
    }
    return true;
}

std::vector<RememberedPuzzle> ClueMemory::puzzles(std::string& error) const {
    std::vector<RememberedPuzzle> out;
    Statement st(db_, "SELECT puzzle.place, puzzle.title, puzzle.saved, count(clue.text) "
                      "FROM puzzle LEFT JOIN clue ON clue.puzzle = puzzle.id "
                      "GROUP BY puzzle.id ORDER BY puzzle.saved DESC, puzzle.place");
    if (!st.ok()) {
        error = sqliteError(db_, path_);
        return out;
    }
    int step = 0;
    while ((step = sqlite3_step(st.st)) == SQLITE_ROW)
        out.push_back(RememberedPuzzle{column(st.st, 0), column(st.st, 1),
                                       sqlite3_column_int64(st.st, 2),
                                       sqlite3_column_int(st.st, 3)});
    if (step != SQLITE_DONE) {
        error = sqliteError(db_, path_);
        out.clear();
    }
    return out;
}

} // namespace korvel
