/* The program operated as a person does at a desktop: every command comes
   as key presses from the X server (xdotool), under a real window manager
   (openbox, tests/xinput/openbox-run.sh), to whatever window has the focus.
   What it leaves is checked as in the message-driven tests: the log, the
   driver's journal, a saved log file and the settings file; the pictures
   show the windows with their frames. */
#include "tests/blackbox/blackbox.h"
#include "selection/selectionrules.h"

namespace {

class XInputTest : public BlackBoxTest {};

/* The control that has the focus, for the messages of a failing check. */
std::string Focused(HWND anyWindowOfTheProgram)
{
    HWND f = bb::FocusOf(anyWindowOfTheProgram);
    return f ? bb::Format("control %d (%s %s)", GetDlgCtrlID(f), bb::ClassName(f).c_str(),
                          bb::Quoted(bb::WindowText(f)).c_str())
             : std::string("nothing");
}

/* Presses keys once the window has the focus. */
void KeysTo(HWND window, const std::string &keys)
{
    bb::WaitForForeground(window);
    bb::XKeys(keys);
}

/* Waits for the next question, checks it and answers it with the keys. */
void AnswerWithKeys(const bb::Program &app, UINT question, const std::string &keys)
{
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.text, bb::ProgramText(question));
    KeysTo(box.hwnd, keys);
    bb::WaitClosed(box.hwnd, "the question to close after " + keys + "; focus on " + Focused(box.hwnd));
}

/* Presses a key until the focus is on the control: the way Tab walks. */
void TabTo(HWND page, int id, int most = 12)
{
    for (int i = 0; i < most && GetDlgCtrlID(bb::FocusOf(page)) != id; i++)
        bb::XKeys("Tab");
    ASSERT_EQ(GetDlgCtrlID(bb::FocusOf(page)), id) << "Tab never reached it; focus on " << Focused(page);
}

std::string Name(UINT id) { return "\"" + bb::ProgramText(id) + "\""; }

}  // namespace

