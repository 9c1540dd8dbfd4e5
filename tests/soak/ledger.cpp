/* The soak's account of the driver requests: see ledger.h. */
#include "tests/soak/ledger.h"
#include "res/texts.h"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace soak {

namespace {

std::vector<uint32_t> Numbers(const std::string &text)
{
    std::vector<uint32_t> v;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ','))
        v.push_back((uint32_t)strtoul(part.c_str(), nullptr, 10));
    return v;
}

bool StartsWith(const std::string &s, const std::string &prefix, std::string *rest)
{
    if (s.compare(0, prefix.size(), prefix) != 0)
        return false;
    *rest = s.substr(prefix.size());
    return true;
}

/* "N<suffix>" with N a whole decimal number as %d prints it (negative for
   values of 2^31 and more). */
bool NumberThen(const std::string &s, const std::string &suffix, uint32_t *n)
{
    if (s.size() <= suffix.size() || s.compare(s.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    std::string digits = s.substr(0, s.size() - suffix.size());
    char *end = nullptr;
    long long v = strtoll(digits.c_str(), &end, 10);
    if (digits.empty() || *end)
        return false;
    *n = (uint32_t)v;
    return true;
}

std::string Describe(const std::vector<uint32_t> &v)
{
    std::string s;
    for (size_t i = 0; i < v.size(); i++)
        s += (i ? "," : "") + std::to_string(v[i]);
    return s;
}

}  // namespace

bool ParseJournalLine(const std::string &line, JournalEntry *e)
{
    std::stringstream ss(line);
    std::string value, status, reply;
    if (!(ss >> e->name >> value >> status) || value == "-")
        return false;
    e->value = Numbers(value);
    e->status = (uint32_t)strtoul(status.c_str(), nullptr, 16);
    e->reply.clear();
    if (ss >> reply) {
        if (reply.compare(0, 6, "reply=") != 0)
            return false;
        e->reply = Numbers(reply.substr(6));
    }
    return !e->value.empty();
}

std::vector<uint32_t> ValuesOutOfRange(const JournalEntry &e)
{
    struct Range { const char *name; std::vector<uint32_t> lo, hi; };
    static const Range kRanges[] = {
        {"IOCTL_SET_SLEEP_STATE", {2}, {5}}, {"IOCTL_SET_CPU_STATE", {1}, {3}},
        {"IOCTL_SET_FAN", {0}, {1}},         {"IOCTL_SET_DUTY_CYCLE", {0}, {100}},
        /* year, month, day, hour, minute, second, milliseconds, day of week */
        {"IOCTL_SET_RTC_ALARM", {1980, 1, 1, 0, 0, 0, 0, 0}, {2099, 12, 31, 23, 59, 59, 999, 6}},
        {"IOCTL_GET_CAPABILITIES", {0}, {UINT32_MAX}},
        {"IOCTL_GET_RTC_ALARM", {0, 0, 0, 0, 0, 0, 0, 0}, {UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX,
                                 UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX}},
    };
    for (const Range &r : kRanges) {
        if (e.name != r.name)
            continue;
        if (e.value.size() != r.lo.size())
            return e.value;
        std::vector<uint32_t> out;
        for (size_t i = 0; i < e.value.size(); i++)
            if (e.value[i] < r.lo[i] || e.value[i] > r.hi[i])
                out.push_back(e.value[i]);
        return out;
    }
    return e.value;   /* no code of the program */
}

uint32_t SystemErrorFor(uint32_t status)
{
    static const struct { uint32_t status, error; } kMap[] = {
        {0xC0000001, 31},   /* STATUS_UNSUCCESSFUL: ERROR_GEN_FAILURE */
        {0xC000000D, 87},   /* STATUS_INVALID_PARAMETER */
        {0xC000009A, 1450}, /* STATUS_INSUFFICIENT_RESOURCES: ERROR_NO_SYSTEM_RESOURCES */
        {0xC0000185, 1117}, /* STATUS_IO_DEVICE_ERROR: ERROR_IO_DEVICE */
        {0x80000005, 234},  /* STATUS_BUFFER_OVERFLOW, a warning: ERROR_MORE_DATA */
    };
    for (const auto &m : kMap)
        if (m.status == status)
            return m.error;
    return 0;
}

/* What a log line says about requests. */
struct Ledger::Line {
    enum Kind { NONE, ANNOUNCE, GET_RESULT, GET_FAIL, ERROR } kind = NONE;
    std::string name;               /* ANNOUNCE, ERROR */
    std::vector<uint32_t> fields;   /* ANNOUNCE: the value; alarm lines: y, m, d, h, min, s */
    uint32_t error = 0;             /* GET_FAIL, ERROR */
};

Ledger::Ledger(std::map<std::string, std::string> passNames, std::string throttleName)
    : throttleName_(std::move(throttleName))
{
    for (const auto &p : passNames)
        announce_["Running the \"" + p.second + "\" test."] = p.first;
    announce_[C1_TEST_TEXT] = "IOCTL_SET_CPU_STATE 1";
    announce_[C2_TEST_TEXT] = "IOCTL_SET_CPU_STATE 2";
    announce_[C3_TEST_TEXT] = "IOCTL_SET_CPU_STATE 3";
    announce_[S1_TEST_TEXT] = "IOCTL_SET_SLEEP_STATE 2";
    announce_[S2_TEST_TEXT] = "IOCTL_SET_SLEEP_STATE 3";
    announce_[S3_TEST_TEXT] = "IOCTL_SET_SLEEP_STATE 4";
    announce_[S4_TEST_TEXT] = "IOCTL_SET_SLEEP_STATE 5";
    announce_[FAN_ON_TEST_TEXT] = "IOCTL_SET_FAN 1";
    announce_[FAN_OFF_TEST_TEXT] = "IOCTL_SET_FAN 0";
}

Ledger::Line Ledger::Classify(const std::string &text) const
{
    Line l;
    std::string rest;
    auto found = announce_.find(text);
    if (found != announce_.end()) {
        l.kind = Line::ANNOUNCE;
        size_t sp = found->second.find(' ');
        l.name = found->second.substr(0, sp);
        l.fields = Numbers(found->second.substr(sp + 1));
        return l;
    }
    uint32_t n;
    if ((StartsWith(text, "Running the \"" + throttleName_ + " to ", &rest) && NumberThen(rest, "%\" test.", &n))
        || (StartsWith(text, "Setting the CPU duty cycle to ", &rest) && NumberThen(rest, "%", &n))) {
        l.kind = Line::ANNOUNCE;
        l.name = "IOCTL_SET_DUTY_CYCLE";
        l.fields = {n};
        return l;
    }
    unsigned m, d, y, h, mi, s;
    char tail;
    if (StartsWith(text, "Setting RTC Alarm to ", &rest)
        && sscanf(rest.c_str(), "%u/%u/%u %u:%u:%u%c", &m, &d, &y, &h, &mi, &s, &tail) == 6) {
        l.kind = Line::ANNOUNCE;
        l.name = "IOCTL_SET_RTC_ALARM";
        l.fields = {y, m, d, h, mi, s};
        return l;
    }
    if (StartsWith(text, "The RTC Wake Alarm is currently set for ", &rest)
        && sscanf(rest.c_str(), "%u/%u/%u at %u:%u:%u%c", &m, &d, &y, &h, &mi, &s, &tail) == 6) {
        l.kind = Line::GET_RESULT;
        l.fields = {y, m, d, h, mi, s};
        return l;
    }
    if (StartsWith(text, "The RTC Wake Alarm could not be read: the driver request failed with system error ", &rest)
        && NumberThen(rest, ".", &n)) {
        l.kind = Line::GET_FAIL;
        l.error = n;
        return l;
    }
    if (StartsWith(text, "The driver request ", &rest)) {
        size_t sp = rest.find(' ');
        if (sp != std::string::npos && StartsWith(rest.substr(sp), " failed with system error ", &rest)
            && NumberThen(rest, ".", &n)) {
            l.kind = Line::ERROR;
            l.name = text.substr(19, sp);
            l.error = n;
        }
    }
    return l;
}

size_t Ledger::NextSignificant(const std::vector<std::string> &log, Line *line) const
{
    for (size_t i = nextLog_; i < log.size(); i++) {
        *line = Classify(log[i]);
        if (line->kind != Line::NONE)
            return i;
    }
    return log.size();
}

std::string Ledger::MatchOne(const JournalEntry &e, const std::string &what,
                             const std::vector<std::string> &log)
{
    Line l;
    size_t at = NextSignificant(log, &l);
    auto found = [&](const char *expected) {
        std::string s = what + ": expected " + expected + " in the log after line " + std::to_string(nextLog_);
        return at < log.size() ? s + ", found line " + std::to_string(at + 1) + " \"" + log[at] + "\""
                               : s + ", found nothing";
    };
    uint32_t error = SystemErrorFor(e.status);
    auto errorMatches = [&](uint32_t logged) { return error ? logged == error : logged != 0; };

    if (e.name == "IOCTL_GET_CAPABILITIES") {
        if (nextJournal_ != 0)
            return what + ": the capability query comes only at start-up";
    } else if (e.name == "IOCTL_GET_RTC_ALARM") {
        if (e.status == 0) {
            std::vector<uint32_t> shown(e.reply.begin(), e.reply.begin() + std::min<size_t>(6, e.reply.size()));
            if (l.kind != Line::GET_RESULT || l.fields != shown)
                return found(("the alarm read, " + Describe(shown)).c_str());
        } else if (l.kind != Line::GET_FAIL || !errorMatches(l.error)) {
            return found("the line saying the alarm could not be read");
        }
        nextLog_ = at + 1;
        if (e.status != 0)
            failed_++;
        return "";
    } else {
        std::vector<uint32_t> announced = e.value;
        if (e.name == "IOCTL_SET_RTC_ALARM" && announced.size() == 8) {
            if (announced[6] != 0)
                return what + ": milliseconds other than 0";
            announced.resize(6);
        }
        if (l.kind != Line::ANNOUNCE || l.name != e.name || l.fields != announced)
            return found(("the line announcing " + e.name + " " + Describe(announced)).c_str());
        nextLog_ = at + 1;
        at = NextSignificant(log, &l);
    }
    if (e.status != 0) {
        if (l.kind != Line::ERROR || l.name != e.name || !errorMatches(l.error))
            return found(("the error line of the failed " + e.name +
                          (error ? " (system error " + std::to_string(error) + ")" : "")).c_str());
        nextLog_ = at + 1;
        failed_++;
    }
    return "";
}

std::string Ledger::Check(const std::vector<std::string> &log, const std::vector<std::string> &journal,
                          const std::function<bool(uint32_t)> &typedOutOfRange)
{
    for (; nextJournal_ < journal.size(); nextJournal_++) {
        const std::string &raw = journal[nextJournal_];
        const std::string what = "journal line " + std::to_string(nextJournal_ + 1) + " \"" + raw + "\"";
        JournalEntry e;
        if (!ParseJournalLine(raw, &e))
            return what + " is no well-formed request of the program";
        std::vector<uint32_t> outside = ValuesOutOfRange(e);
        if (!outside.empty()) {
            bool typed = true;
            for (uint32_t v : outside)
                typed = typed && typedOutOfRange(v);
            if (!typed)
                return what + ": a value outside the driver's range that the operator did not type";
            typedOutOfRange_++;
        }
        std::string problem = MatchOne(e, what, log);
        if (!problem.empty())
            return problem;
    }
    Line l;
    size_t at = NextSignificant(log, &l);
    if (at < log.size())
        return "log line " + std::to_string(at + 1) + " \"" + log[at] +
               "\" concerns a request that the driver's journal does not show";
    return "";
}

}  // namespace soak
