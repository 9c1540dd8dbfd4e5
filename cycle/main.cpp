/* VMTCYCLE.EXE: unattended sleep and wake cycles, the RTC alarm waking the
   machine each time.
     VMTCYCLE /sleep:S3 /count:10 /wake:30 [/delay:5] [/tolerance:60] [/log:FILE] [/junit:FILE]
   Ctrl+C (or Ctrl+Break) ends the run after the cycle in progress. */
#include "cycle/cycle.h"
#include "cycle/output.h"
#include "driver/link.h"
#include <stdio.h>

static HANDLE s_stop;   /* set by Ctrl+C */

static BOOL WINAPI OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    SetEvent(s_stop);
    return TRUE;
}

static int Usage(const char *reason)
{
    char usage[CYCLE_USAGE_SIZE];
    CycleUsage(usage, sizeof usage);
    if (!reason) {
        OutputText(usage, false);
        return CYCLE_EXIT_PASSED;
    }
    OutputText(reason, true);
    OutputText("\r\n", true);
    OutputText(usage, true);
    return CYCLE_EXIT_USAGE;
}

/* "what: system error N: the system's text" */
static void ErrorLine(char *line, size_t size, const char *what, DWORD err)
{
    char text[CYCLE_ERROR_TEXT_SIZE];
    SystemErrorText(err, text, sizeof text);
    snprintf(line, size, "%s: system error %lu: %s", what, err, text);
}

/* Writes the report and closes the files; a failure to is told, and a
   run that passed then fails. */
static int Finish(int exitCode)
{
    char line[CYCLE_LINE_SIZE];
    DWORD err = OutputClose();
    if (!err)
        return exitCode;
    ErrorLine(line, sizeof line, "the log or the report could not be written", err);
    OutputText(line, true);
    OutputText("\r\n", true);
    return exitCode ? exitCode : CYCLE_EXIT_FAILED;
}

/* A run that ends before its first cycle: its line, and the report's one
   testcase, "start", failed with it. */
static int EndEarly(int exitCode, const char *line)
{
    OutputLine(line);
    OutputCase("start", 0, line, line);
    return Finish(exitCode);
}

/* The capability query: the mask, or a system error (a short reply is
   one). */
static DWORD QueryCapabilities(HANDLE device, uint32_t *mask)
{
    DWORD bytes;
    *mask = 0;
    DWORD err = AcpiSendRequest(device, IOCTL_GET_CAPABILITIES, mask, ACPI_VALUE_SIZE, &bytes);
    return err ? err : bytes == ACPI_VALUE_SIZE ? 0 : ERROR_INVALID_DATA;
}

static int RunCycles(HANDLE device, const CycleOptions *o)
{
    CycleTally tally = {};
    char line[CYCLE_LINE_SIZE], reason[CYCLE_LINE_SIZE], name[32];
    for (unsigned i = 1; i <= o->count && !tally.stopped; i++) {
        CycleResult r;
        RunCycle(device, o, i, &r);
        CycleVerdict v = CycleJudge(&r, o->tolerance);
        CycleLine(line, sizeof line, o, &r, v);
        CycleReason(reason, sizeof reason, o, &r, v);
        OutputLine(line);
        snprintf(name, sizeof name, "cycle %u", i);
        OutputCase(name, r.sleptMs, v == CYCLE_PASS ? NULL : reason, line);
        CycleCount(&tally, &r, v);
        DWORD pause = i < o->count ? o->delay * 1000 : 0;
        tally.stopped = WaitForSingleObject(s_stop, pause) == WAIT_OBJECT_0;
    }
    CycleSummary(line, sizeof line, o, &tally);
    OutputLine(line);
    return Finish(CycleExitCode(&tally));
}

int main(int argc, char **argv)
{
    CycleOptions o;
    char reason[CYCLE_LINE_SIZE], suite[32];
    switch (CycleParseSwitches(argc, argv, &o, reason, sizeof reason)) {
    case CYCLE_HELP:       return Usage(NULL);
    case CYCLE_BAD_SWITCH: return Usage(reason);
    case CYCLE_RUN:        break;
    }
    const char *file = NULL;
    char line[CYCLE_LINE_SIZE];
    snprintf(suite, sizeof suite, "VMTCYCLE.S%u", o.sleep);
    DWORD err = OutputOpen(o.log, o.junit, suite, &file);
    if (err) {
        snprintf(line, sizeof line, "%s cannot be created", file);
        ErrorLine(reason, sizeof reason, line, err);
        return Usage(reason);
    }

    /* Ctrl+C reaches the run even when it was started with Ctrl+C ignored
       (in a process group of its own, say). */
    s_stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!s_stop || !SetConsoleCtrlHandler(NULL, FALSE) || !SetConsoleCtrlHandler(OnControl, TRUE)) {
        ErrorLine(line, sizeof line, "Ctrl+C will not stop this run", GetLastError());
        OutputLine(line);
    }
    HANDLE device = AcpiOpenDevice();
    if (device == INVALID_HANDLE_VALUE) {
        ErrorLine(line, sizeof line, "no driver: " ACPI_DEVICE_PATH " cannot be opened", GetLastError());
        return EndEarly(CYCLE_EXIT_NO_DRIVER, line);
    }
    uint32_t mask;
    err = QueryCapabilities(device, &mask);
    if (err) {
        ErrorLine(line, sizeof line, "the capability query failed", err);
        return EndEarly(CYCLE_EXIT_NO_DRIVER, line);
    }
    if (!CycleStateSupported(o.sleep, mask)) {
        snprintf(line, sizeof line, "S%u is not supported on this machine (capability mask 0x%02X)", o.sleep,
                 (unsigned)mask);
        return EndEarly(CYCLE_EXIT_USAGE, line);
    }
    int exitCode = RunCycles(device, &o);
    CloseHandle(device);
    return exitCode;
}
