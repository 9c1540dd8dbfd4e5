#include "tests/wine/wintest.h"
#include "log/savelog.h"
#include <richedit.h>
#include <set>
#include <vector>

namespace {

std::string ReadFileBytes(const std::string &name)
{
    std::string s;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof buf, &got, NULL) && got)
        s.append(buf, got);
    CloseHandle(h);
    return s;
}

void WriteFileBytes(const std::string &name, const std::string &bytes)
{
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD put;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, NULL);
    CloseHandle(h);
}

bool Exists(const std::string &name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ControlText(HWND hwnd)
{
    char buf[1024] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

/* Plays the operator for the message boxes a save opens on this thread (a
   thread timer keeps firing inside their message loops): notes what each
   showed and presses OK.  The Save As dialog itself is driven by the
   black-box tests. */
struct Operator {
    std::vector<std::pair<std::string, std::string>> boxes;   /* caption, text */
    std::set<HWND> handled;
};

Operator *s_op;
bool s_busy;

void AnswerMessageBox(HWND box, const std::string &caption)
{
    Operator &op = *s_op;
    std::string text = ControlText(GetDlgItem(box, 0xFFFF));
    op.boxes.emplace_back(caption, text);
    int answer = GetDlgItem(box, IDNO) ? IDNO : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), (LPARAM)GetDlgItem(box, answer));
}

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM)
{
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!IsWindowVisible(hwnd) || lstrcmpA(cls, "#32770") != 0 || s_op->handled.count(hwnd))
        return TRUE;
    s_op->handled.insert(hwnd);
    std::string caption = ControlText(hwnd);
    if (GetDlgItem(hwnd, 0xFFFF))
        AnswerMessageBox(hwnd, caption);
    else
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);   /* nothing else should appear */
    return TRUE;
}

VOID CALLBACK OperatorTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_busy || !s_op)
        return;
    s_busy = true;
    EnumThreadWindows(GetCurrentThreadId(), VisitWindow, 0);
    s_busy = false;
}

class SaveLog : public MainWindowTest {
protected:
    std::string dir;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        dir = std::string(tmp) + "vmt-savelog-" + std::to_string(GetTickCount()) + "-" +
              std::to_string(rand());
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
        /* The banner (bold) and the driver line (bold red) are there already. */
        LogPrintf(LOG_NORMAL, "Running the \"%s\" test.\r\n", "C1 state");
        LogPrintf(LOG_SKIPPED, "The \"%s\" test was skipped...\r\n", "S3 state");
        LogPrintf(LOG_ERROR, "The driver request %s failed with system error %lu.\r\n",
                  "IOCTL_SET_FAN", 31UL);
        PumpMessages();
    }

    void TearDown() override
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string f = dir + "\\" + fd.cFileName;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(f.c_str());
                else
                    DeleteFileA(f.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
        MainWindowTest::TearDown();
    }

    /* Writes directly, the operator answering any box. */
    BOOL Write(Operator &op, const std::string &name, int format)
    {
        s_op = &op;
        UINT_PTR timer = SetTimer(NULL, 0, 30, OperatorTick);
        BOOL ok = WriteLogFile(hwndMain, name.c_str(), format);
        KillTimer(NULL, timer);
        s_op = nullptr;
        return ok;
    }
};

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG *pcb)
{
    std::string &rest = *(std::string *)cookie;
    *pcb = (LONG)rest.copy((char *)buf, (size_t)cb);
    rest.erase(0, (size_t)*pcb);
    return 0;
}

/* The text a fresh RichEdit shows after reading the RTF. */
std::string TextOfRtf(std::string rtf)
{
    HWND hwnd = CreateWindowExA(0, "RICHEDIT", "", ES_MULTILINE, 0, 0, 100, 100, NULL, NULL,
                                g_hInst, NULL);
    SendMessageA(hwnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    EDITSTREAM es = {(DWORD_PTR)&rtf, 0, ReadFromString};
    SendMessageA(hwnd, EM_STREAMIN, SF_RTF, (LPARAM)&es);
    std::string text = WindowText(hwnd);
    DestroyWindow(hwnd);
    return text;
}

bool LooksLikeRtfOfTheLog(const std::string &s)
{
    return s.rfind("{\\rtf", 0) == 0 && s.find("\\b") != std::string::npos &&
           s.find("\\red255\\green0\\blue0") != std::string::npos &&
           s.find("\\red0\\green127\\blue255") != std::string::npos &&
           s.find("was skipped") != std::string::npos;
}

}  // namespace

