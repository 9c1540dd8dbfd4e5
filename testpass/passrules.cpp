/* The tests of a pass, in their order, and the walk over them. */
#include "testpass/passrules.h"
#include "driver/acpiioctl.h"
#include "log/logrules.h"
#include "res/resource.h"
#include "res/texts.h"
#include <stdio.h>

const PassRow g_PassRows[] = {
    /* step          name               prompt               verdict             entry     unsup  group  request                first value             last value */
    { PASS_CPU,      IDS_C1_NAME,       IDS_C1_PROMPT,       0,                  SEL_C1,   false, false, IOCTL_SET_CPU_STATE,   ACPI_CPU_STATE_MIN,     ACPI_CPU_STATE_MIN },
    { PASS_CPU,      IDS_C2_NAME,       IDS_C2_PROMPT,       0,                  SEL_C2,   true,  false, IOCTL_SET_CPU_STATE,   ACPI_CPU_STATE_MIN + 1, ACPI_CPU_STATE_MIN + 1 },
    { PASS_CPU,      IDS_C3_NAME,       IDS_C3_PROMPT,       0,                  SEL_C3,   true,  false, IOCTL_SET_CPU_STATE,   ACPI_CPU_STATE_MAX,     ACPI_CPU_STATE_MAX },
    { PASS_SYSTEM,   IDS_S1_NAME,       IDS_S1_PROMPT,       IDS_S1_VERDICT,     SEL_S1,   true,  false, IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(1),    ACPI_SLEEP_STATE(1) },
    { PASS_SYSTEM,   IDS_S2_NAME,       IDS_S2_PROMPT,       IDS_S2_VERDICT,     SEL_S2,   true,  false, IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(2),    ACPI_SLEEP_STATE(2) },
    { PASS_SYSTEM,   IDS_S3_NAME,       IDS_S3_PROMPT,       IDS_S3_VERDICT,     SEL_S3,   true,  false, IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(3),    ACPI_SLEEP_STATE(3) },
    { PASS_FAN,      IDS_FANON_NAME,    IDS_FANON_PROMPT,    IDS_FANON_VERDICT,  SEL_FAN,  true,  false, IOCTL_SET_FAN,         ACPI_FAN_ON,            ACPI_FAN_ON },
    { PASS_FAN,      IDS_FANOFF_NAME,   IDS_FANOFF_PROMPT,   IDS_FANOFF_VERDICT, SEL_FAN,  true,  false, IOCTL_SET_FAN,         ACPI_FAN_OFF,           ACPI_FAN_OFF },
    { PASS_THROTTLE, IDS_THROTTLE_NAME, IDS_THROTTLE_PROMPT, 0,                  SEL_DUTY, true,  true,  IOCTL_SET_DUTY_CYCLE,  10,                     90 },
};
const int g_nPassRows = sizeof g_PassRows / sizeof g_PassRows[0];

/* The log lines of a single test and of a group, with the name as %s. */
struct PassFormats {
    const char *skipped;
    const char *unsupported;
};
static const PassFormats s_single = {
    PASS_SKIPPED_FORMAT "\r\n",
    PASS_UNSUPPORTED_FORMAT "\r\n",
};
static const PassFormats s_group = {
    PASS_GROUP_SKIPPED_FORMAT "\r\n",
    PASS_GROUP_UNSUPPORTED_FORMAT "\r\n",
};

static void LogLine(PassOperator &op, int level, const char *format, const char *name, uint32_t value = 0)
{
    char line[LOG_LINE_SIZE];
    snprintf(line, sizeof line, format, name, (int)value);
    op.Log(level, line);
}

static void RunRow(const PassRow &row, uint8_t entry, PassOperator &op)
{
    char name[TEXT_SIZE], prompt[TEXT_SIZE], verdict[TEXT_SIZE];
    op.LoadText(row.idName, name, sizeof name);
    op.LoadText(row.idPrompt, prompt, sizeof prompt);
    if (row.idVerdict)
        op.LoadText(row.idVerdict, verdict, sizeof verdict);

    const PassFormats &fmt = row.group ? s_group : s_single;
    if (entry == SELECT_SKIP) {
        LogLine(op, LOG_SKIPPED, fmt.skipped, name);
        return;
    }
    if (entry == SELECT_UNSUPPORTED && row.hasUnsupported) {
        LogLine(op, LOG_NORMAL, fmt.unsupported, name);
        return;
    }
    if (!op.AskYes(prompt)) {
        LogLine(op, LOG_SKIPPED, fmt.skipped, name);
        return;
    }
    if (row.group) {
        for (uint32_t v = row.firstValue; v <= row.lastValue; v += PASS_GROUP_STEP) {
            LogLine(op, LOG_NORMAL, PASS_GROUP_RUNNING_FORMAT "\r\n", name, v);
            op.Request(row.code, v);
        }
        return;
    }
    LogLine(op, LOG_NORMAL, PASS_RUNNING_FORMAT "\r\n", name);
    op.Request(row.code, row.firstValue);
    if (row.idVerdict)
        op.AskYes(verdict);   /* the answer is the operator's own record */
}

void RunPassStep(PassStep step, const uint8_t table[SEL_COUNT], PassOperator &op)
{
    for (int i = 0; i < g_nPassRows; i++)
        if (g_PassRows[i].step == step)
            RunRow(g_PassRows[i], table[g_PassRows[i].entry], op);
}
