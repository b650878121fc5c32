// The hive in memory and its text: what is read, and what is written back.

#include "platform/registry/hive.h"
#include "platform/registry/hive_text.h"
#include "tests/platform/registry/registry_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform::registry;

namespace {

std::string write_all(Hive& hive)
{
    std::string out;
    EXPECT_TRUE(hive.write([&](std::string_view piece) {
        out += piece;
        return true;
    }));
    return out;
}

std::unique_ptr<Hive> parse_ok(const std::string& text)
{
    LoadError error;
    auto hive = Hive::parse(text, &error);
    EXPECT_TRUE(hive) << error.line << ": " << error.message;
    return hive;
}

Key* find_path(Hive& hive, std::initializer_list<std::u16string_view> parts)
{
    Key* key = &hive.root();
    for (auto part : parts) {
        key = hive.find_child(*key, part);
        if (!key)
            return nullptr;
    }
    return key;
}

std::string utf16le(std::u16string_view units)
{
    std::string bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n";

}  // namespace

TEST(HiveText, FilesWineWroteAreWrittenBackByteForByte)
{
    for (const char* name : registrytest::wine_files()) {
        std::string original = registrytest::wine_file(name);
        ASSERT_FALSE(original.empty()) << name;
        auto hive = parse_ok(original);
        ASSERT_TRUE(hive);
        EXPECT_TRUE(write_all(*hive) == original) << name;
    }
}

TEST(HiveText, EverySectionWrittenAnewMatchesWhatWineWrote)
{
    // Decoding every section and writing it from the model proves the writer
    // follows Wine's escapes, value forms, wrapping, order and section rule.
    for (const char* name : registrytest::wine_files()) {
        std::string original = registrytest::wine_file(name);
        auto hive = parse_ok(original);
        ASSERT_TRUE(hive);
        std::function<void(Key&)> regenerate = [&](Key& key) {
            for (auto& child : key.children) {
                hive->values(*child);
                child->regenerate = true;
                regenerate(*child);
            }
        };
        regenerate(hive->root());
        std::string written = write_all(*hive);
        if (written != original) {
            std::size_t at = 0;
            while (at < written.size() && at < original.size() && written[at] == original[at])
                ++at;
            ADD_FAILURE() << name << " differs at byte " << at << ":\nwritten: "
                          << written.substr(at > 80 ? at - 80 : 0, 200) << "\noriginal: "
                          << original.substr(at > 80 ? at - 80 : 0, 200);
        }
    }
}

TEST(HiveText, ValuesAreDecodedAsWineStoredThem)
{
    auto hive = parse_ok(registrytest::wine_file("wine-8.0-constructs-system.reg"));
    ASSERT_TRUE(hive);
    Key* key = find_path(*hive, {u"software", u"REGFMTTEST", u"Edge"});
    ASSERT_TRUE(key);
    // Key names are found whatever their case, and keep the case first given.
    EXPECT_EQ(key->parent->name, u"RegFmtTest");
    Key* jp = find_path(*hive, {u"Software", u"RegFmtTest", u"\u30df\u30e9\u30d9\u30ebLE \u8868"});
    EXPECT_TRUE(jp);
    Key* shell = find_path(*hive, {u"Software", u"Microsoft", u"Windows", u"CurrentVersion", u"Explorer",
                                   u"User Shell Folders"});
    ASSERT_TRUE(shell);
    const Value* startMenu = hive->find_value(*shell, u"common start menu");
    ASSERT_TRUE(startMenu);
    EXPECT_EQ(startMenu->type, 2u);
    EXPECT_EQ(startMenu->data, utf16le(std::u16string(u"%ProgramData%\\Microsoft\\Windows\\Start Menu") + u'\0'));
    Key* link = find_path(*hive, {u"Software", u"Wow6432Node", u"Classes"});
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->isLink);
    EXPECT_EQ(hive->link_target(*link), u"\\Registry\\Machine\\Software\\Classes\\Wow6432Node");
}

