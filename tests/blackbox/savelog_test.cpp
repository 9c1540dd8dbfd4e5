/* "&Save As..." through Wine's Save As dialog (the name rule: unit tests). */
#include "tests/blackbox/blackbox.h"
#include <fstream>
#include <iterator>
#include <regex>

static std::string ReadFileBytes(const std::string &name)
{
    std::ifstream f(name, std::ios::binary);
    return f ? std::string(std::istreambuf_iterator<char>(f), {}) : "<missing>";
}

class NoDriverSaveLog : public NoDriverTest {
protected:
    std::string dir = bb::TempPath("");

    void TearDown() override
    {
        for (const char *f : {"session.TXT", "session.RTF", "report.TXT", "taken.TXT"})
            if (!DeleteFileA((dir + f).c_str()))
                RemoveDirectoryA((dir + f).c_str());
    }

    static void SaveAs(bb::Program &app, const std::string &name, int pair)
    {
        app.Command(IDM_SAVEAS);
        bb::SaveAsDialog dlg = app.WaitForSaveAs();
        dlg.ChooseFilter(pair);
        dlg.SetFileName(name);
        dlg.Save();
    }
    /* The text of the box up once the program answers again; "" when none. */
    static std::string BoxUp(const bb::Program &app)
    { return app.Responsive(10000) ? app.FindMessageBox().text : "(not answering)"; }
};

TEST_F(NoDriverSaveLog, TextAndRtfFilesCarryTheLog)
{
    bb::Program app;
    app.Command(IDM_START);   /* nothing selected: bold blue lines after the bold red one */
    std::string log = app.WaitForLogText("tests were skipped...");
    for (int pair : {1, 2}) {
        SaveAs(app, dir + "session", pair);
        EXPECT_EQ(BoxUp(app), "");
    }
    EXPECT_EQ(ReadFileBytes(dir + "session.TXT"), log);
    std::string rtf = ReadFileBytes(dir + "session.RTF");
    EXPECT_TRUE(std::regex_search(rtf, std::regex(R"(\\b[^a-z])"))) << "bold: " << rtf.substr(0, 80);
    for (const char *part : {"{\\rtf1", "\\red255\\green0\\blue0", "\\red0\\green127\\blue255", "skipped..."})
        EXPECT_NE(rtf.find(part), std::string::npos) << part;
}

/* The dialog takes no name longer than it can hand back: typed on, the
   name stops short, and the log is saved under it. */
TEST_F(NoDriverSaveLog, OverlongTypedNameStopsShortAndIsSaved)
{
    bb::Program app;
    app.Command(IDM_SAVEAS);
    bb::SaveAsDialog dlg = app.WaitForSaveAs();
    std::string typed = dir + std::string(300, 'L');
    dlg.TypeFileName(typed);
    std::string name = dlg.FileName();
    EXPECT_LT(name.size(), 255u);
    EXPECT_EQ(name, typed.substr(0, name.size()));
    dlg.Save();
    EXPECT_EQ(BoxUp(app), "");
    EXPECT_EQ(ReadFileBytes(name + ".TXT"), app.LogText());
    DeleteFileA((name + ".TXT").c_str());
}

TEST_F(NoDriverSaveLog, FileThatCannotBeCreatedShowsOneErrorBoxAndWritesNothing)
{
    bb::Program app;
    ASSERT_TRUE(CreateDirectoryA((dir + "taken.TXT").c_str(), NULL));
    SaveAs(app, dir + "taken", 1);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, bb::ProgramText(IDS_ERRORCAPTION));
    EXPECT_EQ(box.text, "Error [5] saving " + dir + "taken.TXT");
    app.Answer(box, IDOK);
    EXPECT_EQ(BoxUp(app), "");
    EXPECT_EQ(GetFileAttributesA((dir + "taken").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(NoDriverSaveLog, AppendedExtensionAsksBeforeReplacing)
{
    bb::Program app;
    std::ofstream(dir + "report.TXT") << "an older log";
    for (int answer : {IDNO, IDYES}) {
        SaveAs(app, dir + "report", 1);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        EXPECT_EQ(box.caption, bb::ProgramText(IDS_MSGCAPTION));
        EXPECT_EQ(box.text, dir + "report.TXT already exists.\nDo you want to replace it?");
        app.Answer(box, answer);
        EXPECT_EQ(BoxUp(app), "");
        EXPECT_EQ(ReadFileBytes(dir + "report.TXT"), answer == IDNO ? "an older log" : app.LogText());
    }
}
