// SPDX-License-Identifier: GPL-3.0-or-later
#include "fillindexfile.h"

#include "loader.h"
#include "regularfile.h"
#include "templistpath.h"
#include "wordscores.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace korvel {

// The layout, every number little-endian:
//
//   0   8  magic "KVFILLIX"
//   8   4  version
//   12  4  flags (bit 0: the words have scores)
//   16  8  size of the whole file
//   24  8  hashBytes of everything after the first 32 bytes
//   32     the selection: 8 bytes, 1 for each dictionary 0 to 7 taken
//          the sources: a count (4), then for each a kind (1), the name's
//          length (4) and bytes, the list's size (8) and hash (8)
//          the messages: a length (4) and bytes
//          for each length 2 to 35: a count (4), count * length letters
//          (0 to 25), and for scored words count scores (0 to 100)
//
// and nothing after the last length.

namespace {

constexpr std::string_view Magic = "KVFILLIX";
constexpr uint32_t Version = 1;
constexpr uint32_t ScoredFlag = 1;
constexpr std::size_t HeaderBytes = 32;
constexpr uint32_t MaxSources = 64;
constexpr uint32_t MaxNameBytes = 4096;
constexpr uint32_t MaxMessageBytes = 1u << 20;

uint64_t rotl(uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

uint64_t little64(const unsigned char* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

void put64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

void set64(std::string& out, std::size_t at, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// Reads the file's fields in order, never past its end.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    std::size_t left() const { return bytes_.size() - at_; }
    std::size_t at() const { return at_; }
    bool take(std::size_t n, std::string_view& out) {
        if (n > left()) {
            return false;
        }
        out = bytes_.substr(at_, n);
        at_ += n;
        return true;
    }
    bool u8(uint8_t& v) {
        std::string_view b;
        if (!take(1, b)) {
            return false;
        }
        v = static_cast<uint8_t>(b[0]);
        return true;
    }
    bool u32(uint32_t& v) {
        std::string_view b;
        if (!take(4, b)) {
            return false;
        }
        v = 0;
        for (int i = 3; i >= 0; --i) {
            v = (v << 8) | static_cast<uint8_t>(b[static_cast<std::size_t>(i)]);
        }
        return true;
    }
    bool u64(uint64_t& v) {
        std::string_view b;
        if (!take(8, b)) {
            return false;
        }
        v = little64(reinterpret_cast<const unsigned char*>(b.data()));
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

bool fail(std::string& why, std::string text) {
    why = std::move(text);
    return false;
}

// The file mapped read-only for as long as the object lives.
class Mapping {
public:
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (data_ != nullptr) {
            ::munmap(data_, size_);
        }
    }
    // Maps the regular file at path whole; false, with why, when it is no
    // regular file, is larger than cap or (unless allowEmpty) empty, or
    // cannot be mapped. An empty file maps to no bytes.
    bool open(const std::string& path, uint64_t cap, std::string& why, bool allowEmpty = false) {
        int fd = -1;
        struct stat st {};
        const FileReadResult opened = openRegularFile(AT_FDCWD, path, false, fd, st);
        if (!opened.ok()) {
            return fail(why, opened.cause);
        }
        if (st.st_size <= 0 || static_cast<uint64_t>(st.st_size) > cap) {
            ::close(fd);
            if (st.st_size == 0 && allowEmpty) {
                return true;
            }
            return fail(why, st.st_size <= 0 ? "is empty" : "is too large");
        }
        size_ = static_cast<std::size_t>(st.st_size);
        void* data = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        ::close(fd);
        if (data == MAP_FAILED) {
            return fail(why, std::string("cannot be mapped: ") + std::strerror(errno));
        }
        data_ = data;
        return true;
    }
    std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

std::string folderPrefix(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

} // namespace

uint64_t hashBytes(std::string_view bytes) {
    constexpr uint64_t K1 = 0x9E3779B97F4A7C15ull;
    constexpr uint64_t K2 = 0xC2B2AE3D27D4EB4Full;
    constexpr uint64_t K3 = 0x165667B19E3779F9ull;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    // Four lanes, so that the multiplications of neighbouring words overlap.
    uint64_t lane[4] = {K1 ^ n, K2, K3, K1 + K2};
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        for (int k = 0; k < 4; ++k) {
            const uint64_t w = little64(p + i + 8 * static_cast<std::size_t>(k));
            lane[k] = rotl(lane[k] ^ (w * K2), 31) * K1;
        }
    }
    uint64_t h = rotl(lane[0], 1) + rotl(lane[1], 7) + rotl(lane[2], 12) + rotl(lane[3], 18);
    for (; i + 8 <= n; i += 8) {
        h = rotl(h ^ (little64(p + i) * K2), 27) * K1 + K3;
    }
    uint64_t tail = 0;
    for (std::size_t k = n; k > i; --k) {
        tail = (tail << 8) | p[k - 1];
    }
    h = rotl(h ^ (tail * K3), 23) * K2 + K1;
    h ^= h >> 33;
    h *= K2;
    h ^= h >> 29;
    h *= K3;
    h ^= h >> 32;
    return h;
}

std::optional<std::vector<IndexSource>> folderSources(const std::string& folder, std::string& why) {
    const std::string prefix = folderPrefix(folder);
    std::vector<IndexSource> sources;
    const auto passed = [&sources](const std::string& name) {
        sources.push_back({IndexSource::Kind::Passed, name, 0, 0});
    };
    std::vector<SkippedFile> specials;
    std::vector<std::string> dictionaries = scanDictionaryFolder(prefix, &specials);
    // As the loader numbers them: a ".diz" with no list name of its own is
    // passed over, and only the first MaxDictionaries are loaded.
    std::erase_if(dictionaries, [&](const std::string& n) {
        const bool nameless = n.ends_with(".diz") && tempListName(n).empty();
        if (nameless) {
            passed(n);
        }
        return nameless;
    });
    for (const SkippedFile& f : specials) {
        passed(f.name);
    }
    for (std::size_t k = MaxDictionaries; k < dictionaries.size(); ++k) {
        passed(dictionaries[k]);
    }
    if (dictionaries.size() > static_cast<std::size_t>(MaxDictionaries)) {
        dictionaries.resize(MaxDictionaries);
    }
    std::vector<SkippedScoreList> skippedScores;
    const std::vector<std::string> scoreLists = scoreListNames(prefix, &skippedScores);
    for (const SkippedScoreList& s : skippedScores) {
        passed(s.name);
    }
    // Mapped rather than read: megabytes of lists then cost no fresh memory.
    const auto add = [&](IndexSource::Kind kind, const std::string& name, uint64_t cap) {
        Mapping list;
        std::string cause;
        if (!list.open(prefix + name, cap, cause, true)) {
            why = name + " " + cause;
            return false;
        }
        sources.push_back({kind, name, list.bytes().size(), hashBytes(list.bytes())});
        return true;
    };
    for (const std::string& name : dictionaries) {
        if (!add(IndexSource::Kind::Dictionary, name, MaxDictionaryBytes)) {
            return std::nullopt;
        }
    }
    for (const std::string& name : scoreLists) {
        if (!add(IndexSource::Kind::ScoreList, name, MaxScoreListBytes)) {
            return std::nullopt;
        }
    }
    return sources;
}

std::string fillIndexBytes(const WordIndex& index, const DictionarySelection& take,
                           const std::vector<IndexSource>& sources, std::string_view messages) {
    std::string out(Magic);
    put32(out, Version);
    put32(out, index.hasScores() ? ScoredFlag : 0);
    put64(out, 0); // size, set below
    put64(out, 0); // hash, set below
    for (bool t : take) {
        out += static_cast<char>(t ? 1 : 0);
    }
    put32(out, static_cast<uint32_t>(sources.size()));
    for (const IndexSource& s : sources) {
        out += static_cast<char>(s.kind);
        put32(out, static_cast<uint32_t>(s.name.size()));
        out += s.name;
        put64(out, s.size);
        put64(out, s.hash);
    }
    put32(out, static_cast<uint32_t>(messages.size()));
    out += messages;
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const PackedWords w = index.packed(len);
        put32(out, static_cast<uint32_t>(w.count));
        out.append(reinterpret_cast<const char*>(w.letters),
                   w.count * static_cast<std::size_t>(len));
        if (index.hasScores()) {
            out.append(reinterpret_cast<const char*>(w.scores), w.count);
        }
    }
    set64(out, 16, out.size());
    set64(out, 24, hashBytes(std::string_view(out).substr(HeaderBytes)));
    return out;
}

bool parseFillIndex(std::string_view bytes, FillIndexContents& out, std::string& why,
                    bool checkHash) {
    out = FillIndexContents{};
    if (bytes.size() < HeaderBytes || bytes.substr(0, Magic.size()) != Magic) {
        return fail(why, "is no index of the fill");
    }
    Cursor c(bytes);
    std::string_view magic;
    uint32_t version = 0;
    uint32_t flags = 0;
    uint64_t size = 0;
    uint64_t hash = 0;
    c.take(Magic.size(), magic);
    c.u32(version);
    c.u32(flags);
    c.u64(size);
    c.u64(hash);
    if (version != Version) {
        return fail(why, "is an index of another version (" + std::to_string(version) + ")");
    }
    if ((flags & ~ScoredFlag) != 0) {
        return fail(why, "has flags this version does not know");
    }
    if (size != bytes.size()) {
        return fail(why, "is cut short or has bytes added (" + std::to_string(bytes.size()) +
                             " bytes, " + std::to_string(size) + " written)");
    }
    if (checkHash && hash != hashBytes(bytes.substr(HeaderBytes))) {
        return fail(why, "is damaged (its bytes do not match their hash)");
    }
    out.hasScores = (flags & ScoredFlag) != 0;
    for (bool& t : out.take) {
        uint8_t v = 0;
        if (!c.u8(v) || v > 1) {
            return fail(why, "has a damaged selection of dictionaries");
        }
        t = v == 1;
    }
    uint32_t sourceCount = 0;
    if (!c.u32(sourceCount) || sourceCount > MaxSources) {
        return fail(why, "has a damaged list of sources");
    }
    for (uint32_t k = 0; k < sourceCount; ++k) {
        IndexSource s;
        uint8_t kind = 0;
        uint32_t nameBytes = 0;
        std::string_view name;
        if (!c.u8(kind) || kind < static_cast<uint8_t>(IndexSource::Kind::Dictionary) ||
            kind > static_cast<uint8_t>(IndexSource::Kind::Passed) || !c.u32(nameBytes) ||
            nameBytes > MaxNameBytes || !c.take(nameBytes, name) || !c.u64(s.size) ||
            !c.u64(s.hash)) {
            return fail(why, "has a damaged list of sources");
        }
        s.kind = static_cast<IndexSource::Kind>(kind);
        s.name = std::string(name);
        out.sources.push_back(std::move(s));
    }
    uint32_t messageBytes = 0;
    std::string_view messages;
    if (!c.u32(messageBytes) || messageBytes > MaxMessageBytes || !c.take(messageBytes, messages)) {
        return fail(why, "has damaged messages");
    }
    out.messages = std::string(messages);
    for (int len = MinWordLength; len <= MaxWordLength; ++len) {
        const auto L = static_cast<std::size_t>(len);
        uint32_t count = 0;
        if (!c.u32(count)) {
            return fail(why, "is cut short at the words of " + std::to_string(len) + " letters");
        }
        const std::size_t per = L + (out.hasScores ? 1 : 0);
        if (count > c.left() / per) {
            return fail(why,
                        "counts more words of " + std::to_string(len) + " letters than it holds");
        }
        std::string_view letters;
        std::string_view scores;
        c.take(count * L, letters);
        if (out.hasScores) {
            c.take(count, scores);
        }
        const auto* l = reinterpret_cast<const uint8_t*>(letters.data());
        if (std::any_of(l, l + letters.size(), [](uint8_t a) { return a >= 26; })) {
            return fail(why, "holds a letter outside A to Z");
        }
        // Ids follow byte order: the fill's lookups search them by halves.
        for (std::size_t id = 1; id < count; ++id) {
            if (std::memcmp(l + (id - 1) * L, l + id * L, L) >= 0) {
                return fail(why, "holds words of " + std::to_string(len) +
                                     " letters out of order or twice");
            }
        }
        const auto* s = reinterpret_cast<const uint8_t*>(scores.data());
        if (std::any_of(s, s + scores.size(), [](uint8_t v) { return v > HighestScore; })) {
            return fail(why, "holds a score above " + std::to_string(HighestScore));
        }
        out.words[L] =
            PackedWords{count, count > 0 ? l : nullptr, out.hasScores && count > 0 ? s : nullptr};
    }
    if (c.left() != 0) {
        return fail(why, "has bytes after its last word");
    }
    return true;
}

std::optional<PrebuiltIndex> loadPrebuiltIndex(const std::string& folder,
                                               const std::vector<std::string>& bannedWords,
                                               std::string& why) {
    const std::string path = folderPrefix(folder) + std::string(FillIndexName);
    // The words are copied out before the file is unmapped: a file changed
    // or cut while a long fill runs must not change (or take away) the
    // letters that were checked.
    auto file = std::make_shared<Mapping>();
    std::string cause;
    if (!file->open(path, MaxFillIndexBytes, cause)) {
        why = std::string(FillIndexName) + " " + cause;
        return std::nullopt;
    }
    FillIndexContents contents;
    if (!parseFillIndex(file->bytes(), contents, cause)) {
        why = std::string(FillIndexName) + " " + cause;
        return std::nullopt;
    }
    const std::optional<std::vector<IndexSource>> now = folderSources(folder, cause);
    if (!now) {
        why = "the lists cannot be checked: " + cause;
        return std::nullopt;
    }
    if (*now != contents.sources) {
        why = std::string(FillIndexName) + " was made from other lists than the folder holds";
        return std::nullopt;
    }
    PrebuiltIndex prebuilt{WordIndex::fromPacked(contents.words, contents.hasScores, bannedWords),
                           contents.take, std::move(contents.sources),
                           std::move(contents.messages)};
    return prebuilt;
}

} // namespace korvel
