// SPDX-License-Identifier: GPL-3.0-or-later
#include "definitions.h"

#include "wordfold.h"

#include <sqlite3.h>
#include <zstd.h>

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace korvel {

namespace {

constexpr char FieldEnd = '\x1F';
constexpr char RecordEnd = '\x1E';
// More than any block unpacks to; a larger frame is damage.
constexpr std::size_t MaxUnpacked = 1u << 24;

bool separator(char c) {
    return c == ' ' || c == '-' || c == '\'' || c == '.' || c == '_' || c == '/';
}

void addUnique(std::vector<std::string>& out, std::string candidate, std::string_view entry) {
    if (candidate.size() < 2 || candidate == entry)
        return;
    if (std::find(out.begin(), out.end(), candidate) == out.end())
        out.push_back(std::move(candidate));
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() > suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool consonant(char c) {
    return c >= 'A' && c <= 'Z' && c != 'A' && c != 'E' && c != 'I' && c != 'O' && c != 'U';
}

// WordNet's detachment rules, noun, verb and adjective in turn.
struct Rule {
    std::string_view suffix;
    std::string_view ending;
};
// WordNet's own, and the "y" that becomes "i" before an ending (TRIED,
// HAPPIER), which WordNet leaves to its lists of exceptions.
constexpr Rule EnglishRules[] = {
    {"S", ""},      {"SES", "S"}, {"XES", "X"},  {"ZES", "Z"}, {"CHES", "CH"}, {"SHES", "SH"},
    {"MEN", "MAN"}, {"IES", "Y"}, {"ES", "E"},   {"ES", ""},   {"ED", "E"},    {"ED", ""},
    {"IED", "Y"},   {"ING", "E"}, {"ING", ""},   {"ER", ""},   {"EST", ""},    {"ER", "E"},
    {"EST", "E"},   {"IER", "Y"}, {"IEST", "Y"},
};

std::vector<std::string> englishCandidates(std::string_view entry) {
    std::vector<std::string> out;
    for (const Rule& r : EnglishRules) {
        if (!endsWith(entry, r.suffix))
            continue;
        std::string base(entry.substr(0, entry.size() - r.suffix.size()));
        const bool doubled = r.ending.empty() && base.size() >= 3 &&
                             base.back() == base[base.size() - 2] && consonant(base.back());
        addUnique(out, base + std::string(r.ending), entry);
        // STOPPED, BIGGER: the consonant doubled before the ending.
        if (doubled &&
            (r.suffix == "ED" || r.suffix == "ING" || r.suffix == "ER" || r.suffix == "EST"))
            addUnique(out, base.substr(0, base.size() - 1), entry);
    }
    return out;
}

// The regular endings of Italian verbs (imperfect, participles, gerund,
// present, future, conditional) and the infinitive they come from; the
// file's own forms (from Hunspell) cover more, but not every verb.
constexpr Rule ItalianVerbRules[] = {
    {"AVANO", "ARE"},  {"AVAMO", "ARE"},  {"AVATE", "ARE"},  {"AVO", "ARE"},   {"AVI", "ARE"},
    {"AVA", "ARE"},    {"EVANO", "ERE"},  {"EVAMO", "ERE"},  {"EVATE", "ERE"}, {"EVO", "ERE"},
    {"EVI", "ERE"},    {"EVA", "ERE"},    {"IVANO", "IRE"},  {"IVAMO", "IRE"}, {"IVATE", "IRE"},
    {"IVO", "IRE"},    {"IVI", "IRE"},    {"IVA", "IRE"},    {"ANDO", "ARE"},  {"ENDO", "ERE"},
    {"ENDO", "IRE"},   {"ATO", "ARE"},    {"ATA", "ARE"},    {"ATI", "ARE"},   {"ATE", "ARE"},
    {"UTO", "ERE"},    {"UTA", "ERE"},    {"UTI", "ERE"},    {"UTE", "ERE"},   {"ITO", "IRE"},
    {"ITA", "IRE"},    {"ITI", "IRE"},    {"ITE", "IRE"},    {"IAMO", "ARE"},  {"IAMO", "ERE"},
    {"IAMO", "IRE"},   {"ANO", "ARE"},    {"ONO", "ERE"},    {"ONO", "IRE"},   {"ERANNO", "ARE"},
    {"ERANNO", "ERE"}, {"IRANNO", "IRE"}, {"ERA", "ARE"},    {"ERA", "ERE"},   {"IRA", "IRE"},
    {"EREBBE", "ARE"}, {"EREBBE", "ERE"}, {"IREBBE", "IRE"},
};

// Nouns and adjectives: the plural and the feminine back to the form a
// dictionary lists; then the regular verb endings.
std::vector<std::string> italianCandidates(std::string_view entry) {
    std::vector<std::string> out;
    const std::string stem(entry.substr(0, entry.size() - 1));
    if (endsWith(entry, "CHE") || endsWith(entry, "GHE"))
        addUnique(out, std::string(entry.substr(0, entry.size() - 2)) + "A", entry);
    if (endsWith(entry, "CHI") || endsWith(entry, "GHI"))
        addUnique(out, std::string(entry.substr(0, entry.size() - 2)) + "O", entry);
    switch (entry.empty() ? '\0' : entry.back()) {
    case 'E':
        addUnique(out, stem + "A", entry);
        addUnique(out, stem + "O", entry);
        break;
    case 'I':
        addUnique(out, stem + "O", entry);
        addUnique(out, stem + "E", entry);
        addUnique(out, stem + "A", entry);
        break;
    case 'A':
        addUnique(out, stem + "O", entry);
        break;
    default:
        break;
    }
    for (const Rule& r : ItalianVerbRules)
        if (endsWith(entry, r.suffix) && entry.size() >= r.suffix.size() + 2)
            addUnique(out,
                      std::string(entry.substr(0, entry.size() - r.suffix.size())) +
                          std::string(r.ending),
                      entry);
    return out;
}

std::string columnText(sqlite3_stmt* st, int column) {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(st, column));
    const int n = sqlite3_column_bytes(st, column);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

// A prepared statement, finalized when it goes.
struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
};

} // namespace

std::optional<std::string> definitionKey(std::string_view written) {
    std::string key;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= written.size(); ++i) {
        if (i < written.size() && !separator(written[i]))
            continue;
        if (i > start) {
            const std::optional<std::string> part = foldWord(written.substr(start, i - start));
            if (!part)
                return std::nullopt;
            key += *part;
        }
        start = i + 1;
    }
    if (key.empty())
        return std::nullopt;
    return key;
}

