/* The harness's own checks, against a small target program that shows the
   kinds of windows the harness drives and logs what it got back. */
#include "tests/blackbox/blackbox.h"

using bb::Program;
using bb::StartOptions;

namespace {

enum { CMD_ASK = 1, CMD_SHEET, CMD_SAVE, CMD_TRACE, CMD_CRASH };

StartOptions Target()
{
    std::string path = bb::ProgramPath();
    StartOptions opts;
    opts.program = path.substr(0, path.find_last_of("\\/") + 1) + "harness_target.exe";
    opts.windowClass = "BBTARGET";
    return opts;
}

/* The harness's own tests need no driver: run them once, without it. */
class NoDriverHarness : public NoDriverTest {};

}  // namespace

TEST_F(NoDriverHarness, AnswersMessageBoxesAndSeesTheirEnd)
{
    Program app(Target());
    EXPECT_EQ(app.FindMessageBox().hwnd, (HWND)NULL);
    for (int answer : {IDYES, IDNO}) {
        app.Command(CMD_ASK);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        EXPECT_EQ(box.caption, "ACPI VMT's");
        EXPECT_EQ(box.text, "Proceed?");
        EXPECT_THROW(app.Answer(box, IDOK), bb::HarnessError);   /* a Yes/No box has no OK */
        app.Answer(box, answer);
        EXPECT_EQ(app.FindMessageBox().hwnd, (HWND)NULL);
    }
    app.WaitForLogText("yes\r\nno\r\n");
    EXPECT_THROW(app.WaitForMessageBox(100), bb::HarnessError);
    PostMessageA(app.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitForExit(), 3u);
}

TEST_F(NoDriverHarness, OperatesPropertySheetPages)
{
    Program app(Target());
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        app.Command(CMD_SHEET);
        bb::PropertySheet sheet = app.WaitForPropertySheet();
        EXPECT_EQ(sheet.CurrentIndex(), 0);
        EXPECT_FALSE(sheet.IsChecked(1000));
        EXPECT_FALSE(sheet.IsEnabled(1003));
        EXPECT_THROW(sheet.Click(1003), bb::HarnessError);       /* disabled */
        sheet.Click(1000);
        EXPECT_TRUE(sheet.IsChecked(1000));
        EXPECT_TRUE(sheet.IsEnabled(1003));
        sheet.Click(1003);
        EXPECT_EQ(app.LogLines().back(), "test pressed");
        sheet.TypeText(1018, "4a2");                             /* ES_NUMBER drops the a */
        EXPECT_EQ(sheet.Text(1018), "42");
        sheet.SetText(1018, "77");
        EXPECT_EQ(sheet.Text(1018), "77");
        EXPECT_THROW(sheet.Control(1006), bb::HarnessError);     /* on the other page */

        sheet.SelectPage(1);
        EXPECT_EQ(sheet.CurrentIndex(), 1);
        EXPECT_TRUE(sheet.IsEnabled(1006));
        sheet.SelectPage(0);
        EXPECT_TRUE(sheet.IsChecked(1000));
        if (ok)
            sheet.Ok();
        else
            sheet.Cancel();
        EXPECT_FALSE(IsWindow(sheet.hwnd()));
        app.WaitForLogText(ok ? "apply C1=1 field=77\r\nsheet ok\r\n" : "sheet cancelled\r\n");
    }
}

TEST_F(NoDriverHarness, DrivesSaveAs)
{
    Program app(Target());
    std::string base = "C:\\windows\\temp\\bb-harness-save";
    DeleteFileA((base + ".TXT").c_str());

    app.Command(CMD_SAVE);
    bb::SaveAsDialog dlg = app.WaitForSaveAs();
    EXPECT_EQ(dlg.ChosenFilter(), 1);
    dlg.ChooseFilter(2);
    EXPECT_EQ(dlg.ChosenFilter(), 2);
    dlg.SetFileName(base + ".doc");
    EXPECT_EQ(dlg.FileName(), base + ".doc");
    dlg.Save();
    app.WaitForLogText("saved " + base + ".doc as 2\r\n");

    app.Command(CMD_SAVE);
    app.WaitForSaveAs().Cancel();
    app.WaitForLogText("save cancelled\r\n");

    /* An existing name: the overwrite prompt comes as a message box. */
    HANDLE h = CreateFileA((base + ".TXT").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(h);
    app.Command(CMD_SAVE);
    dlg = app.WaitForSaveAs();
    dlg.SetFileName(base + ".TXT");
    dlg.PostSave();
    bb::MessageBoxInfo prompt = app.WaitForMessageBox();
    EXPECT_NE(prompt.text.find("exists"), std::string::npos) << prompt.text;
    app.Answer(prompt, IDYES);
    dlg.WaitClosed();
    app.WaitForLogText("saved " + base + ".TXT as 1\r\n");
    DeleteFileA((base + ".TXT").c_str());
}

TEST_F(NoDriverHarness, CollectsDebugOutputAndReportsCrashes)
{
    StartOptions opts = Target();
    opts.captureDebugOutput = true;
    Program app(opts);
    app.Command(CMD_TRACE);
    bb::WaitUntil([&] { return app.DebugOutput().size() >= 2; }, bb::kTimeout, "two outputs");
    std::vector<std::string> out = app.DebugOutput();
    EXPECT_EQ(std::vector<std::string>(out.end() - 2, out.end()),
              (std::vector<std::string>{"one ", "two\n"}));

    app.Command(CMD_CRASH);
    EXPECT_EQ(app.WaitForExit(), (DWORD)EXCEPTION_ACCESS_VIOLATION);
    EXPECT_NE(app.Crash().find("0xC0000005"), std::string::npos) << app.Crash();
    try {
        app.WaitForMessageBox(100);
        ADD_FAILURE() << "no error for a program that has ended";
    } catch (const bb::HarnessError &e) {
        EXPECT_NE(std::string(e.what()).find("exception 0xC0000005"), std::string::npos) << e.what();
    }
}
