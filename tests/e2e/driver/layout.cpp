#include "tests/e2e/driver/layout.h"

#include <cmath>
#include <vector>

#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

// Pixels per dialog unit may round differently from the system's own
// conversion; two pixels of slack still catch a misplaced control.
constexpr double kSlackPx = 2.0;

enum class Kind { kButton, kDropList, kText, kIcon, kEdit };

Kind KindOf(const support::TemplateControl& c)
{
    if (c.window_class == "ComboBox")
        return Kind::kDropList;
    if (c.window_class == "Edit")
        return Kind::kEdit;
    if (c.window_class == "Static")
        return (c.style & SS_TYPEMASK) == SS_ICON ? Kind::kIcon : Kind::kText;
    return Kind::kButton;
}

// The style bits that tell a control's kind: its type, and for edits and
// drop-down lists the bits the behaviour depends on.
LONG KindMask(Kind kind)
{
    switch (kind) {
        case Kind::kButton:
            return BS_TYPEMASK;
        case Kind::kDropList:
            return 0x3 | CBS_SORT;
        case Kind::kText:
        case Kind::kIcon:
            return SS_TYPEMASK;
        case Kind::kEdit:
            return ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    }
    return 0;
}

void CheckFact(const std::string& where, const char* fact, bool got, bool want)
{
    if (got != want)
        Fail(Fmt("%s: %s is %s", where.c_str(), fact, got ? "set" : "not set"));
}

void CheckFacts(HWND control, const support::TemplateControl& c, Kind kind,
                const std::string& where)
{
    LONG style = Style(control);
    LONG mask = KindMask(kind);
    if ((style & mask) != (static_cast<LONG>(c.style) & mask))
        Fail(Fmt("%s: style 0x%08lX is not of its kind (template 0x%08lX)", where.c_str(), style,
                 static_cast<unsigned long>(c.style)));
    auto has = [&](uint32_t bit) { return (c.style & bit) != 0; };
    CheckFact(where, "WS_TABSTOP", (style & WS_TABSTOP) != 0, has(WS_TABSTOP));
    CheckFact(where, "WS_GROUP", (style & WS_GROUP) != 0, has(WS_GROUP));
    CheckFact(where, "visible", Visible(control), has(WS_VISIBLE));
    CheckFact(where, "enabled", Enabled(control), !has(WS_DISABLED));
    // A combo box hands its scroll bar style on to its list.
    if (kind != Kind::kDropList)
        CheckFact(where, "WS_VSCROLL", (style & WS_VSCROLL) != 0, has(WS_VSCROLL));
    if (kind == Kind::kEdit) {
        CheckFact(where, "ES_READONLY", ReadOnly(control), has(ES_READONLY));
        CheckFact(where, "ES_WANTRETURN", (style & ES_WANTRETURN) != 0, has(ES_WANTRETURN));
        bool border = (style & WS_BORDER) != 0 || (ExStyle(control) & WS_EX_CLIENTEDGE) != 0;
        CheckFact(where, "border", border, has(WS_BORDER));
    }
    if (kind == Kind::kText)
        CheckFact(where, "SS_NOPREFIX", (style & SS_NOPREFIX) != 0, has(SS_NOPREFIX));
}

void CheckPlace(HWND control, const support::TemplateControl& c, Kind kind,
                const std::string& where, double sx, double sy)
{
    RECT r = RectInParent(control);
    struct {
        const char* name;
        double got, want;
    } sides[] = {
        {"x", static_cast<double>(r.left), c.x * sx},
        {"y", static_cast<double>(r.top), c.y * sy},
        {"width", static_cast<double>(r.right - r.left), c.cx * sx},
        {"height", static_cast<double>(r.bottom - r.top), c.cy * sy},
    };
    // A drop-down list's template height is that of the opened list; an icon
    // sizes itself to its image.
    int checked = kind == Kind::kDropList ? 3 : kind == Kind::kIcon ? 2 : 4;
    for (int i = 0; i < checked; ++i) {
        if (std::fabs(sides[i].got - sides[i].want) > kSlackPx) {
            Fail(Fmt("%s: %s is %.0f px, the template puts it at %.1f px", where.c_str(),
                     sides[i].name, sides[i].got, sides[i].want));
        }
    }
}

}  // namespace

void CheckLayout(HWND dialog, const char* name, const support::DialogTemplate& t,
                 const std::map<int, std::string>& start_texts)
{
    RECT client{};
    GetClientRect(dialog, &client);
    double sx = client.right / static_cast<double>(t.cx);
    double sy = client.bottom / static_cast<double>(t.cy);
    Note(Fmt("%s: client area %ld x %ld px for %d x %d dialog units", name, client.right,
             client.bottom, t.cx, t.cy));
    std::vector<HWND> children = Children(dialog);
    int count = static_cast<int>(t.controls.size());
    CheckEq(static_cast<long long>(children.size()), count, Fmt("%s: number of controls", name));
    for (int i = 0; i < count; ++i) {
        const support::TemplateControl& c = t.controls[static_cast<size_t>(i)];
        HWND control = children[static_cast<size_t>(i)];
        Kind kind = KindOf(c);
        std::string where = Fmt("%s control #%d (id %d)", name, i + 1, c.id);
        int id = GetDlgCtrlID(control);
        if (c.id < 0 ? (id & 0xFFFF) != 0xFFFF : id != c.id)
            Fail(Fmt("%s: id is %d", where.c_str(), id));
        RequireEq(ClassOf(control), c.window_class, where + " class");
        CheckFacts(control, c, kind, where);
        auto start = start_texts.find(c.id);
        if (start != start_texts.end())
            RequireEq(TextOf(control), start->second, where + " text");
        else if (kind != Kind::kIcon && kind != Kind::kDropList)
            RequireEq(TextOf(control), c.text, where + " text");
        CheckPlace(control, c, kind, where, sx, sy);
        Pass(Fmt("%s: %s \"%s\": kind, styles, state and place", where.c_str(),
                 ClassOf(control).c_str(), TextOf(control).c_str()));
    }
}

}  // namespace e2e
