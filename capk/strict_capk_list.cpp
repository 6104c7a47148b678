// The strict, whole reader of CAPK list files: lines, tags, keys.

#include "capk/strict_capk_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capk/strict_capk_values.h"
#include "core/capk_rules.h"

namespace {

enum Field { kRid, kIndex, kModulus, kExponent, kChecksum, kFieldCount };

// The tags as the window matches them, byte for byte at a line's start.
const char* const kTags[kFieldCount] = {"RID : \"", "INDEX : \"", "MODULUS : \"",
                                        "EXPONENT : ", "CHECKSUM : \""};
const char* const kNames[kFieldCount] = {"RID", "INDEX", "MODULUS", "EXPONENT", "CHECKSUM"};

// Longest line the window reads as one: its buffer holds 2047 characters.
constexpr size_t kLongestLine = kCapkFileLineSize - 1;

struct TaggedLine {
    enum Kind { kNone, kExact, kLookAlike } kind = kNone;
    Field field = kRid;
    std::string value;  // after the tag (exact lines only)
};

bool starts_with(const std::string& line, const char* tag)
{
    const size_t n = strlen(tag);
    return line.size() >= n && memcmp(line.data(), tag, n) == 0;
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A tag's name in any case after blanks, then blanks and a colon: what a
// person meant as that tag.
bool looks_like(const std::string& line, const char* name)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    for (const char* p = name; *p != '\0'; ++p, ++i) {
        if (i >= line.size() || upper(line[i]) != *p)
            return false;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i < line.size() && line[i] == ':';
}

TaggedLine classify(const std::string& line)
{
    TaggedLine t;
    for (int f = 0; f < kFieldCount; ++f) {
        if (starts_with(line, kTags[f])) {
            t.kind = TaggedLine::kExact;
            t.field = static_cast<Field>(f);
            t.value = line.substr(strlen(kTags[f]));
            return t;
        }
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (looks_like(line, kNames[f])) {
            t.kind = TaggedLine::kLookAlike;
            t.field = static_cast<Field>(f);
            return t;
        }
    }
    return t;
}

// The key being read: from its RID line until its CHECKSUM line.
struct Entry {
    bool open = false;
    bool bad = false;   // a problem was found; the key is not listed
    bool lost = false;  // its lines cannot be told apart from the next key's
    Field next = kRid;
    int64_t rid_line = 0;
    bool rid_read = false;
    bool index_read = false;
    CapkRecord record;
};

class Reader {
public:
    void line(const std::string& text);
    StrictCapkList finish();

private:
    void problem(int64_t line, const std::string& reason);
    void tagged(const TaggedLine& t);
    void look_alike(Field field);
    void open_entry(bool lost);
    void close_unfinished(const std::string& why);
    void read_value(Field field, const std::string& value);
    std::string read_hex_field(Field field, const std::string& value);
    std::string label() const;

    StrictCapkList list_;
    Entry entry_;
    int64_t line_ = 0;
};

void Reader::line(const std::string& text)
{
    ++line_;
    const TaggedLine t = classify(text);
    // The window reads a longer line in pieces, each as a line of its own.
    // Reported against the key it belongs to: a RID line's own key, which
    // it opens, or the key it ends.
    const bool too_long = text.size() > kLongestLine;
    const bool opens = t.kind == TaggedLine::kExact && t.field == kRid;
    const std::string reason = "line of " + std::to_string(text.size()) +
                               " characters, longer than the " + std::to_string(kLongestLine) +
                               " the window's reader takes at a time";
    if (too_long && !opens)
        problem(line_, reason);
    if (t.kind == TaggedLine::kExact)
        tagged(t);
    else if (t.kind == TaggedLine::kLookAlike)
        look_alike(t.field);
    if (too_long && opens)
        problem(line_, reason);
}

std::string Reader::label() const
{
    if (!entry_.open || !entry_.rid_read || !entry_.index_read)
        return "";
    char text[kCapkLabelSize];
    capk_label(&entry_.record, text);
    return text;
}

void Reader::problem(int64_t line, const std::string& reason)
{
    list_.problems.push_back({line, label(), reason});
    entry_.bad = true;
}

void Reader::open_entry(bool lost)
{
    entry_ = Entry();
    memset(&entry_.record, 0, sizeof entry_.record);
    entry_.open = true;
    entry_.lost = lost;
    entry_.bad = lost;
    entry_.next = kIndex;
    entry_.rid_line = line_;
}

// The open key ends before all its lines came: the window would take the
// missing ones from what follows.
void Reader::close_unfinished(const std::string& why)
{
    if (entry_.open && !entry_.lost) {
        list_.problems.push_back(
            {entry_.rid_line, label(),
             "key without its " + std::string(kNames[entry_.next]) + " line: " + why});
    }
    entry_.open = false;
}

void Reader::tagged(const TaggedLine& t)
{
    if (t.field == kRid) {
        close_unfinished("the next key starts at line " + std::to_string(line_) +
                         ", the two keys would run together");
        open_entry(false);
        read_value(kRid, t.value);
        return;
    }
    if (!entry_.open) {
        problem(line_,
                std::string(kNames[t.field]) + " line outside a key (no RID line before it)");
        return;
    }
    if (entry_.lost)
        return;
    if (t.field != entry_.next) {
        problem(line_, std::string(kNames[t.field]) + " line where the " + kNames[entry_.next] +
                           " line belongs: the key's lines are out of order or one is missing");
        entry_.lost = true;
        return;
    }
    read_value(t.field, t.value);
    if (t.field == kChecksum) {
        if (!entry_.bad) {
            list_.keys.push_back(entry_.record);
            list_.key_lines.push_back(entry_.rid_line);
            list_.key_checksums.push_back(true);
        }
        entry_.open = false;
    } else {
        entry_.next = static_cast<Field>(t.field + 1);
    }
}

void Reader::look_alike(Field field)
{
    const std::string reason = "looks like the " + std::string(kNames[field]) +
                               " tag but is not written exactly '" + kTags[field] +
                               "' at the line's start";
    if (field == kRid) {
        close_unfinished("a damaged RID line follows at line " + std::to_string(line_));
        open_entry(true);
        list_.problems.push_back({line_, "", reason});
        return;
    }
    if (!entry_.open) {
        list_.problems.push_back({line_, "", reason});
        return;
    }
    problem(line_, reason);
    entry_.lost = true;
}

std::string Reader::read_hex_field(Field field, const std::string& value)
{
    // The value ends at its closing quote; without one, at the line's end.
    const size_t quote = value.find('"');
    std::string text = value.substr(0, quote);
    if (quote == std::string::npos && !text.empty() && text.back() == '\r')
        text.pop_back();
    std::vector<uint8_t> bytes;
    const std::string bad = decode_list_hex(text, strlen(kTags[field]) + 1, bytes);
    if (!bad.empty())
        return bad;
    CapkRecord& r = entry_.record;
    const size_t n = bytes.size();
    const std::string has = "has " + std::to_string(n) + (n == 1 ? " byte" : " bytes");
    switch (field) {
        case kRid:
            if (n != sizeof r.rid)
                return has + ", must be 5";
            memcpy(r.rid, bytes.data(), n);
            entry_.rid_read = true;
            break;
        case kIndex:
            if (n != 1)
                return has + ", must be 1";
            r.index = bytes[0];
            entry_.index_read = true;
            break;
        case kModulus:
            if (n == 0 || n > static_cast<size_t>(kMaxModulusLength))
                return has + ", must be 1 to " + std::to_string(kMaxModulusLength);
            memcpy(r.modulus, bytes.data(), n);
            r.modulus_length = static_cast<int32_t>(n);
            break;
        default:
            if (n != sizeof r.checksum)
                return has + ", must be 20";
            memcpy(r.checksum, bytes.data(), n);
            break;
    }
    return "";
}

void Reader::read_value(Field field, const std::string& value)
{
    const std::string bad = field == kExponent ? read_list_exponent(value, entry_.record.exponent)
                                               : read_hex_field(field, value);
    if (!bad.empty())
        problem(line_, std::string(kNames[field]) + ": " + bad);
}

StrictCapkList Reader::finish()
{
    close_unfinished("the file ends first");
    std::stable_sort(
        list_.problems.begin(), list_.problems.end(),
        [](const CapkListProblem& a, const CapkListProblem& b) { return a.line < b.line; });
    return list_;
}

// Feeds the file's lines to reader; returns 0 or the errno of a failure.
int read_lines(FILE* file, Reader& reader)
{
    std::string line;
    char buffer[16384];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            if (buffer[i] != '\n') {
                line += buffer[i];
                continue;
            }
            reader.line(line);
            line.clear();
        }
    }
    const int error = ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    if (!line.empty())
        reader.line(line);
    return error;
}

}  // namespace

StrictCapkList read_strict_capk_text(const std::string& text)
{
    Reader reader;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            reader.line(text.substr(start));
            break;
        }
        reader.line(text.substr(start, end - start));
        start = end + 1;
    }
    return reader.finish();
}

StrictCapkList read_strict_capk_list(const std::string& path)
{
    errno = 0;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        StrictCapkList failed;
        failed.error = errno != 0 ? errno : EIO;
        return failed;
    }
    Reader reader;
    const int error = read_lines(file, reader);
    fclose(file);
    StrictCapkList list = reader.finish();
    list.error = error;
    return list;
}