TEST_F(XInputTest, MenusQuestionsSheetSaveAsAboutAndCloseByKeyboard)
{
    /* C1, S1 and the fan selected: three prompts, two verdict questions. */
    bb::WriteSettings({1, 0, 0, 0, 1, 0, 0, 1, 0, 0});
    bb::Program app;
    HWND main = app.MainWindow();

    /* Test > Start ACPI tess: Enter is Yes (the default button), Y and N. */
    KeysTo(main, "alt+t s");
    AnswerWithKeys(app, IDS_C1_PROMPT, "Return");
    AnswerWithKeys(app, IDS_S1_PROMPT, "y");
    AnswerWithKeys(app, IDS_S1_VERDICT, "n");
    AnswerWithKeys(app, IDS_FANON_PROMPT, "y");
    AnswerWithKeys(app, IDS_FANON_VERDICT, "Return");
    AnswerWithKeys(app, IDS_FANOFF_PROMPT, "n");
    app.Settle();
    const std::vector<std::string> pass = {BANNER_TEXT, "",
        "Running the " + Name(IDS_C1_NAME) + " test.",
        "The " + Name(IDS_C2_NAME) + " test was skipped...", "The " + Name(IDS_C3_NAME) + " test was skipped...",
        "Running the " + Name(IDS_S1_NAME) + " test.",
        "The " + Name(IDS_S2_NAME) + " test was skipped...", "The " + Name(IDS_S3_NAME) + " test was skipped...",
        "Running the " + Name(IDS_FANON_NAME) + " test.", "The " + Name(IDS_FANOFF_NAME) + " test was skipped...",
        "The " + Name(IDS_THROTTLE_NAME) + " tests were skipped..."};
    EXPECT_EQ(bb::SplitLines(app.LogText()), pass);
    EXPECT_EQ(bb::ReadJournal(), (std::vector<std::string>{"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55",
        "IOCTL_SET_CPU_STATE 1 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0x00000000", "IOCTL_SET_FAN 1 0x00000000"}));
    MoveWindow(main, 40, 40, 620, 330, TRUE);
    bb::SaveFramedScreenshot(main, "main-pass-desktop.png");

    /* Test > Filter out tests...: Ctrl+Tab to Thermal Control, Space checks
       the duty cycle, digits into the field, Space on its "test" button. */
    KeysTo(main, "alt+t f");
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    KeysTo(sheet.hwnd(), "ctrl+Tab ctrl+Tab");
    bb::WaitUntil([&] { return sheet.CurrentIndex() == 2; }, bb::kTimeout,
                  "the Thermal Control page after two Ctrl+Tab; focus on " + Focused(sheet.hwnd()));
    HWND page = sheet.CurrentPage();
    TabTo(page, IDC_DUTY);
    bb::XKeys("space");
    bb::WaitUntil([&] { return sheet.IsChecked(IDC_DUTY); }, bb::kTimeout, "Space to check the duty-cycle box");
    TabTo(page, IDC_DUTY_PERCENT);
    bb::XType("145");   /* 145 is held to 100 as it is typed: 1, 14, 145 -> 100 */
    bb::WaitUntil([&] { return sheet.Text(IDC_DUTY_PERCENT) == "100"; }, bb::kTimeout,
                  "the field to hold 100");
    bb::XKeys("End BackSpace BackSpace BackSpace");
    bb::XType("45");
    bb::WaitUntil([&] { return sheet.Text(IDC_DUTY_PERCENT) == "45"; }, bb::kTimeout,
                  "the field to hold 45");
    TabTo(page, IDC_DUTY_TEST);
    bb::XKeys("space");
    app.WaitForLogText("Setting the CPU duty cycle to 45%\r\n");
    bb::SaveFramedScreenshot(sheet.hwnd(), "sheet-desktop.png");
    TabTo(sheet.hwnd(), IDOK, 20);
    bb::XKeys("Return");
    bb::WaitClosed(sheet.hwnd(), "the sheet to close on Enter at OK; focus on " + Focused(sheet.hwnd()));

    /* File > Save As...: a typed name and Enter; the text pair adds .TXT. */
    std::string file = bb::TempPath("vmt-xinput");
    DeleteFileA((file + ".TXT").c_str());
    KeysTo(main, "alt+f s");
    bb::SaveAsDialog save = app.WaitForSaveAs();
    KeysTo(save.hwnd(), "ctrl+a");
    bb::XType(file);
    bb::XKeys("Return");
    bb::WaitClosed(save.hwnd(), "Save As to close on Enter; focus on " + Focused(save.hwnd()));
    app.Settle();
    std::string log = app.LogText();
    bb::WaitUntil([&] { return GetFileAttributesA((file + ".TXT").c_str()) != INVALID_FILE_ATTRIBUTES; },
                  bb::kTimeout, file + ".TXT");
    EXPECT_EQ(bb::ReadWholeFile(file + ".TXT"), log);
    DeleteFileA((file + ".TXT").c_str());

    /* Help > About...: Enter closes it. */
    KeysTo(main, "alt+h a");
    HWND about = app.WaitForDialog("About " ABOUT_NAME);
    KeysTo(about, "Return");
    bb::WaitClosed(about, "the About box to close on Enter");

    /* Alt+F4 closes the program as the close box does. */
    KeysTo(main, "alt+F4");
    EXPECT_EQ(app.WaitForExit(), 0u);
    std::vector<std::string> journal = bb::ReadJournal();
    EXPECT_EQ(journal.back(), "IOCTL_SET_DUTY_CYCLE 45 0x00000000");
    EXPECT_EQ(journal.size(), 5u);
    /* OK stored the duty-cycle box; the rest as the file had them. */
    const int expected[SEL_COUNT] = {1, 0, 0, 0, 1, 0, 0, 1, 1, 0};
    for (int i = 0; i < SEL_COUNT; i++)
        EXPECT_EQ(bb::SettingsValue(SelectionKey(i)), expected[i]) << SelectionKey(i);
}