TEST_F(SaveLog, WritesThePaneAsTextOrRtf)
{
    std::string text = WindowText(g_hwndLog);
    ASSERT_NE(text.find("was skipped"), std::string::npos);

    /* An older, longer file of the same name is replaced whole. */
    std::string txt = dir + "\\log.TXT";
    WriteFileBytes(txt, std::string(100000, 'x'));
    HCURSOR hcurBefore = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_CROSS));
    Operator op;
    EXPECT_TRUE(Write(op, txt, SF_TEXT));
    EXPECT_EQ(GetCursor(), LoadCursorA(NULL, (LPCSTR)IDC_CROSS)) << "cursor put back";
    SetCursor(hcurBefore);
    EXPECT_EQ(ReadFileBytes(txt), text);

    std::string rtf = dir + "\\log.RTF";
    EXPECT_TRUE(Write(op, rtf, SF_RTF));
    std::string bytes = ReadFileBytes(rtf);
    EXPECT_TRUE(LooksLikeRtfOfTheLog(bytes)) << bytes.substr(0, 600);
    EXPECT_EQ(TextOfRtf(bytes), text);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(SaveLog, CallbackWritesEachBlockAndStopsWhenItCannot)
{
    BYTE block[] = "0123456789";
    LONG count = -5;
    EXPECT_EQ(LogStreamOutCallback((DWORD_PTR)HFILE_ERROR, block, 10, &count), (DWORD)E_FAIL);

    std::string name = dir + "\\blocks.txt";
    HFILE h = _lcreat(name.c_str(), 0);
    ASSERT_NE(h, HFILE_ERROR);
    EXPECT_EQ(LogStreamOutCallback((DWORD_PTR)h, block, 10, &count), 0u);
    EXPECT_EQ(count, 10);
    EXPECT_EQ(LogStreamOutCallback((DWORD_PTR)h, block + 2, 3, &count), 0u);
    EXPECT_EQ(count, 3);
    _lclose(h);
    EXPECT_EQ(ReadFileBytes(name), "0123456789234");

    /* A handle that cannot be written: the stream-out must stop. */
    h = _lopen(name.c_str(), OF_READ);
    ASSERT_NE(h, HFILE_ERROR);
    count = -5;
    EXPECT_EQ(LogStreamOutCallback((DWORD_PTR)h, block, 10, &count), (DWORD)E_FAIL);
    EXPECT_EQ(count, 0);
    _lclose(h);
    EXPECT_EQ(ReadFileBytes(name), "0123456789234");
}

TEST_F(SaveLog, FailedWriteIsReportedWithItsSystemError)
{
    /* Every write to this device fails with "disk full". */
    Operator op;
    EXPECT_FALSE(Write(op, "Z:\\dev\\full", SF_TEXT));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].first, g_szErrorCaption);
    EXPECT_EQ(op.boxes[0].second, "Error [112] saving Z:\\dev\\full");

    op.boxes.clear();
    EXPECT_FALSE(Write(op, "Z:\\dev\\full", SF_RTF));
    EXPECT_EQ(op.boxes.size(), 1u);
}

TEST_F(SaveLog, FileThatCannotBeCreatedShowsOneBoxAndWritesNothing)
{
    std::string folder = dir + "\\taken.TXT";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    Operator op;
    HCURSOR hcurBefore = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_CROSS));
    EXPECT_FALSE(Write(op, folder, SF_TEXT));
    EXPECT_EQ(GetCursor(), LoadCursorA(NULL, (LPCSTR)IDC_CROSS)) << "cursor put back";
    SetCursor(hcurBefore);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].first, "ACPI VMT - Error");
    EXPECT_EQ(op.boxes[0].second, "Error [5] saving " + folder);
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    op.boxes.clear();
    std::string missing = dir + "\\missing\\report.TXT";
    EXPECT_FALSE(Write(op, missing, SF_RTF));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].second, "Error [3] saving " + missing);
    EXPECT_FALSE(Exists(dir + "\\missing"));

    /* A name too long for the message is shortened, the file's own name kept. */
    op.boxes.clear();
    std::string deep = dir + "\\missing\\" + std::string(200, 'd') + "\\" + std::string(40, 'e') + ".TXT";
    EXPECT_FALSE(Write(op, deep, SF_TEXT));
    ASSERT_EQ(op.boxes.size(), 1u);
    const std::string &shown = op.boxes[0].second;
    EXPECT_LT(shown.size(), 260u);
    EXPECT_NE(shown.find("..."), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 45), "\\" + std::string(40, 'e') + ".TXT");
}
