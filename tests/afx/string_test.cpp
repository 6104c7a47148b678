// CString: formatting, growth without limit, aliasing, buffers, strings.
#include <string>

#include "sim_fixture.h"

namespace {

TEST(CStringTest, FormatRows)
{
    struct Row {
        std::string got;
        const char* want;
    };
    CString a, b, c, d;
    a.Format("Total %d CAPKs are successfully loaded !", 3);
    b.Format("%02X%02X%02X%02X%02X_%02X", 0xA0, 0, 0, 0, 3, 0x92);
    c.Format("%d bytes", 248);
    d.Format("%s", "");
    Row rows[] = {{std::string(a), "Total 3 CAPKs are successfully loaded !"},
                  {std::string(b), "A000000003_92"},
                  {std::string(c), "248 bytes"},
                  {std::string(d), ""}};
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want);
    EXPECT_TRUE(d.IsEmpty());
}

TEST(CStringTest, FormatHasNoLengthLimit)
{
    std::string big(20000, 'x');
    big[12345] = 'y';
    CString s;
    s.Format("File I/O failed for the following file !\r\n%s", big.c_str());
    EXPECT_EQ(s.GetLength(), static_cast<int>(big.size()) + 42);
    EXPECT_EQ(std::string(s).substr(42), big);
}

TEST(CStringTest, FormatMayReadItsOwnText)
{
    CString s("abc");
    s.Format("[%s|%s]", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
    EXPECT_EQ(s, "[abc|abc]");
}

TEST(CStringTest, AppendsGrowWithoutLosingText)
{
    CString s;
    std::string want;
    for (int i = 0; i < 100000; ++i) {
        char ch = static_cast<char>('a' + i % 26);
        s += ch;
        want += ch;
    }
    s += "tail";
    want += "tail";
    EXPECT_EQ(s.GetLength(), static_cast<int>(want.size()));
    EXPECT_EQ(std::string(s), want);
}

TEST(CStringTest, SelfAppendAndTailAssignment)
{
    CString s("0123456789");
    s += s;
    EXPECT_EQ(s, "01234567890123456789");
    s += static_cast<LPCTSTR>(s) + 15;  // appends a piece of itself
    EXPECT_EQ(s, "0123456789012345678956789");
    s = static_cast<LPCTSTR>(s) + 20;  // assigns a piece of itself
    EXPECT_EQ(s, "56789");
}

TEST(CStringTest, BufferAccess)
{
    CString s("keep");
    LPTSTR p = s.GetBuffer(10);
    EXPECT_STREQ(p, "keep");  // the text survives GetBuffer
    std::snprintf(p, 11, "0123456789");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 10);
    s.GetBuffer(0);
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "012");
    CString empty;
    empty.GetBuffer(0)[0] = '\0';
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CStringTest, CopiesAreIndependentAndComparisonsHandleNull)
{
    CString a("one");
    CString b(a);
    b += "two";
    CString c(static_cast<CString&&>(b));
    EXPECT_EQ(a, "one");
    EXPECT_EQ(c, "onetwo");
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_TRUE(CString(nullptr) == "");
    EXPECT_TRUE(CString("") == static_cast<LPCTSTR>(nullptr));
    EXPECT_TRUE(a != c);
    EXPECT_TRUE(a == CString("one"));
    a.Empty();
    EXPECT_EQ(a.GetLength(), 0);
}

class CStringLoadTest : public SimTest {};

TEST_F(CStringLoadTest, LoadStringRows)
{
    struct Row {
        UINT id;
        BOOL ok;
        std::string text;
    } rows[] = {
        {IDS_HELLO, TRUE, "Hello, world"},
        {IDS_QUOTE, TRUE, "say \"hi\" & go"},
        {IDS_LONG, TRUE, *sim::String(IDS_LONG)},  // longer than the first buffer tried
        {IDS_EMPTY_NEIGHBOUR, FALSE, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        CString s("previous");
        EXPECT_EQ(s.LoadString(r.id), r.ok);
        EXPECT_EQ(std::string(s), r.text);
    }
}

}  // namespace
