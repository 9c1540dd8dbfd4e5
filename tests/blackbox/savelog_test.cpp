/* "&Save As..." as an operator uses it: Wine's Save As dialog, the files on
   disk, the error box and the replace question (the name rule: unit tests). */
#include "tests/blackbox/blackbox.h"
#include <fstream>
#include <iterator>
#include <regex>

using bb::Program;

static std::string ReadFileBytes(const std::string &name)
{
    std::ifstream f(name, std::ios::binary);
    return f ? std::string(std::istreambuf_iterator<char>(f), {}) : "<missing>";
}

class NoDriverSaveLog : public NoDriverTest {
protected:
    std::string dir = [] { char t[MAX_PATH]; GetTempPathA(MAX_PATH, t); return std::string(t); }();

    void SetUp() override { NoDriverTest::SetUp(); TearDown(); }
    void TearDown() override
    {
        for (const char *f : {"session.TXT", "session.RTF", "report.TXT"})
            DeleteFileA((dir + f).c_str());
        RemoveDirectoryA((dir + "taken.TXT").c_str());
    }

    /* File, Save As..., the pair chosen, the name typed, Save. */
    static void SaveAs(Program &app, const std::string &name, int pair)
    {
        app.Command(IDM_SAVEAS);
        bb::SaveAsDialog dlg = app.WaitForSaveAs();
        dlg.ChooseFilter(pair);
        dlg.SetFileName(name);
        dlg.Save();
    }
    /* The save ran to its end and no box is up. */
    static void ExpectDone(Program &app)
    {
        EXPECT_TRUE(app.Responsive(10000));
        EXPECT_EQ(app.FindMessageBox().text, "");
    }
};

TEST_F(NoDriverSaveLog, TextAndRtfFilesCarryTheLog)
{
    Program app;
    app.Command(IDM_START);   /* nothing selected: bold blue lines after the bold red one */
    std::string log = app.WaitForLogText("tests were skipped...");
    SaveAs(app, dir + "session", 1);
    ExpectDone(app);
    EXPECT_EQ(ReadFileBytes(dir + "session.TXT"), log);

    SaveAs(app, dir + "session", 2);
    ExpectDone(app);
    std::string rtf = ReadFileBytes(dir + "session.RTF");
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf.substr(0, 80);
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\b[^a-z])"))) << "bold";
    for (const char *part : {"\\red255\\green0\\blue0", "\\red0\\green127\\blue255", "skipped..."})
        EXPECT_NE(rtf.find(part), std::string::npos) << part;
}

TEST_F(NoDriverSaveLog, FileThatCannotBeCreatedShowsOneErrorBoxAndWritesNothing)
{
    Program app;
    ASSERT_TRUE(CreateDirectoryA((dir + "taken.TXT").c_str(), NULL));
    SaveAs(app, dir + "taken", 1);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption + ": " + box.text, "ACPI VMT - Error: Error [5] saving " + dir + "taken.TXT");
    app.Answer(box, IDOK);
    ExpectDone(app);
    EXPECT_EQ(GetFileAttributesA((dir + "taken").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(NoDriverSaveLog, AppendedExtensionAsksBeforeReplacing)
{
    Program app;
    std::ofstream(dir + "report.TXT") << "an older log";
    for (int answer : {IDNO, IDYES}) {
        SaveAs(app, dir + "report", 1);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        EXPECT_EQ(box.caption, "ACPI VMT's");
        EXPECT_EQ(box.text, dir + "report.TXT already exists.\nDo you want to replace it?");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        app.Answer(box, answer);
        ExpectDone(app);
        EXPECT_EQ(ReadFileBytes(dir + "report.TXT"), answer == IDNO ? "an older log" : app.LogText());
    }
}
