// A dialog template as the resource compiler stores it (DLGTEMPLATE or
// DLGTEMPLATEEX and its DLGITEMTEMPLATE(EX) items), read from its bytes.
// Shared by the simulated window system (from the compiled .res file) and
// the end-to-end driver (from the program's own resources).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace support {

// One control of a dialog template, in template order.
struct TemplateControl {
    std::string window_class;          // "Button", "Edit", "Static", "ComboBox", or the class named
    std::string text;                  // caption ("" when the title is a resource ordinal)
    int resource_id = 0;               // the title's ordinal (an SS_ICON static's icon), else 0
    int id = 0;                        // IDC_STATIC is -1
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    uint32_t style = 0;
    uint32_t ex_style = 0;
};

struct DialogTemplate {
    int id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    std::string caption;
    std::string font_face;
    int font_points = 0;
    std::vector<TemplateControl> controls;
};

// A little-endian reader over [pos, end) of a byte buffer; every read checks
// that it stays inside and throws std::runtime_error if not.
class LeReader {
public:
    LeReader(const uint8_t* bytes, size_t pos, size_t end);

    uint16_t Word();
    uint32_t Dword();
    int Short() { return static_cast<int16_t>(Word()); }
    void Skip(size_t n);
    // To the next multiple of 4 from the buffer's start.
    void AlignDword();
    // A NUL-ended UTF-16 string, kept 8-bit: code units above 0xFF become '?'.
    std::string String();
    // A counted UTF-16 string (a string-table entry), kept 8-bit.
    std::string CountedString();
    // A name or ordinal: 0xFFFF then a WORD ordinal, else a string. Returns
    // the ordinal, or -1 with the string in *text (when text is not null).
    int NameOrOrdinal(std::string* text);

private:
    void Need(size_t n) const;

    const uint8_t* bytes_;
    size_t pos_;
    size_t end_;
};

// Reads one dialog template (either layout) with its controls.
DialogTemplate ReadDialogTemplate(LeReader& in, int id);

// The style bit that says the template has a font record (DS_SETFONT).
constexpr uint32_t kTemplateSetFont = 0x40;

}  // namespace support