TEST(HiveText, ValueLinesAreWrittenInTheFormWineChooses)
{
    struct Case {
        const char* what;
        Value value;
        std::string line;
    };
    const Case cases[] = {
        {"default string", {u"", 1, utf16le(std::u16string(u"C:\\x") + u'\0')}, "@=\"C:\\\\x\"\n"},
        {"lone terminator", {u"e", 1, utf16le(std::u16string(1, u'\0'))}, "\"e\"=\"\"\n"},
        {"expand string", {u"P", 2, utf16le(std::u16string(u"%A%") + u'\0')}, "\"P\"=str(2):\"%A%\"\n"},
        {"multi string keeps inner NULs",
         {u"M", 7, utf16le(std::u16string(u"one\0two\0\0", 9))},
         "\"M\"=str(7):\"one\\0two\\0\"\n"},
        {"dword", {u"D", 4, std::string("\x78\x56\x34\x12", 4)}, "\"D\"=dword:12345678\n"},
        {"short dword", {u"D", 4, std::string("\x01\x02", 2)}, "\"D\"=hex(4):01,02\n"},
        {"string without terminator", {u"S", 1, utf16le(u"AB")}, "\"S\"=hex(1):41,00,42,00\n"},
        {"empty string type", {u"S", 1, ""}, "\"S\"=hex(1):\n"},
        {"binary", {u"B", 3, std::string("\x00\xff", 2)}, "\"B\"=hex:00,ff\n"},
        {"empty binary", {u"B", 3, ""}, "\"B\"=hex:\n"},
        {"none", {u"N", 0, ""}, "\"N\"=hex(0):\n"},
        {"large type", {u"T", 0xffff0000u, "\x01"}, "\"T\"=hex(ffff0000):01\n"},
        {"name escapes", {u"Name \"q\" \\ [b] = \u00e9", 1, utf16le(std::u16string(1, u'\0'))},
         "\"Name \\\"q\\\" \\\\ [b] = \\xe9\"=\"\"\n"},
        {"control characters", {u"C", 1, utf16le(std::u16string(u"a\tb\x01" u"5\x01x\x1b\a\x1f" u"7\x1f" u"8") + u'\0')},
         "\"C\"=\"a\\tb\\0015\\1x\\e\\a\\0377\\378\"\n"},
        {"non-ASCII before hex digits", {u"U", 1, utf16le(std::u16string(u"\u00e91 \u00fc \u03a9b \u03a9g \u8868a") + u'\0')},
         "\"U\"=\"\\x00e91 \\xfc \\x03a9b \\x3a9g \\x8868a\"\n"},
        {"surrogates", {u"E", 1, utf16le(std::u16string(u"\U0001F600") + u'\0')}, "\"E\"=\"\\xd83d\\xde00\"\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        write_value(out, c.value);
        EXPECT_EQ(out, c.line) << c.what;
        // What is written reads back to the same value.
        LineReader reader(out);
        std::string_view line;
        reader.next(line);
        Value back;
        std::string error;
        ASSERT_TRUE(parse_value(line, reader, &back, &error)) << c.what << ": " << error;
        EXPECT_EQ(back.data, c.value.data) << c.what;
        EXPECT_EQ(back.type, c.value.type) << c.what;
    }
}

TEST(HiveText, LongHexListsWrapAfterSeventySixCharacters)
{
    Value value{u"\u30d0\u30a4\u30ca\u30ea", 3, std::string(60, '\x11')};
    std::string out;
    write_value(out, value);
    // The name part counts 27 characters as written.
    std::string first = out.substr(0, out.find('\n'));
    EXPECT_EQ(first.back(), '\\');
    EXPECT_LE(first.size(), 80u);
    EXPECT_GE(first.size(), 78u);
    std::string second = out.substr(first.size() + 1, out.find('\n', first.size() + 1) - first.size() - 1);
    EXPECT_EQ(second.substr(0, 2), "  ");
    EXPECT_EQ(second.size(), 78u);  // 25 bytes and the backslash
}

TEST(HiveText, InputWineAcceptsIsReadAndKeptAsItWas)
{
    const std::string text =
        "WINE REGISTRY Version 2\r\n;; All keys relative to REGISTRY\\\\Machine\r\n\r\n#arch=win32\r\n\r\n"
        "  [Software\\\\B] 1796989371\r\n"
        "#time=1dd8964c0ed81d0\r\n"
        "; a comment\r\n"
        "\t\"Str\"=str:\"x\"\r\n"
        "\"Up\"=DWORD:ABCDEF01\r\n"
        "\"Spaced\" = hex:01 , 02,\\\r\n"
        "   03\r\n"
        "#unknown option\r\n"
        "\r\n"
        "[Software\\\\A]\r\n"
        "\"Only\"=\"seconds missing\"\r\n"
        "\r\n"
        "[software\\\\b] 5\r\n"
        "\"Str\"=\"later wins\"\r\n";
    auto hive = parse_ok(text);
    ASSERT_TRUE(hive);
    Key* b = find_path(*hive, {u"Software", u"B"});
    ASSERT_TRUE(b);
    EXPECT_EQ(hive->find_value(*b, u"str")->data, utf16le(std::u16string(u"later wins") + u'\0'));
    EXPECT_EQ(hive->find_value(*b, u"Up")->data, std::string("\x01\xef\xcd\xab", 4));
    EXPECT_EQ(hive->find_value(*b, u"Spaced")->data, std::string("\x01\x02\x03", 3));
    Key* a = find_path(*hive, {u"Software", u"A"});
    ASSERT_TRUE(a);
    EXPECT_TRUE(hive->find_value(*a, u"Only"));
}

TEST(HiveText, AnUnchangedHandWrittenFileIsWrittenBackAsItWas)
{
    const std::string text = kHeader +
                             "\n  [Software\\\\B] 1796989371\r\n; note\r\n\"Up\"=DWORD:ABCDEF01\r\n\r\n"
                             "[Software\\\\C]\n\"x\"=\"y\"";  // no LF at the very end
    auto hive = parse_ok(text);
    ASSERT_TRUE(hive);
    EXPECT_EQ(write_all(*hive), text);
}

// A key path of `depth` keys, escaped as the file holds it: a\\a\\...
static std::string nested_path(std::size_t depth)
{
    std::string path = "a";
    for (std::size_t i = 1; i < depth; ++i)
        path += "\\\\a";
    return path;
}

TEST(HiveText, KeysNestedAsDeepAsWindowsAllowsAreRead)
{
    const std::string text = kHeader + "\n[" + nested_path(kMaxKeyDepth) + "] 1\n";
    auto hive = parse_ok(text);
    ASSERT_TRUE(hive);
    EXPECT_EQ(write_all(*hive), text);
}

TEST(HiveText, MalformedFilesAreRefusedWithTheirLine)
{
    struct Case {
        const char* what;
        std::string text;
        unsigned line;
    };
    const Case cases[] = {
        {"bad header line", "WINE REGISTRY Version 3\n\n[A]\n", 1},
        {"empty file", "", 1},
        {"unterminated string", kHeader + "\n[A] 1\n\"v\"=\"abc\n", 7},
        {"unterminated value name", kHeader + "\n[A] 1\n\"v=\"abc\"\n", 7},
        {"bad escape at the end", kHeader + "\n[A] 1\n\"v\"=\"abc\\", 7},
        {"bad hex", kHeader + "\n[A] 1\n\"v\"=hex:01,zz\n", 7},
        {"byte above ff", kHeader + "\n[A] 1\n\"v\"=hex:100\n", 7},
        {"blank after hex tag", kHeader + "\n[A] 1\n\"v\"=hex: 01\n", 7},
        {"bad dword", kHeader + "\n[A] 1\n\"v\"=dword:xyz\n", 7},
        {"key line without ]", kHeader + "\n[A\\\\B 1\n", 6},
        {"empty key name", kHeader + "\n[A\\\\\\\\B] 1\n", 6},
        {"truncated in a hex list", kHeader + "\n[A] 1\n\"v\"=hex:01,02,\\\n", 7},
        {"truncated in a string", kHeader + "\n[A] 1\n\"v\"=\"C:\\\\Prog", 7},
        {"unrecognized line", kHeader + "\n[A] 1\nnonsense\n", 7},
        {"value before any key", kHeader + "\"v\"=\"x\"\n", 5},
        {"bad time", kHeader + "\n[A] 1\n#time=xyz\n", 7},
        // Deeper than Windows lets keys nest: writing such a tree back would
        // run out of stack.
        {"keys nested too deep", kHeader + "\n[" + nested_path(513) + "] 1\n", 6},
    };
    for (const auto& c : cases) {
        LoadError error;
        auto hive = Hive::parse(c.text, &error);
        EXPECT_FALSE(hive) << c.what;
        EXPECT_EQ(error.line, c.line) << c.what << ": " << error.message;
        EXPECT_FALSE(error.message.empty()) << c.what;
    }
}

TEST(HiveText, KeyTimesAreWrittenInBothForms)
{
    std::string out;
    write_key_times(out, filetime_from_seconds(0));
    EXPECT_EQ(out, " 0\n#time=19db1ded53e8000\n");
    std::uint64_t filetime = 0;
    ASSERT_TRUE(parse_time_option("#time=1dd8964c0ed81d0", &filetime));
    EXPECT_EQ(seconds_from_filetime(filetime), 1796989371u);
}
