/* The rule that settles a saved log file's name and format, and the texts
   that carry a file name into a message box.  No Windows headers. */
#ifndef VMT_SAVERULES_H
#define VMT_SAVERULES_H

#include <stddef.h>

#define SAVE_DIALOG_CHARS 256   /* what the Save As dialog may fill */

/* Stream formats; the same values as the Save As filter indices and as
   SF_TEXT / SF_RTF. */
#define SAVE_FORMAT_TEXT 1
#define SAVE_FORMAT_RTF  2

/* Settles the final name and the format from the name the dialog returned
   (in place, in a buffer of `size` bytes) and the filter index chosen.
   A name ending in .TXT or .RTF (any case) keeps its name and takes that
   format; any other name gets the chosen pair's extension in capitals
   appended, and the pair's format.  Index 2 is RTF, anything else text.
   *appended tells whether an extension was added.  Returns the format, or 0
   when the extension does not fit the buffer (the name is left untouched). */
int SettleSaveName(char *name, size_t size, unsigned filterIndex, bool *appended);

/* How many characters the dialog's name field takes while it shows a folder
   whose path has folderLength characters: the folder, a backslash and the
   name stay within SAVE_DIALOG_CHARS - 1 characters, and so does a name
   typed with its own folder.  At least 1. */
size_t SaveNameFieldLimit(size_t folderLength);

/* Tells whether a byte starts a two-byte character of the ANSI code page. */
typedef bool (*LeadBytePredicate)(unsigned char c);

/* Writes before + name + after into buf (size bytes, always terminated).
   When the whole text does not fit, the name keeps its beginning and its
   end with "..." in between; cuts fall between characters only (isLead
   tells the two-byte characters; NULL: single-byte code page).  Returns the
   length written. */
size_t FormatWithName(char *buf, size_t size, const char *before, const char *name,
                      const char *after, LeadBytePredicate isLead);

/* "Error [code] saving name", the name shortened as above. */
size_t FormatSaveError(char *buf, size_t size, long code, const char *name,
                       LeadBytePredicate isLead);

/* The question asked before an existing file is replaced by a name that got
   its extension after the dialog. */
size_t FormatReplaceQuestion(char *buf, size_t size, const char *name,
                             LeadBytePredicate isLead);

#endif
