/* The backends the driver can carry its requests out with, chosen by name
   (the Backend registry value).  A new backend defines its ACPISIM_BACKEND
   in a file of its own and is listed here. */
#include "standin-driver/acpisimrules.h"
#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"

/* The first is the default. */
static const ACPISIM_BACKEND *const g_Backends[] = {
    &AcpiSimSimulated,
    &AcpiSimHost,
};

const ACPISIM_BACKEND *AcpiSimFindBackend(const char *name)
{
    if (!name || !*name)
        return g_Backends[0];
    for (size_t i = 0; i < sizeof g_Backends / sizeof g_Backends[0]; i++)
        if (AcpiSimSame(g_Backends[i]->Name, name))
            return g_Backends[i];
    return 0;
}

void AcpiSimReleaseBackends(void (*failed)(const ACPISIM_BACKEND *be, uint32_t status))
{
    for (size_t i = 0; i < sizeof g_Backends / sizeof g_Backends[0]; i++) {
        uint32_t st = g_Backends[i]->Release ? g_Backends[i]->Release() : ACPISIM_STATUS_SUCCESS;
        if (st)
            failed(g_Backends[i], st);
    }
}
