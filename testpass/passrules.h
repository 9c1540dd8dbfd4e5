/* The test pass as a table of tests and one walker over it.  No Windows
   headers: the questions, log lines and requests go through PassOperator,
   so the sequencing runs natively against scripted answers too. */
#ifndef VMT_PASSRULES_H
#define VMT_PASSRULES_H

#include <stdint.h>
#include "selection/selectionrules.h"

/* The four steps of a pass, in the order Start runs them. */
enum PassStep { PASS_CPU, PASS_SYSTEM, PASS_FAN, PASS_THROTTLE };

struct PassRow {
    PassStep step;
    int      idName;
    int      idPrompt;
    int      idVerdict;        /* 0: no verdict question */
    int      entry;            /* index into the selection table */
    bool     hasUnsupported;   /* false: SELECT_UNSUPPORTED runs like SELECT_RUN */
    bool     group;            /* one prompt for every value, plural lines */
    uint32_t code;
    uint32_t firstValue;
    uint32_t lastValue;        /* a group sends firstValue, +PASS_GROUP_STEP, ... lastValue */
};

#define PASS_GROUP_STEP 10

extern const PassRow g_PassRows[];
extern const int     g_nPassRows;

/* What a pass needs from its surroundings. */
class PassOperator {
public:
    /* The text of a string-table entry, cut to size; empty when missing. */
    virtual void LoadText(int id, char *buf, int size) = 0;
    /* A Yes/No question: false only when the operator answered No. */
    virtual bool AskYes(const char *text) = 0;
    virtual void Log(int level, const char *line) = 0;
    /* Sends a request with a 4-byte value; its outcome is the driver link's concern. */
    virtual void Request(uint32_t code, uint32_t value) = 0;
protected:
    ~PassOperator() {}
};

/* Walks the rows of one step against the table's current entries. */
void RunPassStep(PassStep step, const uint8_t table[SEL_COUNT], PassOperator &op);

#endif
