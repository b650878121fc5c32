#include "platform/registry/hive.h"

#include <algorithm>
#include <limits>

namespace platform::registry {
namespace {

constexpr std::string_view kHeaderLine = "WINE REGISTRY Version 2";
constexpr std::string_view kNewFileHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n";
constexpr std::uint32_t kRegLink = 6;

std::string_view trim_end(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Position of the first child not ordered before name.
std::vector<std::unique_ptr<Key>>::iterator lower_bound_child(Key& parent, std::u16string_view name)
{
    return std::lower_bound(parent.children.begin(), parent.children.end(), name,
                            [](const std::unique_ptr<Key>& child, std::u16string_view n) {
                                return compare_names(child->name, n) < 0;
                            });
}

Key& insert_child(Key& parent, std::u16string_view name)
{
    auto it = parent.children.end();
    if (!parent.children.empty() && compare_names(parent.children.back()->name, name) >= 0)
        it = lower_bound_child(parent, name);
    auto key = std::make_unique<Key>();
    key->name = std::u16string(name);
    key->parent = &parent;
    return **parent.children.insert(it, std::move(key));
}

void set_in(std::vector<Value>& values, Value value)
{
    for (auto& existing : values) {
        if (compare_names(existing.name, value.name) == 0) {
            existing.type = value.type;
            existing.data = std::move(value.data);
            return;
        }
    }
    values.push_back(std::move(value));
}

void write_key_path(std::string& out, const Key& key)
{
    if (key.parent && key.parent->parent) {
        write_key_path(out, *key.parent);
        out += "\\\\";
    }
    write_escaped(out, key.name, ']');
}

}  // namespace

bool split_path(std::u16string_view path, std::vector<std::u16string>& parts)
{
    parts.clear();
    std::size_t start = 0;
    while (true) {
        std::size_t stop = path.find(u'\\', start);
        std::u16string_view part = path.substr(start, stop == std::u16string_view::npos ? stop : stop - start);
        if (part.empty())
            return false;
        parts.emplace_back(part);
        if (stop == std::u16string_view::npos)
            return true;
        start = stop + 1;
    }
}

Hive::Hive() : m_newHeader(kNewFileHeader)
{
    m_root.hasSection = false;
    m_root.detailsLoaded = true;
}

std::unique_ptr<Hive> Hive::parse(std::string text, LoadError* error)
{
    auto hive = std::make_unique<Hive>();
    hive->m_newHeader.clear();
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        *error = {1, "file too large"};
        return nullptr;
    }
    hive->m_text = std::move(text);
    std::string_view all = hive->m_text;
    LineReader reader(all);
    std::string_view line;
    if (!reader.next(line) || line != kHeaderLine) {
        *error = {1, all.empty() ? "truncated file: no header" : "not a registry file: the first line is not \"WINE REGISTRY Version 2\""};
        return nullptr;
    }

    std::uint32_t contentEnd = static_cast<std::uint32_t>(reader.position());
    std::uint64_t loadTime = filetime_now();
    Key* current = nullptr;
    bool merging = false;
    std::vector<std::u16string> parts;
    std::vector<std::u16string> lastParts;
    std::vector<Key*> lastChain;
    std::string message;
    auto fail = [&](unsigned lineNumber, std::string what) {
        *error = {lineNumber, std::move(what)};
        return nullptr;
    };

