// afx_msgmap.h - message maps: static tables that route window messages and
// command notifications to member functions.
//
// Classes in this file:
//   AFX_MSGMAP_ENTRY  one row: message, notification code, id range, handler thunk
//   AFX_MSGMAP        a class's rows plus the way to its base class's map
//   CCmdTarget        root of every class with a message map
//
// A map is searched from the most derived class to the root; the first row
// that matches wins, and a message no row matches goes to default processing.
//
// Handlers are named as in MFC 4.2 code, without '&' and usually unqualified:
//   ON_BN_CLICKED(IDC_HASH, OnHash)
//   ON_COMMAND(ID_HELP, CWinApp::OnHelp)
// Each row stores a small thunk that calls the handler through `ThisClass`, so
// the handler's signature is checked by the compiler where the map is written.
#ifndef TARVELLO_AFX_MSGMAP_H
#define TARVELLO_AFX_MSGMAP_H

#include "afx_platform.h"

#define afx_msg
#define AFXAPI

class CCmdTarget;

// Calls one handler on `target` (which is an object of the map's class).
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_xxx; 0 ends the table
    UINT nCode;     // WM_COMMAND: notification code (0 = BN_CLICKED / menu command)
    UINT nID;       // WM_COMMAND: first control or command id
    UINT nLastID;   // WM_COMMAND: last id of the range
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // NULL at the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// First row matching (message, code, id) in `map` or its bases, or NULL.
// For messages other than WM_COMMAND, code and id must be 0.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode,
                                            UINT nID);

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // Runs the handler of the WM_COMMAND (nCode, nID) if this object's map has
    // one; FALSE when none matches.
    BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Runs the matching row, if any; TRUE and *pResult set when one ran.
    BOOL DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                            LRESULT* pResult);
};

// The accessor is declared without `override` so that classes written either
// way (with or without `override` on their other members) compile warning-free.
#if defined(__clang__)
#define TARVELLO_AFX_OVERRIDE_QUIET_BEGIN                                                          \
    _Pragma("clang diagnostic push")                                                               \
        _Pragma("clang diagnostic ignored \"-Winconsistent-missing-override\"")
#define TARVELLO_AFX_OVERRIDE_QUIET_END _Pragma("clang diagnostic pop")
#else
#define TARVELLO_AFX_OVERRIDE_QUIET_BEGIN
#define TARVELLO_AFX_OVERRIDE_QUIET_END
#endif

// In a class body: declares the map (leaves the access at `protected:`).
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    TARVELLO_AFX_OVERRIDE_QUIET_BEGIN                                                              \
    virtual const AFX_MSGMAP* GetMessageMap() const;                                               \
    TARVELLO_AFX_OVERRIDE_QUIET_END

// In a .cpp: opens the rows of theClass; unmatched messages go on to baseClass.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        0, 0, 0, 0, nullptr                                                                        \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static_assert(sizeof(ThisClass) > 0, "complete class");                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

// Row for WM_COMMAND with notification `code` from control `id`.
// binds: afx_msg void memberFxn()
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id),                                             \
     [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                                \
         static_cast<ThisClass*>(t)->memberFxn();                                                  \
         return 0;                                                                                 \
     }},

// Menu or accelerator command `id` (also a button's BN_CLICKED, code 0).
// binds: afx_msg void memberFxn()
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)

// A button was clicked.
// binds: afx_msg void memberFxn()
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// The user changed a combo box's selection (not sent for CB_SETCURSEL).
// binds: afx_msg void memberFxn()
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// The text of an edit control changed.
// binds: afx_msg void memberFxn()
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// WM_SYSCOMMAND: a system-menu command (nID) with its parameter.
// binds: afx_msg void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                    \
         static_cast<ThisClass*>(t)->OnSysCommand(static_cast<UINT>(w), l);                        \
         return 0;                                                                                 \
     }},

// WM_PAINT.
// binds: afx_msg void OnPaint()
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                             \
         static_cast<ThisClass*>(t)->OnPaint();                                                    \
         return 0;                                                                                 \
     }},

// WM_QUERYDRAGICON: the cursor shown while a minimised window is dragged.
// binds: afx_msg HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                     \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(t)->OnQueryDragIcon());          \
     }},

#endif  // TARVELLO_AFX_MSGMAP_H
