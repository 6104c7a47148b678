#include "tests/support/dialog_template.h"

#include <cctype>
#include <stdexcept>

namespace support {

LeReader::LeReader(const uint8_t* bytes, size_t pos, size_t end)
    : bytes_(bytes), pos_(pos), end_(end)
{
    if (pos_ > end_)
        throw std::runtime_error("resource data: a record runs past its end");
}

void LeReader::Need(size_t n) const
{
    if (n > end_ - pos_)
        throw std::runtime_error("resource data ends inside a field");
}

uint16_t LeReader::Word()
{
    Need(2);
    uint16_t v = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
}

uint32_t LeReader::Dword()
{
    uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
}

void LeReader::Skip(size_t n)
{
    Need(n);
    pos_ += n;
}

void LeReader::AlignDword()
{
    size_t aligned = (pos_ + 3) & ~static_cast<size_t>(3);
    pos_ = aligned < end_ ? aligned : end_;
}

static char Narrow(uint16_t unit)
{
    return unit <= 0xFF ? static_cast<char>(unit) : '?';
}

std::string LeReader::String()
{
    std::string s;
    for (uint16_t c = Word(); c != 0; c = Word())
        s.push_back(Narrow(c));
    return s;
}

std::string LeReader::CountedString()
{
    std::string s;
    for (uint16_t n = Word(); n > 0; --n)
        s.push_back(Narrow(Word()));
    return s;
}

int LeReader::NameOrOrdinal(std::string* text)
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

namespace {

// The predefined window classes a template names by atom.
std::string ClassOfAtom(int atom)
{
    switch (atom) {
        case 0x80:
            return "Button";
        case 0x81:
            return "Edit";
        case 0x82:
            return "Static";
        case 0x83:
            return "ListBox";
        case 0x84:
            return "ScrollBar";
        case 0x85:
            return "ComboBox";
        default:
            return "#" + std::to_string(atom);
    }
}

// Class names are case-insensitive: a predefined class named by a string
// ("BUTTON") is spelled as the system spells it ("Button").
std::string CanonicalClass(const std::string& name)
{
    for (int atom = 0x80; atom <= 0x85; ++atom) {
        std::string known = ClassOfAtom(atom);
        bool same = known.size() == name.size();
        for (size_t i = 0; same && i < name.size(); ++i)
            same = std::tolower(static_cast<unsigned char>(known[i])) ==
                   std::tolower(static_cast<unsigned char>(name[i]));
        if (same)
            return known;
    }
    return name;
}

void ReadRect(LeReader& in, int* x, int* y, int* cx, int* cy)
{
    *x = in.Short();
    *y = in.Short();
    *cx = in.Short();
    *cy = in.Short();
}

// One DLGITEMTEMPLATE(EX), from its DWORD-aligned start.
TemplateControl ReadItem(LeReader& in, bool ex)
{
    TemplateControl t;
    in.AlignDword();
    if (ex) {
        in.Dword();  // help id
        t.ex_style = in.Dword();
        t.style = in.Dword();
    } else {
        t.style = in.Dword();
        t.ex_style = in.Dword();
    }
    ReadRect(in, &t.x, &t.y, &t.cx, &t.cy);
    t.id = ex ? static_cast<int32_t>(in.Dword()) : in.Short();
    int atom = in.NameOrOrdinal(&t.window_class);
    t.window_class = atom >= 0 ? ClassOfAtom(atom) : CanonicalClass(t.window_class);
    t.resource_id = in.NameOrOrdinal(&t.text);
    if (t.resource_id < 0)
        t.resource_id = 0;
    in.Skip(in.Word());  // creation data
    return t;
}

}  // namespace

DialogTemplate ReadDialogTemplate(LeReader& in, int id)
{
    DialogTemplate d;
    d.id = id;
    uint32_t first = in.Dword();
    // DLGTEMPLATEEX opens with version 1 and signature 0xFFFF.
    bool ex = first == 0xFFFF0001u;
    if (ex) {
        in.Dword();  // help id
        d.ex_style = in.Dword();
        d.style = in.Dword();
    } else {
        d.style = first;
        d.ex_style = in.Dword();
    }
    int count = in.Word();
    ReadRect(in, &d.x, &d.y, &d.cx, &d.cy);
    in.NameOrOrdinal(nullptr);  // menu
    in.NameOrOrdinal(nullptr);  // window class
    d.caption = in.String();
    if (d.style & kTemplateSetFont) {
        d.font_points = in.Word();
        if (ex) {
            in.Word();  // weight
            in.Word();  // italic, character set
        }
        d.font_face = in.String();
    }
    for (int i = 0; i < count; ++i)
        d.controls.push_back(ReadItem(in, ex));
    return d;
}

}  // namespace support
