/* Loading and saving the selection table through the private profile. */
#include "app/veruvez.h"

void LoadTestSelection(const char *fileName)
{
    (void)fileName;
}

void SaveTestSelection(const char *fileName)
{
    (void)fileName;
}

void QueryCapabilities(void)
{
}
