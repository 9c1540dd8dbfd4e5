/* The saved log file's name and format, and the texts naming that file. */
#include "log/saverules.h"
#include "res/texts.h"
#include <stdio.h>
#include <string.h>

/* Both extensions have this length; a name's last as many characters are
   compared with them. */
#define EXTENSION_LENGTH (sizeof SAVE_TEXT_EXTENSION - 1)
static_assert(sizeof SAVE_RTF_EXTENSION == sizeof SAVE_TEXT_EXTENSION, "extensions of one length");
#define CUT_MARK_LENGTH  (sizeof SAVE_CUT_MARK - 1)

int SettleSaveName(char *name, size_t size, unsigned filterIndex, bool *appended)
{
    if (appended)
        *appended = false;
    size_t len = strnlen(name, size);
    if (len == size)
        return 0;   /* not a terminated name */

    /* The last four characters, letters after the dot in capitals. */
    char ext[EXTENSION_LENGTH + 1] = "";
    if (len >= EXTENSION_LENGTH) {
        memcpy(ext, name + len - EXTENSION_LENGTH, EXTENSION_LENGTH);
        for (size_t i = 1; i < EXTENSION_LENGTH; i++)
            if (ext[i] >= 'a' && ext[i] <= 'z')
                ext[i] = (char)(ext[i] - 'a' + 'A');
    }
    if (strcmp(ext, SAVE_TEXT_EXTENSION) == 0)
        return SAVE_FORMAT_TEXT;
    if (strcmp(ext, SAVE_RTF_EXTENSION) == 0)
        return SAVE_FORMAT_RTF;

    int format = filterIndex == SAVE_FORMAT_RTF ? SAVE_FORMAT_RTF : SAVE_FORMAT_TEXT;
    const char *add = format == SAVE_FORMAT_RTF ? SAVE_RTF_EXTENSION : SAVE_TEXT_EXTENSION;
    if (len + EXTENSION_LENGTH >= size)
        return 0;
    memcpy(name + len, add, EXTENSION_LENGTH + 1);
    if (appended)
        *appended = true;
    return format;
}

size_t SaveNameFieldLimit(size_t folderLength)
{
    const size_t room = SAVE_DIALOG_CHARS - 2;   /* the backslash and the terminator */
    return folderLength < room ? room - folderLength : 1;
}

/* Copies up to n bytes of s to buf at pos, leaving room for the terminator. */
static size_t Put(char *buf, size_t size, size_t pos, const char *s, size_t n)
{
    while (n-- > 0 && *s && pos + 1 < size)
        buf[pos++] = *s++;
    buf[pos] = '\0';
    return pos;
}

size_t FormatWithName(char *buf, size_t size, const char *before, const char *name,
                      const char *after, LeadBytePredicate isLead)
{
    if (size == 0)
        return 0;
    size_t lb = strlen(before), ln = strlen(name), la = strlen(after);
    size_t room = size - 1;
    size_t pos = Put(buf, size, 0, before, lb);

    if (lb + ln + la <= room) {
        pos = Put(buf, size, pos, name, ln);
        return Put(buf, size, pos, after, la);
    }
    if (lb + la + CUT_MARK_LENGTH >= room) {   /* no room for any of the name */
        pos = Put(buf, size, pos, SAVE_CUT_MARK, CUT_MARK_LENGTH);
        return Put(buf, size, pos, after, la);
    }

    /* Keep a third of the room for the name's beginning (drive, first
       folders) and the rest for its end (the file's own name).  The cuts
       are found walking from the start: a trail byte cannot be told from a
       single-byte character when walking backwards. */
    size_t keep = room - lb - la - CUT_MARK_LENGTH;
    size_t frontBudget = keep / 3;
    size_t tailFrom = ln - (keep - frontBudget);
    size_t front = 0, tail = ln;
    for (size_t i = 0; i < ln;) {
        size_t step = (isLead && isLead((unsigned char)name[i]) && name[i + 1]) ? 2 : 1;
        if (i + step <= frontBudget)
            front = i + step;
        if (i >= tailFrom && tail == ln)
            tail = i;
        i += step;
    }
    pos = Put(buf, size, pos, name, front);
    pos = Put(buf, size, pos, SAVE_CUT_MARK, CUT_MARK_LENGTH);
    pos = Put(buf, size, pos, name + tail, ln - tail);
    return Put(buf, size, pos, after, la);
}

size_t FormatSaveError(char *buf, size_t size, long code, const char *name,
                       LeadBytePredicate isLead)
{
    char before[40];
    snprintf(before, sizeof before, SAVE_ERROR_FORMAT, code);
    return FormatWithName(buf, size, before, name, "", isLead);
}

size_t FormatReplaceQuestion(char *buf, size_t size, const char *name,
                             LeadBytePredicate isLead)
{
    return FormatWithName(buf, size, "", name, SAVE_REPLACE_TEXT, isLead);
}