    while (true) {
        std::uint32_t lineStart = static_cast<std::uint32_t>(reader.position());
        if (!reader.next(line))
            break;
        unsigned lineNumber = reader.line_number();
        std::string_view t = skip_blanks(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '[') {
            if (!current)
                hive->m_headerEnd = contentEnd;
            if (current && !merging)
                current->bodyEnd = contentEnd;
            std::u16string path;
            bool hasSeconds = false;
            std::uint64_t seconds = 0;
            if (!parse_key_header(t, path, &hasSeconds, &seconds, &message))
                return fail(lineNumber, message);
            if (!split_path(path, parts))
                return fail(lineNumber, "empty key name in the path");
            if (parts.size() > kMaxKeyDepth)
                return fail(lineNumber, "key nested more than " + std::to_string(kMaxKeyDepth) + " levels deep");
            // Sections come in tree order, so the previous section's keys
            // are usually the start of this one's path.
            std::size_t shared = 0;
            while (shared < parts.size() && shared < lastParts.size() && parts[shared] == lastParts[shared])
                ++shared;
            lastChain.resize(shared);
            Key* key = shared ? lastChain.back() : &hive->m_root;
            for (std::size_t i = shared; i < parts.size(); ++i) {
                Key* child = hive->find_child(*key, parts[i]);
                if (!child) {
                    child = &insert_child(*key, parts[i]);
                    child->filetime = loadTime;
                }
                key = child;
                lastChain.push_back(key);
            }
            lastParts.swap(parts);
            current = key;
            merging = key->hasSection;
            if (merging) {
                // A second section of the same key adds to the first; the key
                // is then written as one section.
                hive->load_details(*key);
                key->regenerate = true;
                if (hasSeconds)
                    key->filetime = filetime_from_seconds(seconds);
            } else {
                key->hasSection = true;
                key->gapBegin = contentEnd;
                key->bodyBegin = lineStart;
            }
            contentEnd = static_cast<std::uint32_t>(reader.position());
            continue;
        }
        if (t[0] == '#') {
            std::string_view option = trim_end(t);
            if (!current) {
                if (option.substr(0, 6) == "#arch=")
                    hive->m_win64 = option.substr(6) == "win64";
            } else if (option == "#link") {
                current->isLink = true;
            } else if (option.substr(0, 7) == "#class=") {
                std::u16string name;
                std::size_t used = 0;
                if (option.size() < 8 || option[7] != '"' || !read_escaped(option.substr(8), '"', name, &used, &message))
                    return fail(lineNumber, "bad #class line");
                if (merging)
                    current->class_name = std::make_unique<std::u16string>(std::move(name));
            } else if (option.substr(0, 6) == "#time=") {
                std::uint64_t filetime = 0;
                if (!parse_time_option(option, &filetime))
                    return fail(lineNumber, "bad #time line");
                if (merging)
                    current->filetime = filetime;
            }
            contentEnd = static_cast<std::uint32_t>(reader.position());
            continue;
        }
        if (t[0] == '@' || t[0] == '"') {
            if (!current)
                return fail(lineNumber, "value before the first key");
            Value value;
            if (!parse_value(line, reader, merging ? &value : nullptr, &message))
                return fail(reader.line_number(), message);
            if (merging)
                set_in(current->values, std::move(value));
            contentEnd = static_cast<std::uint32_t>(reader.position());
            continue;
        }
        return fail(lineNumber, "unrecognized line");
    }
    if (current && !merging)
        current->bodyEnd = contentEnd;
    if (!current)
        hive->m_headerEnd = contentEnd;
    hive->m_trailerBegin = contentEnd;
    return hive;
}

Key* Hive::find_child(Key& parent, std::u16string_view name)
{
    if (parent.children.empty())
        return nullptr;
    // Sections usually arrive in order: check the last child first.
    if (compare_names(parent.children.back()->name, name) == 0)
        return parent.children.back().get();
    auto it = lower_bound_child(parent, name);
    if (it != parent.children.end() && compare_names((*it)->name, name) == 0)
        return it->get();
    return nullptr;
}

Key& Hive::add_child(Key& parent, std::u16string_view name)
{
    Key& key = insert_child(parent, name);
    key.detailsLoaded = true;
    key.changed = true;
    key.filetime = filetime_now();
    touch(parent);
    return key;
}

void Hive::remove_child(Key& parent, Key& child)
{
    auto it = std::find_if(parent.children.begin(), parent.children.end(),
                           [&](const std::unique_ptr<Key>& k) { return k.get() == &child; });
    if (it != parent.children.end())
        parent.children.erase(it);
    touch(parent);
}

void Hive::load_details(Key& key)
{
    if (key.detailsLoaded)
        return;
    key.detailsLoaded = true;
    if (!key.hasSection)
        return;
    LineReader reader(m_text, key.bodyBegin, key.bodyEnd);
    std::string_view line;
    std::string message;
    reader.next(line);
    std::u16string path;
    bool hasSeconds = false;
    std::uint64_t seconds = 0;
    if (parse_key_header(line, path, &hasSeconds, &seconds, &message) && hasSeconds)
        key.filetime = filetime_from_seconds(seconds);
    while (reader.next(line)) {
        std::string_view t = skip_blanks(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t[0] == '#') {
            std::string_view option = trim_end(t);
            std::uint64_t filetime = 0;
            if (parse_time_option(option, &filetime)) {
                key.filetime = filetime;
            } else if (option.substr(0, 8) == "#class=\"") {
                std::u16string name;
                std::size_t used = 0;
                if (read_escaped(option.substr(8), '"', name, &used, &message))
                    key.class_name = std::make_unique<std::u16string>(std::move(name));
            }
            continue;
        }
        Value value;
        if (parse_value(line, reader, &value, &message))
            set_in(key.values, std::move(value));
    }
}

std::vector<Value>& Hive::values(Key& key)
{
    load_details(key);
    return key.values;
}

std::uint64_t Hive::last_write_time(Key& key)
{
    load_details(key);
    return key.filetime;
}

const Value* Hive::find_value(Key& key, std::u16string_view name)
{
    for (const auto& value : values(key))
        if (compare_names(value.name, name) == 0)
            return &value;
    return nullptr;
}

void Hive::set_value(Key& key, Value value)
{
    load_details(key);
    set_in(key.values, std::move(value));
    touch(key);
}

bool Hive::delete_value(Key& key, std::u16string_view name)
{
    auto& list = values(key);
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const Value& v) { return compare_names(v.name, name) == 0; });
    if (it == list.end())
        return false;
    list.erase(it);
    touch(key);
    return true;
}

