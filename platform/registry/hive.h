#pragma once
// The HKEY_LOCAL_MACHINE hive in memory: a tree of keys read from the text of
// system.reg. A section nobody changed keeps its original text and is written
// back byte for byte; its values are only decoded when someone asks for them.

#include "platform/registry/hive_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

class Hive;

// Splits "a\b\c" into its components; false when one of them is empty.
bool split_path(std::u16string_view path, std::vector<std::u16string>& parts);

// Keys nest at most this deep, as in Windows' registry; a deeper file is
// refused, and the tree can be walked recursively without fear for the stack.
inline constexpr std::size_t kMaxKeyDepth = 512;

struct Key {
    std::u16string name;  // in the case first given
    Key* parent = nullptr;
    std::vector<std::unique_ptr<Key>> children;  // in the file's sort order
    std::vector<Value> values;                   // valid once details are loaded
    std::unique_ptr<std::u16string> class_name;
    std::uint64_t filetime = 0;
    // The original section: [gapBegin, bodyBegin) is the blank and comment
    // text before it, [bodyBegin, bodyEnd) the section itself.
    std::uint32_t gapBegin = 0;
    std::uint32_t bodyBegin = 0;
    std::uint32_t bodyEnd = 0;
    bool hasSection = false;
    bool detailsLoaded = false;
    bool changed = false;      // written anew, with its new time
    bool regenerate = false;   // written anew, with its old time (merged sections)
    bool isLink = false;
};

struct LoadError {
    unsigned line = 0;
    std::string message;
};

class Hive {
public:
    // A hive with no keys, whose file gets the header of a 32-bit prefix.
    Hive();
    // Reads the text of a registry file; null with *error set when it is malformed.
    static std::unique_ptr<Hive> parse(std::string text, LoadError* error);

    bool is_win64() const { return m_win64; }
    Key& root() { return m_root; }

    // The direct subkey of that name (case ignored), or null.
    Key* find_child(Key& parent, std::u16string_view name);
    // Adds a subkey (the name must not exist yet); both keys get the time now.
    Key& add_child(Key& parent, std::u16string_view name);
    // Removes a subkey with everything below it; the parent gets the time now.
    void remove_child(Key& parent, Key& child);

    // The key's values, its class and its time, decoded from its section on first use.
    std::vector<Value>& values(Key& key);
    std::uint64_t last_write_time(Key& key);
    const Value* find_value(Key& key, std::u16string_view name);
    void set_value(Key& key, Value value);
    bool delete_value(Key& key, std::u16string_view name);
    // The target of a link key ("\Registry\Machine\..."), or empty.
    std::u16string link_target(Key& key);

    // Marks a key as changed now: its section is written anew with the new time.
    void touch(Key& key);

    // Writes the whole file in pieces; stops and returns false when sink does.
    bool write(const std::function<bool(std::string_view)>& sink);

private:
    void load_details(Key& key);
    bool needs_section(Key& key);
    void write_section(std::string& out, Key& key);

    std::string m_text;
    std::string m_newHeader;
    std::uint32_t m_headerEnd = 0;
    std::uint32_t m_trailerBegin = 0;
    bool m_win64 = false;
    Key m_root;
};

}  // namespace platform::registry
