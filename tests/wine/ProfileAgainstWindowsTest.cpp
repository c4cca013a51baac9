// Our portable profile stand-in against the real profile functions: the same
// generated settings files (odd and repeated sections, names in mixed case,
// white space and quotes, mixed line endings, long lines, NUL bytes, keys
// before any section) read and written through both, in one process. Every
// read must give the same text and count. Windows re-writes the whole file
// in its own layout, while the stand-in keeps every untouched line as it
// stood, so a written file must be, byte for byte, what Windows writes once
// Windows has laid it out again; a file already in that layout must match
// byte for byte as it stands.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/portable/ProfileText.h"
#include "support/TestSupport.h"

namespace {

constexpr int kFileCount = 500;
constexpr std::uint64_t kSeed = 0x4B4F52415645ull;

// The same numbers on every run and every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int Below(int limit) { return static_cast<int>(Next() % static_cast<std::uint32_t>(limit)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }
    const char* Pick(std::initializer_list<const char*> items) {
        return items.begin()[Below(static_cast<int>(items.size()))];
    }

private:
    std::uint64_t state_;
};

const char* const kSections[] = {"KORAVEL", "MOJI ZAHYO", "S", "Other"};
const char* const kKeys[] = {"TIMER", "VIEW", "ZAHYO1", "OPTIONA1", "A", "k"};

