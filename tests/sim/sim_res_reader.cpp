// Reader of the compiled resource file: dialog templates, string table and
// icon groups, in the documented binary layouts.
#include <stdexcept>

#include "tests/sim/sim_resources.h"

namespace sim {
namespace detail {
namespace {

const int kTypeDialog = 5;
const int kTypeString = 6;
const int kTypeGroupIcon = 14;

// A little-endian cursor over [pos, end) of the file; every read checks that
// it stays inside.
class Cursor {
public:
    Cursor(const std::vector<uint8_t>& bytes, size_t pos, size_t end)
        : bytes_(bytes), pos_(pos), end_(end)
    {
        if (end_ > bytes_.size() || pos_ > end_)
            throw std::runtime_error("resource record runs past the end of the file");
    }

    uint16_t Word()
    {
        Need(2);
        uint16_t v = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t Dword()
    {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    int Short() { return static_cast<int16_t>(Word()); }
    void Skip(size_t n)
    {
        Need(n);
        pos_ += n;
    }
    void AlignDword() { pos_ = pos_ + 3 < end_ ? (pos_ + 3) & ~static_cast<size_t>(3) : end_; }
    size_t Pos() const { return pos_; }
    bool AtEnd() const { return pos_ >= end_; }

    // A NUL-ended UTF-16 string, kept 8-bit.
    std::string String()
    {
        std::string s;
        for (uint16_t c = Word(); c != 0; c = Word())
            s.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        return s;
    }
    // A name or ordinal: 0xFFFF then a WORD ordinal, else a string. Returns
    // the ordinal, or -1 with the string in *text.
    int NameOrOrdinal(std::string* text)
    {
        Need(2);
        if (bytes_[pos_] == 0xFF && bytes_[pos_ + 1] == 0xFF) {
            Word();
            return Word();
        }
        std::string s = String();
        if (text != nullptr)
            *text = s;
        return -1;
    }

private:
    void Need(size_t n) const
    {
        if (n > end_ - pos_)
            throw std::runtime_error("resource data ends inside a field");
    }

    const std::vector<uint8_t>& bytes_;
    size_t pos_;
    size_t end_;
};

// The predefined window classes a template names by atom.
std::string ClassOfAtom(int atom)
{
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(atom);
    }
}

void ReadRect(Cursor& c, int* x, int* y, int* cx, int* cy)
{
    *x = c.Short();
    *y = c.Short();
    *cx = c.Short();
    *cy = c.Short();
}

// One DLGITEMTEMPLATE(EX), from its DWORD-aligned start.
TemplateControl ReadItem(Cursor& c, bool ex)
{
    TemplateControl t;
    c.AlignDword();
    if (ex) {
        c.Dword();  // help id
        t.ex_style = c.Dword();
        t.style = c.Dword();
    } else {
        t.style = c.Dword();
        t.ex_style = c.Dword();
    }
    ReadRect(c, &t.x, &t.y, &t.cx, &t.cy);
    t.id = ex ? static_cast<int>(c.Dword()) : c.Short();
    int atom = c.NameOrOrdinal(&t.window_class);
    if (atom >= 0)
        t.window_class = ClassOfAtom(atom);
    t.resource_id = c.NameOrOrdinal(&t.text);
    if (t.resource_id < 0)
        t.resource_id = 0;
    c.Skip(c.Word());  // creation data
    return t;
}

DialogTemplate ReadDialog(Cursor& c, int id)
{
    DialogTemplate d;
    d.id = id;
    uint32_t first = c.Dword();
    // DLGTEMPLATEEX opens with version 1 and signature 0xFFFF.
    bool ex = first == 0xFFFF0001u;
    int count = 0;
    if (ex) {
        c.Dword();  // help id
        d.ex_style = c.Dword();
        d.style = c.Dword();
    } else {
        d.style = first;
        d.ex_style = c.Dword();
    }
    count = c.Word();
    ReadRect(c, &d.x, &d.y, &d.cx, &d.cy);
    c.NameOrOrdinal(nullptr);  // menu
    c.NameOrOrdinal(nullptr);  // window class
    d.caption = c.String();
    if (d.style & DS_SETFONT) {
        d.font_points = c.Word();
        if (ex) {
            c.Word();  // weight
            c.Word();  // italic, character set
        }
        d.font_face = c.String();
    }
    for (int i = 0; i < count; ++i)
        d.controls.push_back(ReadItem(c, ex));
    return d;
}

// Block n holds the strings (n - 1) * 16 .. n * 16 - 1; an empty one is absent.
void ReadStringBlock(Cursor& c, int block, std::map<UINT, std::string>& strings)
{
    for (UINT i = 0; i < 16; ++i) {
        std::string s;
        for (uint16_t n = c.Word(); n > 0; --n) {
            uint16_t ch = c.Word();
            s.push_back(ch <= 0xFF ? static_cast<char>(ch) : '?');
        }
        if (!s.empty())
            strings[static_cast<UINT>(block - 1) * 16 + i] = s;
    }
}

}  // namespace

Resources ReadResources(const std::vector<uint8_t>& bytes)
{
    Resources r;
    size_t pos = 0;
    while (pos + 8 <= bytes.size()) {
        Cursor head(bytes, pos, bytes.size());
        uint32_t data_size = head.Dword();
        uint32_t header_size = head.Dword();
        int type = head.NameOrOrdinal(nullptr);
        int name = head.NameOrOrdinal(nullptr);
        size_t data = pos + header_size;
        if (header_size < 8 || data > bytes.size() || data_size > bytes.size() - data)
            throw std::runtime_error("resource record runs past the end of the file");
        Cursor body(bytes, data, data + data_size);
        if (type == kTypeDialog && name >= 0)
            r.dialogs[name] = ReadDialog(body, name);
        else if (type == kTypeString && name > 0)
            ReadStringBlock(body, name, r.strings);
        else if (type == kTypeGroupIcon && name >= 0)
            r.icon_groups[name] = (body.Word(), body.Word(), body.Word());
        pos = (data + data_size + 3) & ~static_cast<size_t>(3);
    }
    return r;
}

}  // namespace detail
}  // namespace sim
