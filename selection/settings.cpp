/* Loading and saving the selection table through the private profile, and
   the capability query at start-up. */
#include "app/veruvez.h"
#include "driver/acpiioctl.h"

/* The private profile of one settings file. */
class PrivateProfile : public ProfileStore {
public:
    explicit PrivateProfile(const char *fileName) : m_fileName(fileName) {}

    unsigned int ReadInt(const char *section, const char *key, int defaultValue) override
    {
        return GetPrivateProfileIntA(section, key, defaultValue, m_fileName);
    }

    void WriteString(const char *section, const char *key, const char *text) override
    {
        WritePrivateProfileStringA(section, key, text, m_fileName);   /* failure goes unseen */
    }

private:
    const char *m_fileName;
};

void LoadTestSelection(const char *fileName)
{
    PrivateProfile profile(fileName);
    LoadSelection(profile, g_TestSelection);
    g_bSelectionLoaded = true;
}

void SaveTestSelection(const char *fileName)
{
    /* A table that was never loaded holds no stored choices: keep the file. */
    if (!g_bSelectionLoaded)
        return;
    PrivateProfile profile(fileName);
    SaveSelection(profile, g_TestSelection);
}

void QueryCapabilities(void)
{
    DWORD mask = 0, cbReply = 0;
    /* Only a whole reply counts; a failed request leaves the entries as loaded. */
    if (DeviceRequestReply(IOCTL_GET_CAPABILITIES, &mask, sizeof mask, &cbReply) == 0
        && cbReply == sizeof mask)
        MarkUnsupported(g_TestSelection, mask);
}
