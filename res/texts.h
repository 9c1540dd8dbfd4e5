/* The program's fixed texts that are not in its string table, in one place
   for the program and for the tests and benchmarks that look for them. */
#ifndef VMT_TEXTS_H
#define VMT_TEXTS_H

#define BANNER_TEXT     "Advanced Configuration and Power Interface functional Velmont Test"
#define NO_DRIVER_TEXT  "Could not find the WDM driver acpi.sys!"
#define NO_DRIVER_TRACE "Could not find: c:\\windows\\system\\acpi.sys\n"
#define TRACE_PREFIX    "[VERUVEZ.EXE] "   /* before every debugger line */
#define ABOUT_NAME      "ACPI Dravel"
#define FILTER_CAPTION  "ACPI Filter Options"
#define SAVE_CAPTION    "Save Log File"

/* The buffer of a string-table text, of a file name or of a message that
   names a file, its terminator included (the platform's MAX_PATH). */
#define TEXT_SIZE       260

#endif
