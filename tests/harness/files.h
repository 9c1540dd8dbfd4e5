/* What the program and the stand-in driver keep outside the program: the
   settings file, the driver's journal and the driver's registry settings. */
#ifndef VMT_HARNESS_FILES_H
#define VMT_HARNESS_FILES_H

#include "tests/harness/common.h"

namespace bb {

/* The whole file as it is now; "" when it cannot be opened. */
std::string ReadWholeFile(const std::string &path);

/* ---- settings file: VERUVEZ.INI in the Windows directory ----------------- */

std::string ReadSettingsFile();                 /* "" when missing */
void        WriteSettingsFile(const std::string &contents);
void        DeleteSettingsFile();
/* A settings file whose keys hold these values, in table order (SEL_S1 to
   SEL_RTC); keys past the end of values are left out. */
void        WriteSettings(const std::vector<int> &values);
/* The integer of key in the program's section, or `missing` when absent. */
long        SettingsValue(const std::string &key, long missing = -1);

/* ---- stand-in driver ----------------------------------------------------- */

/* Journal lines without their line ends; empty when there is no journal. */
std::vector<std::string> ReadJournal();
/* Empties the journal if it exists. */
void ClearJournal();
/* Waits until the journal has at least n lines; returns them. */
std::vector<std::string> WaitForJournalLines(size_t n, DWORD timeoutMs = kTimeout);

/* Values of the driver's Parameters key, which the driver reads whenever
   the program opens the device.  A deleted value takes its default again. */
void SetDriverParameter(const char *name, DWORD value);
void SetDriverParameter(const char *name, const std::string &value);   /* REG_SZ */
void DeleteDriverParameter(const char *name);
/* Opens and closes the device, so that the driver reads its Parameters key
   now: a program that has the device open meets the new settings with its
   next request (the settings hold for every handle).  Sends no request: the
   journal gets no line. */
void ReloadDriverSettings();

/* Sets a DWORD value for the lifetime of the object, then deletes it. */
class DriverParameterOverride {
public:
    DriverParameterOverride(const char *name, DWORD value);
    ~DriverParameterOverride();
    DriverParameterOverride(const DriverParameterOverride &) = delete;
    DriverParameterOverride &operator=(const DriverParameterOverride &) = delete;

private:
    const char *name_;
};

}  // namespace bb

#endif
