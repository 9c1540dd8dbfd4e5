/* The soak's account of the driver requests: every line of the stand-in
   driver's journal matched, in order, with the log lines that announce it
   and report its outcome.  No windows: it reads the two texts only. */
#ifndef VMT_SOAK_LEDGER_H
#define VMT_SOAK_LEDGER_H

#include <stdint.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace soak {

/* One journal line: "NAME VALUE STATUS[ reply=REPLY]". */
struct JournalEntry {
    std::string name;
    std::vector<uint32_t> value;   /* one number, or the eight alarm fields */
    uint32_t status = 0;
    std::vector<uint32_t> reply;   /* GET codes that succeeded */
};
bool ParseJournalLine(const std::string &line, JournalEntry *entry);

/* The values of a request outside the range the driver accepts (empty
   when all are within it; every value for a code the program never sends). */
std::vector<uint32_t> ValuesOutOfRange(const JournalEntry &entry);

/* The system error the program reports for a status the driver completes
   with (Wine's mapping), or 0 when it is not one the soak uses. */
uint32_t SystemErrorFor(uint32_t status);

class Ledger {
public:
    /* names: the pass's test names by request, "IOCTL_SET_CPU_STATE 1" ->
       "Placing the CPU into C1" (the program's string table). */
    explicit Ledger(std::map<std::string, std::string> passNames, std::string throttleName);

    /* Takes the whole log and journal as they are now (both only grow) and
       matches what is new.  Returns "" or what is wrong.  typedOutOfRange
       says whether the operator typed a value that is outside the range. */
    std::string Check(const std::vector<std::string> &log, const std::vector<std::string> &journal,
                      const std::function<bool(uint32_t)> &typedOutOfRange);

    size_t Requests() const { return nextJournal_; }
    size_t Failed() const { return failed_; }
    size_t TypedOutOfRange() const { return typedOutOfRange_; }

private:
    struct Line;
    Line Classify(const std::string &text) const;
    /* what: "journal line N "..."" for the messages. */
    std::string MatchOne(const JournalEntry &e, const std::string &what,
                         const std::vector<std::string> &log);
    /* The next line at or after nextLog_ that concerns a request. */
    size_t NextSignificant(const std::vector<std::string> &log, Line *line) const;

    std::map<std::string, std::string> announce_;   /* log line -> "NAME VALUE" */
    std::string throttleName_;
    size_t nextJournal_ = 0, nextLog_ = 0, failed_ = 0, typedOutOfRange_ = 0;
};

}  // namespace soak

#endif