std::u16string Hive::link_target(Key& key)
{
    if (!key.isLink)
        return {};
    const Value* value = find_value(key, u"SymbolicLinkValue");
    if (!value || value->type != kRegLink)
        return {};
    std::u16string target(value->data.size() / 2, u'\0');
    for (std::size_t i = 0; i < target.size(); ++i)
        target[i] = static_cast<char16_t>(static_cast<unsigned char>(value->data[2 * i]) |
                                          (static_cast<unsigned char>(value->data[2 * i + 1]) << 8));
    while (!target.empty() && target.back() == u'\0')
        target.pop_back();
    return target;
}

void Hive::touch(Key& key)
{
    if (&key == &m_root)
        return;
    load_details(key);
    key.changed = true;
    key.filetime = filetime_now();
}

bool Hive::needs_section(Key& key)
{
    if (key.children.empty() || key.isLink || key.class_name)
        return true;
    if (key.detailsLoaded)
        return !key.values.empty();
    return key.hasSection;
}

void Hive::write_section(std::string& out, Key& key)
{
    out += '[';
    write_key_path(out, key);
    out += ']';
    write_key_times(out, key.filetime);
    if (key.class_name) {
        out += "#class=\"";
        write_escaped(out, *key.class_name, '"');
        out += "\"\n";
    }
    if (key.isLink)
        out += "#link\n";
    std::vector<const Value*> sorted;
    sorted.reserve(key.values.size());
    for (const auto& value : key.values)
        sorted.push_back(&value);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Value* a, const Value* b) { return compare_names(a->name, b->name) < 0; });
    for (const Value* value : sorted)
        write_value(out, *value);
}

bool Hive::write(const std::function<bool(std::string_view)>& sink)
{
    std::string_view all = m_text;
    std::string buffer;
    bool endsWithNewline = true;
    constexpr std::size_t kFlushSize = 1 << 16;

    auto put = [&](std::string_view piece) {
        if (piece.empty())
            return true;
        buffer += piece;
        endsWithNewline = piece.back() == '\n';
        if (buffer.size() < kFlushSize)
            return true;
        bool ok = sink(buffer);
        buffer.clear();
        return ok;
    };
    auto end_line = [&]() { return endsWithNewline || put("\n"); };

    if (!put(m_newHeader.empty() ? all.substr(0, m_headerEnd) : std::string_view(m_newHeader)))
        return false;

    std::string section;
    std::function<bool(Key&)> walk = [&](Key& parent) {
        for (auto& child : parent.children) {
            Key& key = *child;
            if (key.hasSection && !key.changed && !key.regenerate) {
                if (!end_line() || !put(all.substr(key.gapBegin, key.bodyBegin - key.gapBegin)) ||
                    !put(all.substr(key.bodyBegin, key.bodyEnd - key.bodyBegin)))
                    return false;
            } else if (needs_section(key)) {
                load_details(key);
                section.clear();
                write_section(section, key);
                std::string_view gap = key.hasSection ? all.substr(key.gapBegin, key.bodyBegin - key.gapBegin)
                                                      : std::string_view("\n");
                if (gap.empty())
                    gap = "\n";
                if (!end_line() || !put(gap) || !put(section))
                    return false;
            }
            if (!walk(key))
                return false;
        }
        return true;
    };
    if (!walk(m_root))
        return false;
    if (m_newHeader.empty() && !put(all.substr(m_trailerBegin)))
        return false;
    return buffer.empty() || sink(buffer);
}

}  // namespace platform::registry
