/* "&Save As..." as an operator uses it: the Save As dialog, the files on
   disk, the error box and the replace question. */
#include "tests/blackbox/blackbox.h"
#include <commdlg.h>
#include <dlgs.h>
#include <richedit.h>

using bb::Program;

namespace {

std::string ReadFileBytes(const std::string &name)
{
    std::string s;
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
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

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG *pcb)
{
    std::string &rest = *(std::string *)cookie;
    *pcb = (LONG)rest.copy((char *)buf, (size_t)cb);
    rest.erase(0, (size_t)*pcb);
    return 0;
}

/* The text a RichEdit of this process shows after reading the RTF. */
std::string TextOfRtf(std::string rtf)
{
    LoadLibraryA("RICHED32.DLL");
    HWND hwnd = CreateWindowExA(0, "RICHEDIT", "", ES_MULTILINE, 0, 0, 100, 100, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    SendMessageA(hwnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    EDITSTREAM es = {(DWORD_PTR)&rtf, 0, ReadFromString};
    SendMessageA(hwnd, EM_STREAMIN, SF_RTF, (LPARAM)&es);
    std::string text = bb::WindowText(hwnd);
    DestroyWindow(hwnd);
    return text;
}

/* A bold red and a bold blue run, as the log's error and skipped lines. */
void ExpectRtfOfTheLog(const std::string &rtf, const std::string &logText, const char *name)
{
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << name << ": " << rtf.substr(0, 80);
    EXPECT_NE(rtf.find("\\b"), std::string::npos) << name;
    EXPECT_NE(rtf.find("\\red255\\green0\\blue0"), std::string::npos) << name;
    EXPECT_NE(rtf.find("\\red0\\green127\\blue255"), std::string::npos) << name;
    EXPECT_EQ(TextOfRtf(rtf), logText) << name;
}

class NoDriverSaveLog : public NoDriverTest {
protected:
    std::string dir;

    void SetUp() override
    {
        NoDriverTest::SetUp();
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        dir = std::string(tmp) + "vmt-save-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
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
    }

    /* A log with every look: the bold banner, the bold red driver line and
       the bold blue lines of a pass in which nothing was selected. */
    static void FillLog(Program &app)
    {
        app.Command(IDM_START);
        app.WaitForLogText("tests were skipped...");
    }

    /* File, Save As..., the name typed and the pair chosen, Save.  Returns
       with the dialog closed; a box may follow. */
    static void SaveAs(Program &app, const std::string &name, int pair)
    {
        app.Command(IDM_SAVEAS);
        bb::SaveAsDialog dlg = app.WaitForSaveAs();
        dlg.ChooseFilter(pair);
        EXPECT_EQ(dlg.ChosenFilter(), pair);
        dlg.SetFileName(name);
        dlg.Save();
    }

    /* The save ran to its end when the main window answers again and no
       box is up. */
    static void ExpectSavedQuietly(Program &app, const std::string &what)
    {
        EXPECT_TRUE(app.Responsive(10000)) << what;
        bb::MessageBoxInfo box = app.FindMessageBox();
        EXPECT_EQ(box.hwnd, (HWND)NULL) << what << ": unexpected box \"" << box.caption
                                        << "\": " << box.text;
        if (box.hwnd)
            app.Answer(box, GetDlgItem(box.hwnd, IDNO) ? IDNO : IDOK);
    }
};

}  // namespace

TEST_F(NoDriverSaveLog, TextAndRtfFilesCarryTheLog)
{
    Program app;
    FillLog(app);
    std::string log = app.LogText();

    SaveAs(app, dir + "\\session", 1);
    ExpectSavedQuietly(app, "text");
    EXPECT_EQ(ReadFileBytes(dir + "\\session.TXT"), log);

    SaveAs(app, dir + "\\session", 2);
    ExpectSavedQuietly(app, "rtf");
    ExpectRtfOfTheLog(ReadFileBytes(dir + "\\session.RTF"), log, "session.RTF");

    /* Cancel writes nothing and asks nothing. */
    app.Command(IDM_SAVEAS);
    bb::SaveAsDialog dlg = app.WaitForSaveAs();
    dlg.SetFileName(dir + "\\cancelled");
    dlg.Cancel();
    ExpectSavedQuietly(app, "cancel");
    EXPECT_FALSE(Exists(dir + "\\cancelled.TXT"));
    EXPECT_FALSE(Exists(dir + "\\cancelled"));
}

TEST_F(NoDriverSaveLog, NamesOnDiskFollowTheRule)
{
    Program app;
    FillLog(app);
    std::string log = app.LogText();
    struct Row {
        const char *typed;
        int pair;
        const char *onDisk;
        bool rtf;
    } rows[] = {
        {"a.txt", 1, "a.txt", false},       {"b.txt", 2, "b.txt", false},
        {"c.Rtf", 1, "c.Rtf", true},        {"d", 1, "d.TXT", false},
        {"e", 2, "e.RTF", true},            {"f.doc", 2, "f.doc.RTF", true},
        {"g.tx", 1, "g.tx.TXT", false},     {"Mixed.Case", 1, "Mixed.Case.TXT", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.typed) + " with pair " + std::to_string(row.pair));
        SaveAs(app, dir + "\\" + row.typed, row.pair);
        ExpectSavedQuietly(app, row.typed);
        std::string bytes = ReadFileBytes(dir + "\\" + row.onDisk);
        if (row.rtf)
            ExpectRtfOfTheLog(bytes, log, row.onDisk);
        else
            EXPECT_EQ(bytes, log) << row.onDisk;
    }
    /* Nothing under any other name. */
    EXPECT_FALSE(Exists(dir + "\\d"));
    EXPECT_FALSE(Exists(dir + "\\a.txt.TXT"));
    EXPECT_FALSE(Exists(dir + "\\c.Rtf.TXT"));
    EXPECT_FALSE(Exists(dir + "\\f.doc"));
}

TEST_F(NoDriverSaveLog, FileThatCannotBeCreatedShowsOneErrorBox)
{
    Program app;

    /* The final name is a folder. */
    std::string folder = dir + "\\taken.TXT";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    SaveAs(app, dir + "\\taken", 1);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT - Error");
    EXPECT_EQ(box.text, "Error [5] saving " + folder);
    EXPECT_TRUE(GetDlgItem(box.hwnd, IDOK) && !GetDlgItem(box.hwnd, IDCANCEL));
    app.Answer(box, IDOK);
    ExpectSavedQuietly(app, "folder");   /* exactly one box */
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Exists(dir + "\\taken"));