std::vector<std::string> formCandidates(std::string_view entry, std::string_view language) {
    if (entry.size() < 3)
        return {};
    return language == "it" ? italianCandidates(entry) : englishCandidates(entry);
}

std::string packMeanings(const std::vector<Meaning>& meanings) {
    std::string out;
    const auto clean = [](std::string_view s) {
        std::string t(s);
        // The separators and every other control character: the texts are
        // one line.
        std::replace_if(
            t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        return t;
    };
    for (const Meaning& m : meanings) {
        out += clean(m.headword);
        out += FieldEnd;
        out += clean(m.partOfSpeech);
        out += FieldEnd;
        out += static_cast<char>(m.source);
        out += FieldEnd;
        out += m.english ? '1' : '0';
        out += FieldEnd;
        out += clean(m.text);
        out += RecordEnd;
    }
    return out;
}

std::vector<Meaning> unpackMeanings(std::string_view packed) {
    std::vector<Meaning> out;
    while (!packed.empty()) {
        const std::size_t end = packed.find(RecordEnd);
        const std::string_view record = packed.substr(0, end);
        packed.remove_prefix(end == std::string_view::npos ? packed.size() : end + 1);
        std::vector<std::string_view> fields;
        std::string_view rest = record;
        for (;;) {
            const std::size_t at = rest.find(FieldEnd);
            fields.push_back(rest.substr(0, at));
            if (at == std::string_view::npos)
                break;
            rest.remove_prefix(at + 1);
        }
        if (fields.size() != 5 || fields[2].size() != 1 || fields[3].size() != 1)
            continue;
        const char source = fields[2][0];
        if (source != 'w' && source != 'g' && source != 'i' && source != 'm')
            continue;
        out.push_back(Meaning{std::string(fields[0]), std::string(fields[1]),
                              static_cast<DefinitionSource>(source), fields[3] == "1",
                              std::string(fields[4])});
    }
    return out;
}

struct DefinitionBook::Decoder {
    ZSTD_DCtx* context = nullptr;
    ~Decoder() { ZSTD_freeDCtx(context); }
};

DefinitionBook::DefinitionBook(std::string path) : path_(std::move(path)) {}

DefinitionBook::~DefinitionBook() {
    if (db_)
        sqlite3_close(db_);
}

bool DefinitionBook::openLocked(std::string& error) const {
    if (tried_) {
        error = openError_;
        return db_ != nullptr;
    }
    tried_ = true;
    const auto fail = [&](const std::string& why) {
        openError_ = path_ + ": " + why;
        if (db_) {
            sqlite3_close(db_);
            db_ = nullptr;
        }
        error = openError_;
        return false;
    };
    // Read-only, never created; the file is data that comes with the program.
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK)
        return fail(db_ ? sqlite3_errmsg(db_) : "cannot be opened");
    int format = 0;
    {
        Statement st(db_, "SELECT name, value FROM meta");
        if (!st.st)
            return fail("not a definitions file");
        int step = 0;
        while ((step = sqlite3_step(st.st)) == SQLITE_ROW) {
            const std::string name = columnText(st.st, 0);
            if (name == "format")
                format = sqlite3_column_int(st.st, 1);
            else if (name == "language")
                language_ = columnText(st.st, 1);
        }
        if (step != SQLITE_DONE)
            return fail(sqlite3_errmsg(db_));
    }
    if (format != Format)
        return fail("a definitions file of another version (" + std::to_string(format) + ")");
    decoder_ = std::make_unique<Decoder>();
    decoder_->context = ZSTD_createDCtx();
    if (!decoder_->context)
        return fail("out of memory");
    return true;
}

