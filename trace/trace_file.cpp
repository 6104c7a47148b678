// Reading APDU trace files into exchanges.

#include "trace/trace_file.h"

#include <cctype>
#include <optional>

#include "core/strict_hex.h"

namespace {

enum class LineKind { kSkip, kCommand, kResponse };

struct TraceLine {
    LineKind kind = LineKind::kSkip;
    std::vector<uint8_t> bytes;
};

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// The hex of a line read strictly, as the program's hex arguments are: blanks
// before, between and after bytes, never inside one; a bad character named
// by its position in the line.
std::vector<uint8_t> line_hex(int number, const std::string& line)
{
    std::vector<uint8_t> bytes;
    StrictHex hex;
    if (!hex.feed(line.data(), line.size(), bytes) || !hex.finish())
        throw TraceError(number, hex.problem());
    return bytes;
}

size_t skip_blanks(const std::string& line, size_t i)
{
    while (i < line.size() && is_blank(line[i]))
        ++i;
    return i;
}

bool starts_with_word(const std::string& line, size_t i, const char* word)
{
    for (; *word != '\0'; ++word, ++i) {
        if (i >= line.size() || toupper(static_cast<unsigned char>(line[i])) != *word)
            return false;
    }
    return true;
}

// Where a marker ends and which kind of line it starts, or kSkip when the
// text at i is no marker.
LineKind read_marker(const std::string& line, size_t& i)
{
    const char first = line[i];
    if (first == '>' || first == '<') {
        while (i < line.size() && line[i] == first)
            ++i;
        return first == '>' ? LineKind::kCommand : LineKind::kResponse;
    }
    for (const char* word : {"C-APDU:", "R-APDU:"}) {
        if (starts_with_word(line, i, word)) {
            i += 7;
            return word[0] == 'C' ? LineKind::kCommand : LineKind::kResponse;
        }
    }
    return LineKind::kSkip;
}

// Where a trailing "( ... )" annotation starts, or the line's length.
size_t annotation_start(const std::string& line, size_t from)
{
    size_t end = line.size();
    while (end > from && is_blank(line[end - 1]))
        --end;
    if (end == from || line[end - 1] != ')')
        return line.size();
    const size_t open = line.find('(', from);
    return open == std::string::npos ? line.size() : open;
}

TraceLine parse_line(int number, std::string line)
{
    TraceLine out;
    size_t i = skip_blanks(line, 0);
    if (i == line.size() || line[i] == '#')
        return out;
    while (line[i] == '[') {
        const size_t close = line.find(']', i);
        if (close == std::string::npos) {
            throw TraceError(number, "'[' at position " + std::to_string(i + 1) + " is not closed");
        }
        i = skip_blanks(line, close + 1);
        if (i == line.size())
            break;
    }
    out.kind = i < line.size() ? read_marker(line, i) : LineKind::kSkip;
    if (out.kind == LineKind::kSkip) {
        throw TraceError(number, "neither a command ('>' or C-APDU:) nor a response "
                                 "('<' or R-APDU:)");
    }
    // The hex alone, every other character blanked: a bad digit is then
    // named by its position in the line.
    const size_t annotation = annotation_start(line, i);
    line.replace(0, i, i, ' ');
    line.replace(annotation, line.size() - annotation, line.size() - annotation, ' ');
    out.bytes = line_hex(number, line);
    return out;
}

void check_length(int number, const TraceLine& line)
{
    const size_t n = line.bytes.size();
    if (line.kind == LineKind::kCommand && n < 4) {
        throw TraceError(number, "a command has at least CLA INS P1 P2, this one " +
                                     std::to_string(n) + (n == 1 ? " byte" : " bytes"));
    }
    if (line.kind == LineKind::kResponse && n < 2) {
        throw TraceError(number, "a response has at least SW1 SW2, this one " + std::to_string(n) +
                                     (n == 1 ? " byte" : " bytes"));
    }
}

// Where the line from start ends (its length excluded the line end), and
// where the next one starts: LF, CR LF and a CR alone all end a line.
size_t line_end(const std::string& text, size_t start, size_t& next)
{
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
        next = text.size() + 1;
        return text.size();
    }
    next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n')
        ++next;
    return end;
}

void check_not_empty(const Trace& trace)
{
    if (!trace.exchanges.empty())
        return;
    throw TraceError(0, trace.unanswered.empty() ? "no command in the trace"
                                                 : "no command in the trace has a response");
}

}  // namespace

Trace read_trace(const std::string& text)
{
    Trace trace;
    std::optional<TraceExchange> pending;
    // A byte order mark some editors put before UTF-8 text.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start <= text.size(); ++number) {
        size_t next = 0;
        const size_t end = line_end(text, start, next);
        const TraceLine line = parse_line(number, text.substr(start, end - start));
        start = next;
        check_length(number, line);
        if (line.kind == LineKind::kCommand) {
            if (pending)
                trace.unanswered.push_back(pending->command_line);
            pending = TraceExchange{line.bytes, {}, number, 0};
        } else if (line.kind == LineKind::kResponse) {
            if (!pending)
                throw TraceError(number, "a response without its command");
            pending->response = line.bytes;
            pending->response_line = number;
            trace.exchanges.push_back(*pending);
            pending.reset();
        }
    }
    if (pending)
        trace.unanswered.push_back(pending->command_line);
    check_not_empty(trace);
    return trace;
}