std::string MixedCase(Random& random, const std::string& name) {
    std::string spelled = name;
    for (char& c : spelled) {
        if (random.Chance(30) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        else if (random.Chance(30) && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return spelled;
}

std::string Padding(Random& random, bool tidy) {
    static const char* const pads[] = {"", "", " ", "\t", "  \t ", "\v", "\x1a", " \f"};
    return tidy ? "" : random.Pick(pads);
}

// `ascii`: for files with a UTF-8 byte-order mark. Windows reads those as
// UTF-8 and hands the text on in the ANSI code page, while our stand-in,
// which knows no code pages, hands on the bytes as stored.
std::string Value(Random& random, bool tidy, bool ascii) {
    switch (random.Below(tidy ? 9 : 13)) {
        case 0: return "";
        case 1: return std::to_string(random.Next());
        case 2: return "-" + std::to_string(random.Below(1000));
        case 3: return random.Pick({"0x1F", "007", "12abc", "1e2", "+5", "4294967296"});
        case 4: return "two words";
        case 5: return random.Pick({"\"quoted\"", "'single'", "\"half", "\"", "''", "\"a\"b\"", "\" padded \""});
        case 6: return random.Pick({"a=b", "x;y", "[S]", "BOX,8,0,5,,,2"});
        case 7: {
            // A line of several kilobytes.
            std::string text(1000 + random.Below(5000), 'x');
            for (char& c : text) c = static_cast<char>(random.Pick({'a', 'Z', '7', ',', ' ', '-'}));
            return text;
        }
        case 8: {
            std::string text = "hi";
            if (ascii) return text;
            for (int i = 0; i < 4; ++i) text += static_cast<char>(0xA0 + random.Below(0x60));
            return text;
        }
        case 9: return std::string("x\0y", 3);
        case 10: return std::string("\0lead", 5);
        case 11: return "trailing \t";
        default: return "tab\tinside";
    }
}

std::string LineEnding(Random& random, bool tidy) {
    if (tidy) return "\r\n";
    static const char* const endings[] = {"\r\n", "\r\n", "\r\n", "\n", "\n", "\r", "\r\n\r\n", "\n\r"};
    return random.Pick(endings);
}

// A settings file: `tidy` ones are already in the layout Windows writes.
std::string GenerateFile(Random& random, bool tidy) {
    std::string text;
    const bool bom = !tidy && random.Chance(5);
    if (bom) text += "\xEF\xBB\xBF";
    const int lines = 1 + random.Below(30);
    for (int line = 0; line < lines; ++line) {
        std::string body;
        const int kind = random.Below(line == 0 && random.Chance(50) ? 3 : 10);
        if (kind < 3) {
            // Keys, before any section when the file starts with them.
            body = Padding(random, tidy) + MixedCase(random, random.Pick(kKeys)) + Padding(random, tidy) + "=" +
                   Padding(random, tidy) + Value(random, tidy, bom) + Padding(random, tidy);
        } else if (kind < 6) {
            body = "[" + Padding(random, tidy) + MixedCase(random, random.Pick(kSections)) + Padding(random, tidy) + "]";
            if (!tidy && random.Chance(10)) body += random.Pick({" ; note", "]", "x]"});
            if (!tidy && random.Chance(5)) body = "[" + std::string(random.Pick(kSections));  // never closed
        } else if (kind < 8) {
            body = Padding(random, tidy) + MixedCase(random, random.Pick(kKeys)) + "=" + Value(random, tidy, bom);
        } else if (kind == 8) {
            body = random.Pick({"; comment", ";TIMER=5", "; [S]", "KEYONLY", "=novalue"});
        } else if (!tidy) {
            body = random.Pick({"", "   ", "\t", "\x1a"});
            if (random.Chance(20)) body = std::string("K\0EY=1", 6);
        } else {
            continue;
        }
        text += body;
        if (line + 1 < lines || tidy || random.Chance(60)) text += LineEnding(random, tidy);
    }
    return text;
}

struct Query {
    std::string section;
    std::string key;
};

// A dozen lookups, most of them of names the file may hold, spelled in
// mixed case and with white space around them.
std::vector<Query> Queries(Random& random) {
    std::vector<Query> queries;
    for (int i = 0; i < 12; ++i) {
        const std::string section = random.Chance(90) ? kSections[random.Below(4)] : "MISSING";
        const std::string key = random.Chance(90) ? kKeys[random.Below(6)] : "NOSUCH";
        queries.push_back({Padding(random, random.Chance(70)) + MixedCase(random, section),
                           MixedCase(random, key) + Padding(random, random.Chance(70))});
    }
    return queries;
}

// Printable text, from `from` on, with every other byte escaped.
std::string Shown(const std::string& text, std::size_t from = 0, std::size_t limit = 300) {
    std::string shown = from > 0 ? "..." : "";
    for (unsigned char c : text.substr(from, limit)) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        }
    }
    return from + limit < text.size() ? shown + "..." : shown;
}

std::string ReadBytes(const std::string& path) {
    return testsupport::ReadFile(path);
}

// One answer of a read: the count and the bytes it returned.
std::string StandInRead(const std::string& path, const Query& query, std::uint32_t size) {
    std::vector<char> buffer(size + 1, '#');
    std::uint32_t count = platform::ReadProfileStringFromFile(path, query.section.c_str(), query.key.c_str(), "DEF",
                                                              buffer.data(), size);
    return std::to_string(count) + ":" + std::string(buffer.data(), count);
}

std::string WindowsRead(const std::string& path, const Query& query, std::uint32_t size) {
    std::vector<char> buffer(size + 1, '#');
    DWORD count = GetPrivateProfileStringA(query.section.c_str(), query.key.c_str(), "DEF", buffer.data(), size,
                                           path.c_str());
    return std::to_string(count) + ":" + std::string(buffer.data(), count);
}

// Has Windows lay the file out again: a section added and removed leaves
// every entry as it was, in Windows' own layout.
std::string WindowsLayout(const std::string& path) {
    WritePrivateProfileStringA("~layout~", "k", "v", path.c_str());
    WritePrivateProfileStringA("~layout~", nullptr, nullptr, path.c_str());
    return ReadBytes(path);
}

class ProfileAgainstWindows : public testing::Test {
protected:
    void SetUp() override { folder_ = testsupport::TemporaryFolder(); }

    // Records a difference; the first few are shown from where they part.
    void Differ(int file, const std::string& what, const std::string& standIn, const std::string& windows) {
        ++differences_;
        if (differences_ > 12) return;
        std::size_t part = 0;
        while (part < standIn.size() && part < windows.size() && standIn[part] == windows[part]) ++part;
        const std::size_t from = part > 60 ? part - 60 : 0;
        ADD_FAILURE() << "file " << file << ": " << what << "\n  stand-in: " << Shown(standIn, from)
                      << "\n  Windows:  " << Shown(windows, from) << "\n  file:     " << Shown(source_, 0, 1500);
    }

    // Every lookup with a large buffer and as an integer, the first few also
    // with a buffer too short for most values.
    void CompareReads(int file, const std::vector<Query>& queries, const std::string& standInPath,
                      const std::string& windowsPath, const char* stage) {
        for (std::size_t i = 0; i < queries.size(); ++i) {
            const Query& query = queries[i];
            const std::string what = std::string(stage) + " read [" + Shown(query.section) + "] " + Shown(query.key);
            for (std::uint32_t size : {16384u, 6u}) {
                if (size == 6u && i >= 4) break;
                std::string ours = StandInRead(standInPath, query, size);
                std::string theirs = WindowsRead(windowsPath, query, size);
                if (ours != theirs) Differ(file, what + " size " + std::to_string(size), ours, theirs);
            }
            std::uint32_t ours = platform::ReadProfileIntFromFile(standInPath, query.section.c_str(), query.key.c_str(), 42);
            std::uint32_t theirs = GetPrivateProfileIntA(query.section.c_str(), query.key.c_str(), 42, windowsPath.c_str());
            if (ours != theirs) Differ(file, what + " as integer", std::to_string(ours), std::to_string(theirs));
        }
    }

    std::string folder_;
    std::string source_;
    int differences_ = 0;
};

TEST_F(ProfileAgainstWindows, GeneratedFilesReadAndWriteAlike) {
    Random random(kSeed);
    int tidyFiles = 0;
    for (int file = 0; file < kFileCount; ++file) {
        const bool tidy = random.Chance(20);
        source_ = GenerateFile(random, tidy);
        const std::vector<Query> queries = Queries(random);
        // Each side and each stage has a file of its own name, so no copy
        // Windows keeps of an earlier file can answer.
        const std::string base = folder_ + "\\f" + std::to_string(file);
        const std::string standInPath = base + "-standin.ini";
        const std::string windowsPath = base + "-windows.ini";
        testsupport::WriteFile(standInPath, source_);
        testsupport::WriteFile(windowsPath, source_);
        CompareReads(file, queries, standInPath, windowsPath, "first");

        // An existing key changed, then written again unchanged, a new key
        // in an existing section and a key in a new section.
        Query existing = queries[random.Below(static_cast<int>(queries.size()))];
        existing.key = MixedCase(random, kKeys[random.Below(6)]);
        const std::string changed = "V" + std::to_string(random.Next());
        // Names are padded in front only, for the same reason as values.
        const Query writes[] = {existing, existing, {Padding(random, false) + kSections[random.Below(4)], "NEWKEY"},
                                {"NEWSECTION", Padding(random, false) + "K"}};
        // A value written with white space after it keeps it in Windows'
        // file, but not once read back, so written values end without any.
        std::string fourth = Value(random, true, source_.compare(0, 3, "\xEF\xBB\xBF") == 0);
        while (!fourth.empty() && fourth.back() == ' ') fourth.pop_back();
        const std::string values[] = {changed, changed, "  padded value", fourth};
        for (int i = 0; i < 4; ++i) {
            const bool ours = platform::WriteProfileValueToFile(standInPath, writes[i].section.c_str(),
                                                                writes[i].key.c_str(), values[i].c_str());
            const bool theirs = WritePrivateProfileStringA(writes[i].section.c_str(), writes[i].key.c_str(),
                                                           values[i].c_str(), windowsPath.c_str()) != FALSE;
            if (ours != theirs) Differ(file, "write " + std::to_string(i), ours ? "ok" : "failed", theirs ? "ok" : "failed");
        }
        CompareReads(file, queries, standInPath, windowsPath, "after writes:");

        const std::string windowsWrote = ReadBytes(windowsPath);
        std::string standInWrote = ReadBytes(standInPath);
        const std::string laidOut = base + "-layout.ini";
        testsupport::WriteFile(laidOut, source_);
        if (WindowsLayout(laidOut) == source_) {
            ++tidyFiles;
            if (standInWrote != windowsWrote) Differ(file, "written file, already in Windows' layout", standInWrote, windowsWrote);
        }
        if (WindowsLayout(standInPath) != windowsWrote)
            Differ(file, "written file in Windows' layout", ReadBytes(standInPath), windowsWrote);
        for (const std::string& path : {standInPath, windowsPath, laidOut}) testsupport::RemoveFile(path);
    }
    EXPECT_EQ(differences_, 0) << "differences in " << kFileCount << " files";
    EXPECT_GE(tidyFiles, kFileCount / 10) << "files already in Windows' layout, compared as they stand";
}

}  // namespace
