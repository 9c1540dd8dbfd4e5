/* Loading and saving the selection table through the private profile, and
   the capability query at start-up. */
#include "selection/settings.h"
#include "driver/device.h"

void LoadTestSelection(const char *fileName)
{
    for (int i = 0; i < SEL_COUNT; i++)
        g_TestSelection[i] = SelectionFromProfile(
            GetPrivateProfileIntA(SETTINGS_SECTION, SelectionKey(i), SETTINGS_DEFAULT, fileName));
    g_bSelectionLoaded = true;
}

void SaveTestSelection(const char *fileName)
{
    /* A table that was never loaded holds no stored choices: keep the file. */
    if (!g_bSelectionLoaded)
        return;
    for (int i = 0; i < SEL_COUNT; i++) {
        char text[SELECTION_TEXT_SIZE];
        SelectionToText(g_TestSelection[i], text);
        WritePrivateProfileStringA(SETTINGS_SECTION, SelectionKey(i), text, fileName);   /* failure goes unseen */
    }
}

void QueryCapabilities(void)
{
    uint32_t mask = 0;
    DWORD cbReply = 0;
    static_assert(sizeof mask == ACPI_VALUE_SIZE, "the capability mask");
    /* Only a whole reply counts; a failed request leaves the entries as loaded. */
    if (DeviceRequestReply(IOCTL_GET_CAPABILITIES, &mask, ACPI_VALUE_SIZE, &cbReply) == 0
        && cbReply == ACPI_VALUE_SIZE)
        MarkUnsupported(g_TestSelection, mask);
}
