/* Operator routines for the leak tests and their benchmark: see routines.h. */
#include "tests/soak/routines.h"
#include "res/resource.h"
#include "res/texts.h"
#include "selection/selectionrules.h"
#include <algorithm>

namespace soak {

const RoutineInfo kRoutines[ROUTINE_COUNT] = {
    {"filter sheet, every page, OK or Cancel", 200},
    {"About box", 200},
    {"Save As, Cancel or a new file", 50},
};

namespace {

std::string SaveFolder()
{
    std::string dir = bb::TempPath("vmt-leak\\");
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

/* Cycle number i (i decides OK or Cancel, Cancel or Save). */
void RunRoutine(bb::Program &app, Routine routine, int i)
{
    switch (routine) {
    case FILTER_SHEET: {
        app.Command(IDM_FILTER);
        bb::PropertySheet sheet = app.WaitForPropertySheet();
        for (int page = 1; page < 4; page++)
            sheet.SelectPage(page);
        if (i % 2)
            sheet.Cancel();
        else
            sheet.Ok();
        break;
    }
    case ABOUT_BOX:
        app.Command(IDM_ABOUT);
        bb::PressAndWaitGone(app.WaitForDialog("About " ABOUT_NAME), IDOK, "closing the About box");
        break;
    case SAVE_AS: {
        app.Command(IDM_SAVEAS);
        bb::SaveAsDialog dialog = app.WaitForSaveAs();
        if (i % 2) {
            dialog.Cancel();
            break;
        }
        std::string name = SaveFolder() + bb::Format("log%d.TXT", i);
        DeleteFileA(name.c_str());
        dialog.SetFileName(name);
        dialog.Save();
        app.Settle();
        if (!DeleteFileA(name.c_str()))
            throw bb::HarnessError("the log was not saved as " + name);
        break;
    }
    default:
        break;
    }
    app.Settle();
}

}  // namespace

void RunSeries(bb::Program &app, Routine routine, int every, const Figures &seen)
{
    const int cycles = kRoutines[routine].cycles;
    for (int i = 0; i < 5; i++)
        RunRoutine(app, routine, i);
    seen(0, app.Resources());
    for (int done = 1; done <= cycles; done++) {
        RunRoutine(app, routine, done - 1);
        if (done % every == 0 || done == cycles)
            seen(done, app.Resources());
    }
}

void WriteEverythingSkipped()
{
    bb::WriteSettings(std::vector<int>(SEL_COUNT, SELECT_SKIP));
}

void AddLogBlocks(bb::Program &app, int blocks, const Figures &seen)
{
    /* Posted in batches, each taken in full before the next. */
    const int kBatch = 50;
    for (int block = 1; block <= blocks; block++) {
        for (int done = 0; done < kBlockPasses;) {
            int n = std::min(kBatch, kBlockPasses - done);
            for (int k = 0; k < n; k++)
                app.Command(IDM_START);
            app.Settle(60000);
            done += n;
        }
        seen(block * kBlockLines, app.Resources());
    }
}

}  // namespace soak