    /* The final name is a file another program holds open: after Yes to
       replacing it, one error box, and the file is left as it was. */
    std::string locked = dir + "\\locked.RTF";
    WriteFileBytes(locked, "kept");
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    SaveAs(app, dir + "\\locked", 2);
    box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT's");
    app.Answer(box, IDYES);
    box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT - Error");
    EXPECT_EQ(box.text, "Error [32] saving " + locked);
    app.Answer(box, IDOK);
    ExpectSavedQuietly(app, "locked");
    CloseHandle(hold);
    EXPECT_EQ(ReadFileBytes(locked), "kept");
    EXPECT_TRUE(app.Running());
}

TEST_F(NoDriverSaveLog, AppendedExtensionAsksBeforeReplacing)
{
    Program app;
    std::string final = dir + "\\report.TXT";
    WriteFileBytes(final, "an older log");

    SaveAs(app, dir + "\\report", 1);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT's");
    EXPECT_EQ(box.text, final + " already exists.\nDo you want to replace it?");
    EXPECT_TRUE(GetDlgItem(box.hwnd, IDYES) && GetDlgItem(box.hwnd, IDNO));
    app.Answer(box, IDNO);
    ExpectSavedQuietly(app, "No");
    EXPECT_EQ(ReadFileBytes(final), "an older log");

    SaveAs(app, dir + "\\report", 1);
    box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT's");
    app.Answer(box, IDYES);
    ExpectSavedQuietly(app, "Yes");
    EXPECT_EQ(ReadFileBytes(final), app.LogText());

    /* A name typed whole is the dialog's own prompt to ask about; we do not
       ask again. */
    app.Command(IDM_SAVEAS);
    bb::SaveAsDialog dlg = app.WaitForSaveAs();
    dlg.SetFileName(final);
    dlg.PostSave();
    box = app.WaitForMessageBox();
    EXPECT_NE(box.caption, "ACPI VMT's");
    EXPECT_NE(box.text.find("already exists"), std::string::npos) << box.text;
    app.Answer(box, IDYES);
    dlg.WaitClosed();
    ExpectSavedQuietly(app, "typed whole");
    EXPECT_EQ(ReadFileBytes(final), app.LogText());

    /* No question when nothing of the final name exists. */
    SaveAs(app, dir + "\\fresh", 2);
    ExpectSavedQuietly(app, "fresh");
    EXPECT_TRUE(Exists(dir + "\\fresh.RTF"));
}