std::optional<std::string> DefinitionBook::entryData(const std::string& key,
                                                     std::string& error) const {
    Statement st(db_,
                 "SELECT first, data FROM block WHERE first <= ?1 ORDER BY first DESC LIMIT 1");
    if (!st.st) {
        error = path_ + ": " + sqlite3_errmsg(db_);
        return std::nullopt;
    }
    sqlite3_bind_text(st.st, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    const int step = sqlite3_step(st.st);
    if (step != SQLITE_ROW) {
        if (step != SQLITE_DONE)
            error = path_ + ": " + sqlite3_errmsg(db_);
        return std::nullopt;
    }
    std::string first = columnText(st.st, 0);
    if (first != blockFirst_ || block_.empty()) {
        blockFirst_.clear();
        block_.clear();
        const std::string frame = columnText(st.st, 1);
        const unsigned long long size = ZSTD_getFrameContentSize(frame.data(), frame.size());
        if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN ||
            size > MaxUnpacked) {
            error = path_ + ": a damaged block (" + first + ")";
            return std::nullopt;
        }
        std::string plain(static_cast<std::size_t>(size), '\0');
        const std::size_t n = ZSTD_decompressDCtx(decoder_->context, plain.data(), plain.size(),
                                                  frame.data(), frame.size());
        if (ZSTD_isError(n) || n != plain.size()) {
            error = path_ + ": a damaged block (" + first + ")";
            return std::nullopt;
        }
        block_ = std::move(plain);
        blockFirst_ = std::move(first);
    }
    // The block's entries in key order: "KEY" EntryEnd meanings BlockEntryEnd.
    std::string_view rest = block_;
    while (!rest.empty()) {
        const std::size_t keyEnd = rest.find(EntryEnd);
        const std::size_t end = rest.find(BlockEntryEnd);
        if (keyEnd == std::string_view::npos || end == std::string_view::npos || keyEnd > end)
            break;
        const std::string_view k = rest.substr(0, keyEnd);
        if (k == key)
            return std::string(rest.substr(keyEnd + 1, end - keyEnd - 1));
        if (k > key)
            break;
        rest.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::vector<std::string> DefinitionBook::formsOf(const std::string& key, std::string& error) const {
    Statement st(db_, "SELECT lemmas FROM form WHERE key = ?1");
    if (!st.st) {
        error = path_ + ": " + sqlite3_errmsg(db_);
        return {};
    }
    sqlite3_bind_text(st.st, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    std::vector<std::string> out;
    if (sqlite3_step(st.st) == SQLITE_ROW) {
        const std::string lemmas = columnText(st.st, 0);
        std::size_t start = 0;
        while (start < lemmas.size()) {
            const std::size_t end = std::min(lemmas.find(' ', start), lemmas.size());
            if (end > start)
                out.push_back(lemmas.substr(start, end - start));
            start = end + 1;
        }
    }
    return out;
}

std::vector<EntryMeanings> DefinitionBook::lookup(std::string_view entry, std::size_t limit,
                                                  std::string* error) const {
    std::string why;
    std::vector<EntryMeanings> out;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!openLocked(why)) {
        if (error)
            *error = why;
        return out;
    }
    const std::optional<std::string> key = definitionKey(entry);
    if (!key)
        return out;
    // The entry itself, then the headwords it may be a form of: the ones the
    // file knows and the ones the rules guess. An Italian headword is no form
    // of the headword with another last vowel (CASA is not a form of CASO),
    // so the Italian rules are asked only for an entry that is no headword.
    std::vector<std::pair<std::string, bool>> keys{{*key, false}};
    const auto add = [&keys](std::string k) {
        if (std::none_of(keys.begin(), keys.end(), [&](const auto& e) { return e.first == k; }))
            keys.emplace_back(std::move(k), true);
    };
    if (language_ == "it") {
        if (!entryData(*key, why))
            for (std::string& k : formCandidates(*key, language_))
                add(std::move(k));
        for (std::string& k : formsOf(*key, why))
            add(std::move(k));
    } else {
        for (std::string& k : formsOf(*key, why))
            add(std::move(k));
        for (std::string& k : formCandidates(*key, language_))
            add(std::move(k));
    }
    std::size_t count = 0;
    for (const auto& [k, form] : keys) {
        if (count >= limit)
            break;
        const std::optional<std::string> data = entryData(k, why);
        if (!data)
            continue;
        EntryMeanings e{k, form, unpackMeanings(*data)};
        if (e.meanings.size() > limit - count)
            e.meanings.resize(limit - count);
        count += e.meanings.size();
        if (!e.meanings.empty())
            out.push_back(std::move(e));
    }
    if (error)
        *error = why;
    return out;
}

std::string DefinitionBook::language() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return language_;
}

std::string findDefinitions(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        const std::string path =
            folder + (folder.back() == '/' ? "" : "/") + std::string(DefinitionBook::FileName);
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return path;
    }
    return {};
}

std::vector<EntryMeanings> lookupAll(const std::vector<const DefinitionBook*>& books,
                                     std::string_view entry, std::size_t limit) {
    std::vector<EntryMeanings> out;
    std::size_t count = 0;
    for (const DefinitionBook* book : books) {
        if (!book || count >= limit)
            continue;
        for (EntryMeanings& e : book->lookup(entry, limit - count)) {
            count += e.meanings.size();
            out.push_back(std::move(e));
        }
    }
    return out;
}

} // namespace korvel
