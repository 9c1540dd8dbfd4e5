/* The program's fixed texts that are neither in its string table nor in the
   menu and dialog templates of its resource script, in one place for the
   program and for the tests and benchmarks that look for them.  Plain
   macros, no Windows headers: the native rules use them too.  A log line's
   text is given without its line end; formats take wsprintf's and printf's
   placeholders alike. */
#ifndef VMT_TEXTS_H
#define VMT_TEXTS_H

/* Start-up, main window, About box */
#define BANNER_TEXT     "Advanced Configuration and Power Interface functional Velmont Test"
#define NO_DRIVER_TEXT  "Could not find the WDM driver acpi.sys!"
#define NO_DRIVER_TRACE "Could not find: c:\\windows\\system\\acpi.sys\n"
#define TRACE_PREFIX    "[VERUVEZ.EXE] "   /* before every debugger line */
/* The box shown instead of the main window when the log pane cannot exist:
   the DLL (or the pane) and the system error */
#define NO_PANE_DLL_FORMAT "Could not load %s (system error %lu).\nThe program cannot run without its log pane."
#define NO_PANE_FORMAT     "Could not create the log pane (system error %lu).\nThe program cannot run without it."
#define ABOUT_NAME      "ACPI Dravel"
/* The ACPI revision line, 41 spaces, then the contact line. */
#define ABOUT_TEXT      "Uses ACPI Specification 1.0\n" \
                        "                                         " \
                        "Please direct questions to vmt-support@example.com"

/* Filter options sheet: its caption and its pages' titles */
#define FILTER_CAPTION        "ACPI Filter Options"
#define PROCESSOR_PAGE_TITLE  "Processor States"
#define SYSTEM_PAGE_TITLE     "System States"
#define THERMAL_PAGE_TITLE    "Thermal Control"
#define RTC_PAGE_TITLE        "RTC Alarm"

/* The log lines of the pages' "test" buttons.  "System" with a capital,
   unlike "processor": the product's own texts. */
#define C1_TEST_TEXT          "Placing the processor into C1"
#define C2_TEST_TEXT          "Placing the processor into C2"
#define C3_TEST_TEXT          "Placing the processor into C3"
#define S1_TEST_TEXT          "Placing the System into S1"
#define S2_TEST_TEXT          "Placing the System into S2"
#define S3_TEST_TEXT          "Placing the System into S3"
#define S4_TEST_TEXT          "Placing the System into S4"
#define FAN_ON_TEST_TEXT      "Turning the fan ON"
#define FAN_OFF_TEST_TEXT     "Turning the fan OFF"
#define DUTY_TEST_FORMAT      "Setting the CPU duty cycle to %d%%"

/* RTC Alarm page: the time editor's separators and AM/PM rows, the log line
   of Set alarm (month, day, year, hour, minute, second), and the text of
   Get alarm in the log and its box */
#define RTC_SEPARATOR_TEXT    ":"
#define RTC_AM_TEXT           "AM"
#define RTC_PM_TEXT           "PM"
#define RTC_SET_FORMAT        "Setting RTC Alarm to %d/%d/%d %02d:%02d:%02d"
#define RTC_ALARM_FORMAT      "The RTC Wake Alarm is currently set for %d/%d/%d at %d:%d:%02d"
#define RTC_READ_FAILED_FORMAT \
    "The RTC Wake Alarm could not be read: the driver request failed with system error %lu."

/* Test pass: a test's name from the string table as %s */
#define PASS_RUNNING_FORMAT           "Running the \"%s\" test."
#define PASS_SKIPPED_FORMAT           "The \"%s\" test was skipped..."
#define PASS_UNSUPPORTED_FORMAT       "The \"%s\" test is not supported on this machine."
/* The throttling group: one line a percentage, plural lines for the group */
#define PASS_GROUP_RUNNING_FORMAT     "Running the \"%s to %d%%\" test."
#define PASS_GROUP_SKIPPED_FORMAT     "The \"%s\" tests were skipped..."
#define PASS_GROUP_UNSUPPORTED_FORMAT "The \"%s\" tests are not supported on this machine."

/* A failed driver request: the code's name (or REQUEST_UNKNOWN_NAME) and
   the system error */
#define REQUEST_FAILED_FORMAT "The driver request %s failed with system error %lu."
#define REQUEST_UNKNOWN_NAME  "?"

/* Saving the log: the Save As dialog's caption and filter pairs, and the
   texts of the boxes that name the file (before and after the name; a name
   cut to fit keeps both ends with SAVE_CUT_MARK between them) */
#define SAVE_CAPTION          "Save Log File"
#define SAVE_TEXT_EXTENSION   ".TXT"
#define SAVE_RTF_EXTENSION    ".RTF"
#define SAVE_FILTER           "Text Files (*" SAVE_TEXT_EXTENSION ")\0*" SAVE_TEXT_EXTENSION "\0" \
                              "Rich Text Format (*" SAVE_RTF_EXTENSION ")\0*" SAVE_RTF_EXTENSION "\0"
#define SAVE_ERROR_FORMAT     "Error [%ld] saving "
#define SAVE_REPLACE_TEXT     " already exists.\nDo you want to replace it?"
#define SAVE_CUT_MARK         "..."

/* The buffer of a string-table text, of a file name or of a message that
   names a file, its terminator included (the platform's MAX_PATH). */
#define TEXT_SIZE       260

#endif
