/* A fake machine for the host backend's rules: an in-memory tree of sysfs
   files, each storing what is written to it the way its kernel file does,
   with faults to inject, a clock and an idle wait that lets the processor
   enter the one idle state left enabled. */
#ifndef VMT_TESTS_FAKEHOST_H
#define VMT_TESTS_FAKEHOST_H

#include "standin-driver/hostrules.h"
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeHost;

struct FakeFile {
    std::string text;                 /* what a read gives */
    bool writable = true;             /* CanWrite and Write; false gives access denied */
    uint32_t readStatus = 0;          /* a failing read: its status */
    uint32_t writeStatus = 0;         /* a failing write: its status */
    size_t shortRead = std::string::npos;   /* a read gives only this many bytes */
    size_t shortWrite = std::string::npos;  /* a write takes only this many bytes */
    /* What a successful write does: by default the text becomes the value
       written, as a sysfs attribute reads back.  Runs while the write is in
       progress, so it can stand for a write that blocks (the machine
       sleeping).  Returns the status of the write. */
    std::function<uint32_t(FakeHost &, FakeFile &, const std::string &value)> store;
};

struct FakeWrite {
    std::string root, path, value;    /* value without its line end */
    uint32_t status;
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();

    std::map<std::string, FakeFile> files;
    std::vector<FakeWrite> writes;     /* every write tried, in order */
    std::vector<std::string> probes;   /* every CanWrite, in order */
    HOST_CLOCK clock{};
    uint32_t clockStatus = 0;          /* a failing clock read: its status */
    uint32_t idled = 0;                /* milliseconds waited in all */
    /* Idle states a CPU never enters, by name. */
    std::vector<std::string> neverEntered;

    FakeFile &Set(const std::string &path, const std::string &text);
    std::string Text(const std::string &path) const;
    /* The writes as "path=value", optionally only those under a prefix. */
    std::vector<std::string> Writes(const std::string &under = "") const;

    /* The backend's settings at an open of the device; the status of
       putting back what another root had changed. */
    uint32_t Open(const std::u16string &root = u"Z:\\", uint32_t idleMs = 2000);

    /* Stores: a file that reads the same whatever is written (power/state);
       a choice among words, the written one then in brackets (mem_sleep);
       the RTC's wakealarm (0 clears, +N sets since_epoch + N, another while
       one is set is busy). */
    static uint32_t Action(FakeHost &, FakeFile &, const std::string &value);
    static uint32_t Choice(FakeHost &, FakeFile &, const std::string &value);
    static uint32_t WakeAlarm(FakeHost &, FakeFile &, const std::string &value);

    /* One millisecond of idle on every online CPU. */
    void IdleTick();

    const HOST_PLATFORM platform;
};

/* Machines: a modern laptop (s2idle [deep], intel_idle with POLL C1 C1E C3
   C6 C8 C10 on CPUs 0-3 and an offline CPU 4, intel_pstate and cpufreq, a
   Fan cooling device, RTC), and the same parts one at a time. */
void AddSleep(FakeHost &h, const std::string &state = "freeze mem disk",
              const std::string &memSleep = "s2idle [deep]",
              const std::string &disk = "[platform] shutdown reboot suspend test_resume");
void AddIdle(FakeHost &h, const std::string &driver, const std::vector<std::string> &names,
             const std::string &online = "0-3", unsigned cpus = 5);
void AddCooling(FakeHost &h, unsigned index, const std::string &type, unsigned maxState, unsigned cur = 0);
void AddPstate(FakeHost &h);
void AddCpufreq(FakeHost &h, unsigned cpus = 5);
void AddRtc(FakeHost &h, const std::string &sinceEpoch = "1000000000");
void BuildLaptop(FakeHost &h);

extern const std::vector<std::string> kIntelIdleStates;

#endif
