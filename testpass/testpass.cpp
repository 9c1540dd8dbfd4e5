/* The test pass: the four steps of the Start command, each walking its
   tests with message boxes owned by the main window, the log pane and the
   driver. */
#include "testpass/testpass.h"
#include "testpass/passrules.h"
#include "driver/device.h"
#include "log/logpane.h"
#include "app/globals.h"

class WindowOperator : public PassOperator {
public:
    explicit WindowOperator(HWND hwndOwner) : m_hwndOwner(hwndOwner) {}

    void LoadText(int id, char *buf, int size) override
    {
        buf[0] = '\0';
        LoadStringA(g_hInst, id, buf, size);
    }

    bool AskYes(const char *text) override
    {
        /* A box that fails to appear counts as Yes: only IDNO is No. */
        return MessageBoxA(m_hwndOwner, text, g_szMsgCaption, MB_YESNO) != IDNO;
    }

    void Log(int level, const char *line) override
    {
        LogPrintf(level, "%s", line);
    }

    void Request(uint32_t code, uint32_t value) override
    {
        DeviceRequestValue(code, value);   /* a failure is logged there */
    }

private:
    HWND m_hwndOwner;
};

static void RunStep(HWND hwnd, PassStep step)
{
    WindowOperator op(hwnd);
    RunPassStep(step, g_TestSelection, op);
}

void RunProcessorStateTests(HWND hwnd) { RunStep(hwnd, PASS_CPU); }
void RunSystemStateTests(HWND hwnd)    { RunStep(hwnd, PASS_SYSTEM); }
void RunFanTests(HWND hwnd)            { RunStep(hwnd, PASS_FAN); }
void RunThrottleTests(HWND hwnd)       { RunStep(hwnd, PASS_THROTTLE); }
