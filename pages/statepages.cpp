/* The Processor States and System States pages: one check box per state,
   each with a "test" button that enters the state at once. */
#include "pages/pages.h"
#include "pages/protocol.h"
#include "driver/acpiioctl.h"
#include "res/texts.h"

static const PageCheck s_processorChecks[] = {
    { IDC_C1, SEL_C1, { IDC_C1_TEST } },
    { IDC_C2, SEL_C2, { IDC_C2_TEST } },
    { IDC_C3, SEL_C3, { IDC_C3_TEST } },
};
static const PageLayout s_processorLayout = { s_processorChecks, COUNT(s_processorChecks) };

static const PageButton s_processorButtons[] = {
    { IDC_C1_TEST, C1_TEST_TEXT "\r\n", IOCTL_SET_CPU_STATE, ACPI_CPU_STATE_MIN },
    { IDC_C2_TEST, C2_TEST_TEXT "\r\n", IOCTL_SET_CPU_STATE, ACPI_CPU_STATE_MIN + 1 },
    { IDC_C3_TEST, C3_TEST_TEXT "\r\n", IOCTL_SET_CPU_STATE, ACPI_CPU_STATE_MAX },
};

static const PageCheck s_systemChecks[] = {
    { IDC_S1, SEL_S1, { IDC_S1_TEST } },
    { IDC_S2, SEL_S2, { IDC_S2_TEST } },
    { IDC_S3, SEL_S3, { IDC_S3_TEST } },
    { IDC_S4, SEL_S4, { IDC_S4_TEST } },
};
static const PageLayout s_systemLayout = { s_systemChecks, COUNT(s_systemChecks) };

static const PageButton s_systemButtons[] = {
    { IDC_S1_TEST, S1_TEST_TEXT "\r\n", IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(1) },
    { IDC_S2_TEST, S2_TEST_TEXT "\r\n", IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(2) },
    { IDC_S3_TEST, S3_TEST_TEXT "\r\n", IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(3) },
    { IDC_S4_TEST, S4_TEST_TEXT "\r\n", IOCTL_SET_SLEEP_STATE, ACPI_SLEEP_STATE(4) },
};

static INT_PTR StatePageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                             const PageLayout *layout, const PageButton *buttons, int nButtons)
{
    switch (msg) {
    case WM_INITDIALOG:
        PageInitChecks(hwnd, layout);
        return TRUE;
    case WM_COMMAND:
        return PageCheckCommand(hwnd, layout, LOWORD(wParam))
            || PagePressButton(buttons, nButtons, LOWORD(wParam));
    case WM_NOTIFY:
        return PageNotify(hwnd, layout, lParam);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ProcessorPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return StatePageProc(hwnd, msg, wParam, lParam, &s_processorLayout,
                         s_processorButtons, COUNT(s_processorButtons));
}

INT_PTR CALLBACK SystemPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return StatePageProc(hwnd, msg, wParam, lParam, &s_systemLayout,
                         s_systemButtons, COUNT(s_systemButtons));
}
