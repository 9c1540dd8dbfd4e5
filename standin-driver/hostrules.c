/* The host backend's rules: which Linux power-management files a request
   reads and writes, in what order, what their text means, what status the
   program gets, what the journal says, and what is put back afterwards.
   All access goes through the installed HOST_PLATFORM. */
#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"

#define TEXT_CHARS 256   /* one line of a sysfs file */
#define PATH_CHARS 96
#define VALUE_CHARS 24
#define MAX_COOLING 256u /* cooling_deviceN looked at */
#define MAX_HWMON 64u
#define MAX_PWM 8u
#define MISSES_TO_STOP 8u /* numbered devices: this many absent in a row end the search */

static const HOST_PLATFORM *g_Platform;
static uint16_t g_Root[ACPISIM_ROOT_CHARS];
static uint32_t g_IdleMs = ACPISIM_DEFAULT_IDLE_MS;

/* ======================================================================
   Text
   ====================================================================== */

static int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HostFirstLine(const char *text, char *line, size_t size)
{
    const char *end = text;
    line[0] = 0;
    while (*end && *end != '\n')
        end++;
    if (end != text && !*end)
        return 0;           /* characters but no line end: cut short */
    if ((size_t)(end - text) >= size)
        return 0;
    AcpiSimCopy(line, text, (size_t)(end - text));
    line[end - text] = 0;
    return 1;
}

/* Walks the blank-separated words; returns the next word's start and
   length, brackets removed, and whether it was bracketed. */
static const char *NextWord(const char *p, size_t *length, int *bracketed)
{
    while (*p && IsBlank(*p))
        p++;
    if (!*p)
        return 0;
    const char *start = p;
    while (*p && !IsBlank(*p))
        p++;
    *length = (size_t)(p - start);
    *bracketed = *length >= 2 && start[0] == '[' && start[*length - 1] == ']';
    if (*bracketed) {
        *length -= 2;
        start++;
    }
    return start;
}

int HostHasWord(const char *text, const char *word)
{
    size_t length;
    int bracketed;
    for (const char *w = NextWord(text, &length, &bracketed); w;
         w = NextWord(w + length + bracketed, &length, &bracketed))
        if (AcpiSimSameText(w, word, 1, length))
            return 1;
    return 0;
}

int HostSelected(const char *text, char *out, size_t size)
{
    size_t length;
    int bracketed;
    for (const char *w = NextWord(text, &length, &bracketed); w;
         w = NextWord(w + length + bracketed, &length, &bracketed)) {
        if (!bracketed)
            continue;
        if (!length || length >= size)
            return 0;
        AcpiSimCopy(out, w, length);
        out[length] = 0;
        return 1;
    }
    return 0;
}

/* Reads digits into *value; returns the character after them, or 0 when
   there are none or the number does not fit 64 bits. */
static const char *Digits(const char *p, uint64_t *value)
{
    uint64_t v = 0;
    if (*p < '0' || *p > '9')
        return 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        uint32_t digit = (uint32_t)(*p - '0');
        if (v > 1844674407370955161u || (v == 1844674407370955161u && digit > 5))
            return 0;       /* would not fit 64 bits */
        v = v * 10 + digit;
    }
    *value = v;
    return p;
}

int HostParseNumber(const char *text, uint64_t *value)
{
    const char *p = Digits(text, value);
    return p && (*p == 0 || *p == '\n');
}

int HostParseCpuList(const char *text, uint8_t set[HOST_MAX_CPUS / 8])
{
    for (uint32_t i = 0; i < HOST_MAX_CPUS / 8; i++)
        set[i] = 0;
    const char *p = text;
    if (*p == '\n' || !*p)
        return 1;           /* no CPU: an empty list */
    for (;;) {
        uint64_t lo, hi;
        p = Digits(p, &lo);
        if (!p)
            return 0;
        hi = lo;
        if (*p == '-') {
            p = Digits(p + 1, &hi);
            if (!p)
                return 0;
        }
        if (hi < lo || hi >= HOST_MAX_CPUS)
            return 0;
        for (uint64_t c = lo; c <= hi; c++)
            set[c / 8] |= (uint8_t)(1u << (c % 8));
        if (*p == ',') {
            p++;
            continue;
        }
        return *p == 0 || *p == '\n';
    }
}

/* ======================================================================
   Statuses and the journal note
   ====================================================================== */

uint32_t HostStatus(uint32_t s)
{
    switch (s) {
    case ACPISIM_STATUS_SUCCESS:
        return ACPISIM_STATUS_SUCCESS;
    case HOST_STATUS_OBJECT_NAME_NOT_FOUND:
    case HOST_STATUS_OBJECT_PATH_NOT_FOUND:
    case HOST_STATUS_NO_SUCH_DEVICE:
    case HOST_STATUS_NOT_IMPLEMENTED:
    case HOST_STATUS_FILE_IS_A_DIRECTORY:
    case ACPISIM_STATUS_INVALID_DEVICE_REQUEST:
    case ACPISIM_STATUS_NOT_SUPPORTED:
        return ACPISIM_STATUS_NOT_SUPPORTED;
    case HOST_STATUS_ACCESS_DENIED:
        return HOST_STATUS_ACCESS_DENIED;
    case HOST_STATUS_DEVICE_BUSY:
    case HOST_STATUS_SHARING_VIOLATION:
        return HOST_STATUS_DEVICE_BUSY;
    case ACPISIM_STATUS_INVALID_PARAMETER:
        return ACPISIM_STATUS_INVALID_PARAMETER;
    default:
        return HOST_STATUS_IO_DEVICE_ERROR;
    }
}

static char g_NoteBuffer[HOST_NOTE_CHARS], g_Taken[HOST_NOTE_CHARS];
static ACPISIM_TEXT g_Note = { g_NoteBuffer, sizeof g_NoteBuffer, 0 };

/* Adds one or more blank-separated fields to the request's note. */
static void Note(const char *format, ...)
{
    va_list ap;
    if (g_Note.Length)
        AcpiSimPut(&g_Note, " ");
    va_start(ap, format);
    AcpiSimPutList(&g_Note, format, ap);
    va_end(ap);
}

static const char *HostTakeNote(void)
{
    AcpiSimCopy(g_Taken, g_NoteBuffer, g_Note.Length + 1);
    g_Note.Length = 0;
    g_NoteBuffer[0] = 0;
    return g_Taken;
}

/* ======================================================================
   File access: one line read or written whole, at offset 0
   ====================================================================== */

static int Ready(void) { return g_Platform && g_Root[0]; }

/* Reads the file's first line.  A short read (text without a
   line end) or one that may have missed part of the file is a device
   error; an empty file is an empty line. */
static uint32_t ReadLine(const char *path, char *line, size_t size)
{
    static char text[TEXT_CHARS];
    uint32_t got = 0, st;
    line[0] = 0;
    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = g_Platform->Read(g_Platform->Context, g_Root, path, text, sizeof text - 1, &got);
    if (st == HOST_STATUS_END_OF_FILE)
        st = ACPISIM_STATUS_SUCCESS, got = 0;
    if (st)
        return st;
    if (got >= sizeof text - 1)
        return HOST_STATUS_IO_DEVICE_ERROR;
    text[got] = 0;
    return HostFirstLine(text, line, size) ? ACPISIM_STATUS_SUCCESS : HOST_STATUS_IO_DEVICE_ERROR;
}

static uint32_t ReadNumber(const char *path, uint64_t *value)
{
    char line[TEXT_CHARS];
    uint32_t st = ReadLine(path, line, sizeof line);
    if (!st && !HostParseNumber(line, value))
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

/* Writes value and a line end, as `echo value > file` does. */
static uint32_t WriteLine(const char *path, const char *value)
{
    char text[VALUE_CHARS + 2];
    uint32_t length = (uint32_t)AcpiSimFormat(text, sizeof text, "%s\n", value), written = 0;
    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    uint32_t st = g_Platform->Write(g_Platform->Context, g_Root, path, text, length, &written);
    if (!st && written != length)
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

static uint32_t WriteNumber(const char *path, uint64_t value)
{
    char text[VALUE_CHARS];
    AcpiSimFormat(text, sizeof text, "%llu", (unsigned long long)value);
    return WriteLine(path, text);
}

static int Writable(const char *path)
{
    return Ready() && g_Platform->CanWrite(g_Platform->Context, g_Root, path) == ACPISIM_STATUS_SUCCESS;
}

static int Exists(const char *path)
{
    char line[TEXT_CHARS];
    return ReadLine(path, line, sizeof line) == ACPISIM_STATUS_SUCCESS;
}

/* ======================================================================
   Settings to put back when the device's last handle closes
   ====================================================================== */

typedef struct SAVED {
    char Path[PATH_CHARS];
    char Value[VALUE_CHARS];
} SAVED;

static SAVED g_Saved[HOST_MAX_SAVED];
static uint32_t g_SavedCount;

/* Keeps value as the one to put back into path, unless path is kept
   already (its first value is the one the machine had). */
static uint32_t Keep(const char *path, const char *value)
{
    for (uint32_t i = 0; i < g_SavedCount; i++)
        if (AcpiSimSame(g_Saved[i].Path, path))
            return ACPISIM_STATUS_SUCCESS;
    if (g_SavedCount == HOST_MAX_SAVED)
        return HOST_STATUS_IO_DEVICE_ERROR;
    AcpiSimFormat(g_Saved[g_SavedCount].Path, PATH_CHARS, "%s", path);
    AcpiSimFormat(g_Saved[g_SavedCount].Value, VALUE_CHARS, "%s", value);
    g_SavedCount++;
    return ACPISIM_STATUS_SUCCESS;
}

/* Reads the file's present value and keeps it, before a first change. */
static uint32_t Remember(const char *path)
{
    char line[TEXT_CHARS];
    uint32_t st = ReadLine(path, line, sizeof line);
    if (st)
        return st;
    for (size_t n = 0; line[n]; n++)
        if (n + 1 >= VALUE_CHARS)
            return HOST_STATUS_IO_DEVICE_ERROR;   /* too long to keep: leave it alone */
    return Keep(path, line);
}

/* Writes every kept value back, the last kept first; returns how many
   writes failed.  The values were read under the present root: an open
   that names another root puts them back before it switches. */
static uint32_t PutBack(void)
{
    uint32_t failed = 0;
    while (g_SavedCount) {
        SAVED *s = &g_Saved[--g_SavedCount];
        if (WriteLine(s->Path, s->Value))
            failed++;
    }
    return failed;
}

/* ======================================================================
   What the machine has
   ====================================================================== */

#define CPU_PATH "sys/devices/system/cpu/"

static uint8_t g_Online[HOST_MAX_CPUS / 8];

static int Online(uint32_t cpu) { return (g_Online[cpu / 8] >> (cpu % 8)) & 1; }

/* The first online CPU, or HOST_MAX_CPUS when none is. */
static uint32_t FirstOnline(void)
{
    uint32_t cpu = 0;
    while (cpu < HOST_MAX_CPUS && !Online(cpu))
        cpu++;
    return cpu;
}

/* The online CPUs; without the list, CPU 0 alone. */
static uint32_t SurveyCpus(void)
{
    char line[TEXT_CHARS];
    uint32_t st = ReadLine(CPU_PATH "online", line, sizeof line);
    if (st == HOST_STATUS_OBJECT_NAME_NOT_FOUND || st == HOST_STATUS_OBJECT_PATH_NOT_FOUND) {
        HostParseCpuList("0\n", g_Online);
        return ACPISIM_STATUS_SUCCESS;
    }
    if (!st && !HostParseCpuList(line, g_Online))
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

static struct {
    char Driver[24];
    uint32_t FirstCpu, Count;
    char Names[HOST_MAX_IDLE_STATES][24];
} g_Idle;

/* The cpuidle driver and the idle states of the first online CPU;
   STATUS_NOT_SUPPORTED when there is no cpuidle driver. */
static uint32_t SurveyIdle(void)
{
    char path[PATH_CHARS];
    uint32_t st = ReadLine(CPU_PATH "cpuidle/current_driver", g_Idle.Driver, sizeof g_Idle.Driver);
    g_Idle.Count = 0;
    if (st)
        return st;
    if (!g_Idle.Driver[0] || AcpiSimSame(g_Idle.Driver, "none"))
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = SurveyCpus();
    if (st)
        return st;
    g_Idle.FirstCpu = FirstOnline();
    if (g_Idle.FirstCpu == HOST_MAX_CPUS)
        return ACPISIM_STATUS_NOT_SUPPORTED;
    for (uint32_t k = 0; k < HOST_MAX_IDLE_STATES; k++) {
        AcpiSimFormat(path, sizeof path, CPU_PATH "cpu%u/cpuidle/state%u/name", g_Idle.FirstCpu, k);
        if (ReadLine(path, g_Idle.Names[k], sizeof g_Idle.Names[k]))
            break;
        g_Idle.Count = k + 1;
    }
    return g_Idle.Count ? ACPISIM_STATUS_SUCCESS : ACPISIM_STATUS_NOT_SUPPORTED;
}

static int EndsWith(const char *s, const char *tail)
{
    size_t n = 0, t = 0;
    while (s[n])
        n++;
    while (tail[t])
        t++;
    return n >= t && AcpiSimSame(s + n - t, tail);
}

int HostMapIdleState(const char *driver, const char (*names)[24], uint32_t count, uint32_t n)
{
    char want[24];
    int deep[HOST_MAX_IDLE_STATES], firmware = 0;
    uint32_t shallow = 0;

    if (n < 1 || n > 3)
        return -1;
    if (count > HOST_MAX_IDLE_STATES)
        count = HOST_MAX_IDLE_STATES;
    int acpi = AcpiSimSame(driver, "acpi_idle");
    AcpiSimFormat(want, sizeof want, acpi ? "C%u" : "C%u_ACPI", n);
    for (uint32_t k = 0; k < count; k++) {
        if (AcpiSimSame(names[k], want))
            return (int)k;
        firmware |= EndsWith(names[k], "_ACPI");
    }
    if (acpi || firmware)
        return -1;          /* named by the firmware, and this one is not among them */
    for (uint32_t k = 0; k < count; k++)
        if (!AcpiSimSame(names[k], "POLL"))
            deep[shallow++] = (int)k;
    if (n == 1)
        return shallow >= 1 ? deep[0] : -1;
    if (n == 3)
        return shallow >= 2 ? deep[shallow - 1] : -1;
    return shallow >= 3 ? deep[(shallow - 1) / 2] : -1;
}

/* The path of a cooling device's file ("type", "cur_state", "max_state"). */
static void CoolingFile(char *path, uint32_t device, const char *file)
{
    AcpiSimFormat(path, PATH_CHARS, "sys/class/thermal/cooling_device%u/%s", device, file);
}

static struct {
    int Fan;                    /* a cooling device of type Fan */
    uint32_t FanDevice;
    uint32_t Processors;        /* cooling devices of type Processor */
    uint16_t Processor[MAX_COOLING];
} g_Cooling;

static void SurveyCooling(void)
{
    char path[PATH_CHARS], type[TEXT_CHARS];
    uint32_t misses = 0;
    g_Cooling.Fan = 0;
    g_Cooling.Processors = 0;
    for (uint32_t i = 0; i < MAX_COOLING && misses < MISSES_TO_STOP; i++) {
        CoolingFile(path, i, "type");
        if (ReadLine(path, type, sizeof type)) {
            misses++;
            continue;
        }
        misses = 0;
        if (AcpiSimSame(type, "Fan") && !g_Cooling.Fan) {
            g_Cooling.Fan = 1;
            g_Cooling.FanDevice = i;
        } else if (AcpiSimSame(type, "Processor")) {
            g_Cooling.Processor[g_Cooling.Processors++] = (uint16_t)i;
        }
    }
}

/* The first writable hwmon pwmN: 1 with its device and number, or 0. */
static int FindPwm(uint32_t *device, uint32_t *pwm)
{
    char path[PATH_CHARS];
    uint32_t misses = 0;
    for (uint32_t i = 0; i < MAX_HWMON && misses < MISSES_TO_STOP; i++) {
        AcpiSimFormat(path, sizeof path, "sys/class/hwmon/hwmon%u/name", i);
        if (!Exists(path)) {
            misses++;
            continue;
        }
        misses = 0;
        for (uint32_t j = 1; j <= MAX_PWM; j++) {
            AcpiSimFormat(path, sizeof path, "sys/class/hwmon/hwmon%u/pwm%u", i, j);
            if (Exists(path) && Writable(path)) {
                *device = i;
                *pwm = j;
                return 1;
            }
        }
    }
    return 0;
}

enum { THROTTLE_NONE, THROTTLE_PROCESSOR, THROTTLE_PSTATE, THROTTLE_CPUFREQ };
static const char *const g_ThrottleNames[] = { "none", "processor", "intel_pstate", "cpufreq" };
#define PSTATE_MAX CPU_PATH "intel_pstate/max_perf_pct"

/* The first of: Processor cooling devices, intel_pstate, cpufreq.  *file
   gets the file whose writability stands for the mechanism. */
static int SurveyThrottle(char file[PATH_CHARS])
{
    SurveyCooling();
    if (g_Cooling.Processors) {
        CoolingFile(file, g_Cooling.Processor[0], "cur_state");
        return THROTTLE_PROCESSOR;
    }
    if (Exists(PSTATE_MAX)) {
        AcpiSimFormat(file, PATH_CHARS, "%s", PSTATE_MAX);
        return THROTTLE_PSTATE;
    }
    if (!SurveyCpus()) {
        uint32_t cpu = FirstOnline();
        AcpiSimFormat(file, PATH_CHARS, CPU_PATH "cpu%u/cpufreq/scaling_max_freq", cpu);
        if (cpu < HOST_MAX_CPUS && Exists(file))
            return THROTTLE_CPUFREQ;
    }
    return THROTTLE_NONE;
}

#define POWER_STATE "sys/power/state"
#define MEM_SLEEP "sys/power/mem_sleep"
#define DISK_MODE "sys/power/disk"
#define SUSPEND_SUCCESS "sys/power/suspend_stats/success"
#define SUSPEND_FAIL "sys/power/suspend_stats/fail"
#define WAKEALARM "sys/class/rtc/rtc0/wakealarm"
#define SINCE_EPOCH "sys/class/rtc/rtc0/since_epoch"

/* ======================================================================
   Requests
   ====================================================================== */

static uint32_t HostGetCapabilities(uint32_t configured, uint32_t *mask)
{
    char state[TEXT_CHARS], mem[TEXT_CHARS], disk[TEXT_CHARS], path[PATH_CHARS];
    uint32_t m = 0, device, pwm;
    (void)configured;   /* the simulated machine's setting */
    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;

    ReadLine(POWER_STATE, state, sizeof state);
    ReadLine(MEM_SLEEP, mem, sizeof mem);
    ReadLine(DISK_MODE, disk, sizeof disk);
    if (HostHasWord(state, "standby") && Writable(POWER_STATE))
        m |= ACPI_CAP_S1;
    if (HostHasWord(state, "mem") && HostHasWord(mem, "deep") && Writable(POWER_STATE) && Writable(MEM_SLEEP))
        m |= ACPI_CAP_S3;
    if (HostHasWord(state, "disk") && HostHasWord(disk, "platform") && Writable(POWER_STATE) && Writable(DISK_MODE))
        m |= HOST_CAP_S4;

    if (SurveyIdle() == ACPISIM_STATUS_SUCCESS) {
        static const uint32_t bits[3] = { HOST_CAP_C1, ACPI_CAP_C2, ACPI_CAP_C3 };
        Note("idle=%s", g_Idle.Driver);
        for (uint32_t n = 1; n <= 3; n++) {
            int k = HostMapIdleState(g_Idle.Driver, (const char (*)[24])g_Idle.Names, g_Idle.Count, n);
            AcpiSimFormat(path, sizeof path, CPU_PATH "cpu%u/cpuidle/state%d/disable", g_Idle.FirstCpu, k);
            if (k >= 0 && Writable(path)) {
                m |= bits[n - 1];
                Note("C%u=%s", n, g_Idle.Names[k]);
            }
        }
    } else {
        Note("idle=none");
    }

    SurveyCooling();
    CoolingFile(path, g_Cooling.FanDevice, "cur_state");
    if (g_Cooling.Fan && Writable(path)) {
        m |= HOST_CAP_FAN;
        Note("fan=cooling_device%u", g_Cooling.FanDevice);
    } else if (!g_Cooling.Fan && FindPwm(&device, &pwm)) {
        m |= HOST_CAP_FAN;
        Note("fan=hwmon%u/pwm%u", device, pwm);
    } else {
        Note("fan=none");
    }

    int throttle = SurveyThrottle(path);
    if (throttle != THROTTLE_NONE && Writable(path))
        m |= HOST_CAP_DUTY;
    else
        throttle = THROTTLE_NONE;
    Note("throttle=%s", g_ThrottleNames[throttle]);

    if (Exists(SINCE_EPOCH) && Writable(WAKEALARM)) {
        m |= HOST_CAP_RTC;
        Note("rtc=rtc0");
    } else {
        Note("rtc=none");
    }
    *mask = m;
    return ACPISIM_STATUS_SUCCESS;
}

/* The suspend counters, where the kernel has them: 1 when read. */
static int SuspendStats(uint64_t *success, uint64_t *fail)
{
    return !ReadNumber(SUSPEND_SUCCESS, success) && !ReadNumber(SUSPEND_FAIL, fail);
}

static uint32_t HostSetSleepState(uint32_t sleepState)
{
    /* S1, S2, S3, S4: what is written to /sys/power/state, and for S3 and
       S4 the mode file that must hold the platform's own sleep first. */
    static const struct { const char *State, *ModeFile, *Mode; } kinds[4] = {
        { "standby", 0, 0 }, { 0, 0, 0 },
        { "mem", MEM_SLEEP, "deep" }, { "disk", DISK_MODE, "platform" },
    };
    char line[TEXT_CHARS], was[VALUE_CHARS];
    uint64_t success0 = 0, fail0 = 0, success1 = 0, fail1 = 0;
    uint32_t st, restore = 0;
    int counted, switched = 0;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    const char *action = kinds[sleepState - 2].State;
    const char *modeFile = kinds[sleepState - 2].ModeFile, *mode = kinds[sleepState - 2].Mode;
    const char *modeName = modeFile ? modeFile + sizeof "sys/power" : 0;   /* "mem_sleep", "disk" */
    if (!action) {
        Note("S2=none");        /* Linux has no S2 */
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    st = ReadLine(POWER_STATE, line, sizeof line);
    if (st || !HostHasWord(line, action)) {
        Note("state=%s-missing", action);
        return st ? HostStatus(st) : ACPISIM_STATUS_NOT_SUPPORTED;
    }
    if (modeFile) {
        st = ReadLine(modeFile, line, sizeof line);
        if (st || !HostHasWord(line, mode)) {
            Note("%s=%s-missing", modeName, mode);
            return st ? HostStatus(st) : ACPISIM_STATUS_NOT_SUPPORTED;
        }
        if (!HostSelected(line, was, sizeof was))
            return HOST_STATUS_IO_DEVICE_ERROR;    /* nothing known to put back */
        switched = !AcpiSimSame(was, mode);
    }
    counted = sleepState != 5 && SuspendStats(&success0, &fail0);   /* hibernation is not counted */

    if (switched) {
        st = WriteLine(modeFile, mode);
        if (st) {
            Note("%s=%s failed", modeName, mode);
            return HostStatus(st);
        }
    }
    Note("state=%s", action);
    if (modeFile)
        Note(switched ? "%s=%s was=%s" : "%s=%s", modeName, mode, was);
    st = WriteLine(POWER_STATE, action);      /* returns after the machine has woken */
    if (switched) {
        restore = WriteLine(modeFile, was);
        if (restore) {
            Note("restore=failed");
            Keep(modeFile, was);                /* tried again at the last close */
        }
    }
    if (!st && counted && SuspendStats(&success1, &fail1)) {
        Note("suspend_stats success+=%llu fail+=%llu",
             (unsigned long long)(success1 - success0), (unsigned long long)(fail1 - fail0));
        if (success1 <= success0 || fail1 > fail0)
            st = HOST_STATUS_IO_DEVICE_ERROR;   /* the sleep was aborted */
    }
    return HostStatus(st ? st : restore);
}

/* ---- Processor idle states ---- */

enum { FLAG_PRESENT = 1, FLAG_DISABLED = 2, FLAG_CHANGED = 4 };
static uint8_t g_Flags[HOST_MAX_CPUS][HOST_MAX_IDLE_STATES];

static void StateFile(char *path, uint32_t cpu, uint32_t k, const char *file)
{
    AcpiSimFormat(path, PATH_CHARS, CPU_PATH "cpu%u/cpuidle/state%u/%s", cpu, k, file);
}

/* Reads every online CPU's disable flags.  A CPU without the state
   directories is left out. */
static uint32_t SaveFlags(void)
{
    char path[PATH_CHARS];
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        for (uint32_t k = 0; k < HOST_MAX_IDLE_STATES; k++)
            g_Flags[cpu][k] = 0;
        if (!Online(cpu))
            continue;
        for (uint32_t k = 0; k < g_Idle.Count; k++) {
            uint64_t v;
            StateFile(path, cpu, k, "disable");
            uint32_t st = ReadNumber(path, &v);
            if (st == HOST_STATUS_OBJECT_NAME_NOT_FOUND || st == HOST_STATUS_OBJECT_PATH_NOT_FOUND)
                continue;
            if (st)
                return st;
            g_Flags[cpu][k] = (uint8_t)(FLAG_PRESENT | (v ? FLAG_DISABLED : 0));
        }
    }
    return ACPISIM_STATUS_SUCCESS;
}

/* Leaves only state `only` enabled on every CPU that has it. */
static uint32_t RestrictFlags(uint32_t only)
{
    char path[PATH_CHARS];
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        if (!(g_Flags[cpu][only] & FLAG_PRESENT))
            continue;
        for (uint32_t k = 0; k < g_Idle.Count; k++) {
            uint8_t *f = &g_Flags[cpu][k];
            int disable = k != only;
            if (!(*f & FLAG_PRESENT) || !(*f & FLAG_DISABLED) == !disable)
                continue;
            StateFile(path, cpu, k, "disable");
            uint32_t st = WriteLine(path, disable ? "1" : "0");
            if (st)
                return st;
            *f |= FLAG_CHANGED;
        }
    }
    return ACPISIM_STATUS_SUCCESS;
}

/* Puts every changed flag back; a flag that cannot be written now is kept
   for the last close.  Returns the first failure's status. */
static uint32_t RestoreFlags(uint32_t *failed)
{
    char path[PATH_CHARS];
    uint32_t first = ACPISIM_STATUS_SUCCESS;
    *failed = 0;
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++)
        for (uint32_t k = 0; k < g_Idle.Count; k++) {
            uint8_t *f = &g_Flags[cpu][k];
            if (!(*f & FLAG_CHANGED))
                continue;
            const char *value = (*f & FLAG_DISABLED) ? "1" : "0";
            StateFile(path, cpu, k, "disable");
            uint32_t st = WriteLine(path, value);
            if (st) {
                Keep(path, value);
                (*failed)++;
                if (!first)
                    first = st;
            }
            *f &= (uint8_t)~FLAG_CHANGED;
        }
    return first;
}

/* The state's usage and time (microseconds), summed over the CPUs that
   have it. */
static uint32_t Residency(uint32_t k, uint64_t *usage, uint64_t *time)
{
    char path[PATH_CHARS];
    *usage = *time = 0;
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        uint64_t u, t;
        if (!(g_Flags[cpu][k] & FLAG_PRESENT))
            continue;
        StateFile(path, cpu, k, "usage");
        uint32_t st = ReadNumber(path, &u);
        StateFile(path, cpu, k, "time");
        if (!st)
            st = ReadNumber(path, &t);
        if (st)
            return st;
        *usage += u;
        *time += t;
    }
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t HostSetCpuState(uint32_t cpuState)
{
    uint64_t usage0 = 0, time0 = 0, usage1 = 0, time1 = 0;
    uint32_t st, restore, failed;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = SurveyIdle();
    if (st) {
        Note("idle=none");
        return HostStatus(st);
    }
    int k = HostMapIdleState(g_Idle.Driver, (const char (*)[24])g_Idle.Names, g_Idle.Count, cpuState);
    if (k < 0) {
        Note("idle=%s C%u=none", g_Idle.Driver, cpuState);
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    Note("idle=%s", g_Idle.Names[k]);
    st = SaveFlags();
    if (st)
        return HostStatus(st);

    st = RestrictFlags((uint32_t)k);
    if (!st)
        st = Residency((uint32_t)k, &usage0, &time0);
    if (!st) {
        g_Platform->Idle(g_Platform->Context, g_IdleMs);
        st = Residency((uint32_t)k, &usage1, &time1);
    }
    restore = RestoreFlags(&failed);
    if (!st) {
        Note("usage+=%llu time+=%lluus",
             (unsigned long long)(usage1 > usage0 ? usage1 - usage0 : 0),
             (unsigned long long)(time1 > time0 ? time1 - time0 : 0));
        if (usage1 <= usage0)
            st = HOST_STATUS_IO_DEVICE_ERROR;     /* never entered */
    }
    if (failed)
        Note("restore-failed=%u", failed);
    return HostStatus(st ? st : restore);
}

/* ---- Fan and clock ---- */

/* Keeps the file's value, writes value and reads back what was applied. */
static uint32_t Apply(const char *path, uint64_t value, uint64_t *applied)
{
    uint32_t st = Remember(path);
    if (!st)
        st = WriteNumber(path, value);
    if (!st)
        st = ReadNumber(path, applied);
    return st;
}

static uint32_t HostSetFan(uint32_t on)
{
    char path[PATH_CHARS];
    uint64_t max = 255, applied = 0;
    uint32_t st, device, pwm;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    SurveyCooling();
    if (g_Cooling.Fan) {
        CoolingFile(path, g_Cooling.FanDevice, "max_state");
        st = ReadNumber(path, &max);
        CoolingFile(path, g_Cooling.FanDevice, "cur_state");
        Note("mechanism=cooling_device%u", g_Cooling.FanDevice);
    } else if (FindPwm(&device, &pwm)) {
        Note("mechanism=hwmon%u/pwm%u", device, pwm);
        AcpiSimFormat(path, sizeof path, "sys/class/hwmon/hwmon%u/pwm%u_enable", device, pwm);
        st = ACPISIM_STATUS_SUCCESS;
        if (Exists(path)) {                     /* manual control first */
            uint64_t mode;
            st = Apply(path, 1, &mode);
        }
        AcpiSimFormat(path, sizeof path, "sys/class/hwmon/hwmon%u/pwm%u", device, pwm);
    } else {
        Note("mechanism=none");
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    if (!st)
        st = Apply(path, on ? max : 0, &applied);
    if (!st) {
        Note("applied=%llu", (unsigned long long)applied);
        if (applied != (on ? max : 0))
            st = HOST_STATUS_IO_DEVICE_ERROR;
    }
    return HostStatus(st);
}

static uint32_t HostSetDutyCycle(uint32_t percent)
{
    char path[PATH_CHARS];
    uint64_t applied = 0, max = 0;
    uint32_t st = ACPISIM_STATUS_SUCCESS;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    int how = SurveyThrottle(path);
    Note("mechanism=%s", g_ThrottleNames[how]);
    switch (how) {
    case THROTTLE_PROCESSOR:
        /* T-states: 0 runs at full speed, max_state is the deepest throttle. */
        for (uint32_t i = 0; i < g_Cooling.Processors && !st; i++) {
            uint64_t got = 0;
            CoolingFile(path, g_Cooling.Processor[i], "max_state");
            st = ReadNumber(path, &max);
            CoolingFile(path, g_Cooling.Processor[i], "cur_state");
            if (!st)
                st = Apply(path, AcpiSimDivide((100 - percent) * max + 50, 100, 0), &got);
            if (!i)
                applied = got;
        }
        if (!st)
            Note("applied=%llu max=%llu devices=%u", (unsigned long long)applied,
                 (unsigned long long)max, g_Cooling.Processors);
        break;
    case THROTTLE_PSTATE:
        st = Apply(PSTATE_MAX, percent, &applied);
        if (!st)
            Note("applied=%llu", (unsigned long long)applied);
        break;
    case THROTTLE_CPUFREQ: {
        int first = 1;
        for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS && !st; cpu++) {
            uint64_t got = 0;
            if (!Online(cpu))
                continue;
            AcpiSimFormat(path, sizeof path, CPU_PATH "cpu%u/cpufreq/cpuinfo_max_freq", cpu);
            st = ReadNumber(path, &max);
            AcpiSimFormat(path, sizeof path, CPU_PATH "cpu%u/cpufreq/scaling_max_freq", cpu);
            if (!st)
                st = Apply(path, AcpiSimDivide(max * percent, 100, 0), &got);
            if (first && !st) {
                applied = got;
                Note("applied=%llukHz max=%llukHz", (unsigned long long)applied, (unsigned long long)max);
            }
            first = 0;
        }
        break;
    }
    default:
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    return HostStatus(st);
}

/* ---- RTC wake alarm ---- */

/* The time the alarm fires, as the journal shows it. */
#define FIRES_FIELDS 6   /* Year to Second */

static void NoteTime(const char *name, int64_t local)
{
    RTC_ALARM_TIME t;
    HostSecondsToRecord(local, &t);
    Note("%s=", name);
    AcpiSimPutAlarm(&g_Note, &t, FIRES_FIELDS);
}

static uint32_t HostSetAlarm(const RTC_ALARM_TIME *alarm)
{
    HOST_CLOCK now;
    char text[VALUE_CHARS];
    int passed;
    int64_t fires;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    if (!Exists(SINCE_EPOCH)) {
        Note("rtc=none");
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    g_Platform->Now(g_Platform->Context, &now);
    int64_t delay = HostAlarmDelay(&now, alarm, &passed, &fires);
    /* A set alarm refuses another (EBUSY) until it is cleared. */
    uint32_t st = WriteLine(WAKEALARM, "0");
    AcpiSimFormat(text, sizeof text, "+%lld", (long long)delay);
    if (!st)
        st = WriteLine(WAKEALARM, text);
    Note("wakealarm=%s", text);
    if (passed)
        Note("passed");
    NoteTime("fires", fires);
    return HostStatus(st);
}

static uint32_t HostGetAlarm(RTC_ALARM_TIME *alarm)
{
    HOST_CLOCK now;
    char line[TEXT_CHARS];
    uint64_t at, rtcNow;

    if (!Ready())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    uint32_t st = ReadLine(WAKEALARM, line, sizeof line);
    if (st)
        return HostStatus(st);
    if (!line[0]) {
        static const RTC_ALARM_TIME none = { 0, 0, 0, 0, 0, 0, 0, 0 };
        *alarm = none;
        Note("wakealarm=none");
        return ACPISIM_STATUS_SUCCESS;
    }
    if (!HostParseNumber(line, &at))
        return HOST_STATUS_IO_DEVICE_ERROR;
    st = ReadNumber(SINCE_EPOCH, &rtcNow);
    if (st)
        return HostStatus(st);
    /* The alarm counts in the RTC's own clock, UTC or local: only its
       distance from the RTC's now is used, added to the system's now. */
    g_Platform->Now(g_Platform->Context, &now);
    int64_t utc = now.Utc + (int64_t)at - (int64_t)rtcNow;
    HostSecondsToRecord(HostUtcToLocal(&now.Zone, utc), alarm);
    Note("wakealarm=%llu since_epoch=%llu", (unsigned long long)at, (unsigned long long)rtcNow);
    return ACPISIM_STATUS_SUCCESS;
}

/* ======================================================================
   Calendar and time zone
   ====================================================================== */

#define DAY 86400
#define DAYS_1601_TO_1970 134774

static int32_t DaysFromCivil(int32_t y, uint32_t m, uint32_t d)
{
    y -= m <= 2;
    int32_t era = (y >= 0 ? y : y - 399) / 400;
    uint32_t yoe = (uint32_t)(y - era * 400);
    uint32_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    uint32_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (int32_t)doe - 719468 + DAYS_1601_TO_1970;
}

static void CivilFromDays(int32_t z, int32_t *y, uint32_t *m, uint32_t *d)
{
    z += 719468 - DAYS_1601_TO_1970;
    int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    uint32_t doe = (uint32_t)(z - era * 146097);
    uint32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    uint32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    uint32_t mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = (int32_t)yoe + era * 400 + (*m <= 2);
}

static int32_t DaysOf(int64_t seconds, uint32_t *secondOfDay)
{
    if (seconds < 0)
        seconds = 0;    /* before 1601: not a time this backend meets */
    return (int32_t)AcpiSimDivide((uint64_t)seconds, DAY, secondOfDay);
}

static int64_t At(int32_t days, uint32_t hour, uint32_t minute, uint32_t second)
{
    return (int64_t)days * DAY + hour * 3600 + minute * 60 + second;
}

int64_t HostRecordToSeconds(const RTC_ALARM_TIME *t)
{
    return At(DaysFromCivil(t->Year, t->Month, t->Day), t->Hour, t->Minute, t->Second);
}

void HostSecondsToRecord(int64_t seconds, RTC_ALARM_TIME *t)
{
    uint32_t sec, m, d;
    int32_t y, days = DaysOf(seconds, &sec);
    CivilFromDays(days, &y, &m, &d);
    t->Year = (uint16_t)y;
    t->Month = (uint16_t)m;
    t->Day = (uint16_t)d;
    t->Hour = (uint16_t)(sec / 3600);
    t->Minute = (uint16_t)(sec / 60 % 60);
    t->Second = (uint16_t)(sec % 60);
    t->Milliseconds = 0;
    t->Weekday = (uint16_t)((days + 1) % 7);   /* 1601-01-01 was a Monday */
}

/* The local time of a zone date's change in that year, or -1. */
static int64_t ChangeIn(const HOST_ZONE_DATE *r, int32_t year)
{
    static const uint8_t monthDays[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    uint32_t day;
    if (r->Month < 1 || r->Month > 12)
        return -1;
    if (r->Year) {
        if (r->Year != year)
            return -1;
        day = r->Day;
    } else {
        int leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        uint32_t length = monthDays[r->Month - 1] + (r->Month == 2 && leap);
        int32_t first = DaysFromCivil(year, r->Month, 1);
        uint32_t firstWeekday = (uint32_t)((first + 1) % 7);
        day = 1 + (r->DayOfWeek % 7 + 7 - firstWeekday) % 7 + 7 * (r->Day ? r->Day - 1u : 0u);
        while (day > length)
            day -= 7;
    }
    return At(DaysFromCivil(year, r->Month, day), r->Hour, r->Minute, r->Second);
}

static int Daylight(const HOST_ZONE *z, int64_t utc)
{
    uint32_t m, d, sec;
    int32_t year;
    if (!z->DaylightDate.Month || !z->StandardDate.Month)
        return 0;
    CivilFromDays(DaysOf(utc - (int64_t)(z->Bias + z->StandardBias) * 60, &sec), &year, &m, &d);
    int64_t start = ChangeIn(&z->DaylightDate, year), end = ChangeIn(&z->StandardDate, year);
    if (start < 0 || end < 0)
        return 0;
    start += (int64_t)(z->Bias + z->StandardBias) * 60;   /* given in standard time */
    end += (int64_t)(z->Bias + z->DaylightBias) * 60;     /* given in daylight time */
    return start < end ? utc >= start && utc < end : utc >= start || utc < end;
}

int64_t HostUtcToLocal(const HOST_ZONE *z, int64_t utc)
{
    int32_t bias = z->Bias + (Daylight(z, utc) ? z->DaylightBias : z->StandardBias);
    return utc - (int64_t)bias * 60;
}

int64_t HostLocalToUtc(const HOST_ZONE *z, int64_t local)
{
    int64_t standard = local + (int64_t)(z->Bias + z->StandardBias) * 60;
    int64_t daylight = local + (int64_t)(z->Bias + z->DaylightBias) * 60;
    int okStandard = HostUtcToLocal(z, standard) == local;
    int okDaylight = HostUtcToLocal(z, daylight) == local;
    if (okStandard && okDaylight)
        return standard < daylight ? standard : daylight;
    return okDaylight ? daylight : standard;
}

int64_t HostAlarmDelay(const HOST_CLOCK *now, const RTC_ALARM_TIME *alarm, int *passed, int64_t *fires)
{
    int64_t target = HostLocalToUtc(&now->Zone, HostRecordToSeconds(alarm));
    *passed = target <= now->Utc;
    if (*passed) {
        /* As the CMOS alarm itself fires: the next time that time of day
           comes round, today or tomorrow (the day after when a change of
           the clocks skipped it). */
        uint32_t sec;
        int32_t today = DaysOf(HostUtcToLocal(&now->Zone, now->Utc), &sec);
        for (int32_t day = today; day <= today + 2; day++) {
            target = HostLocalToUtc(&now->Zone, At(day, alarm->Hour, alarm->Minute, alarm->Second));
            if (target > now->Utc)
                break;
        }
    }
    *fires = HostUtcToLocal(&now->Zone, target);
    return target - now->Utc;
}

/* ======================================================================
   The backend
   ====================================================================== */

static void HostOpen(const ACPISIM_CONFIG *cfg)
{
    /* Settings changed under another root go back there first, never into
       the new one. */
    if (g_SavedCount && !AcpiSimSameText(g_Root, cfg->SysfsRoot, 2, ACPISIM_WHOLE))
        PutBack();
    AcpiSimCopy(g_Root, cfg->SysfsRoot, sizeof g_Root);
    g_Root[ACPISIM_ROOT_CHARS - 1] = 0;
    g_IdleMs = cfg->HostIdleMilliseconds;
}

static void HostRelease(void)
{
    PutBack();
}

void AcpiSimHostSetPlatform(const HOST_PLATFORM *platform)
{
    g_Platform = platform;
}

void AcpiSimHostReset(void)
{
    g_SavedCount = 0;
    g_Root[0] = 0;
    g_IdleMs = ACPISIM_DEFAULT_IDLE_MS;
    HostTakeNote();
}

const ACPISIM_BACKEND AcpiSimHost = {
    "host",
    HostSetSleepState, HostSetCpuState, HostSetFan, HostSetDutyCycle,
    HostGetCapabilities, HostSetAlarm, HostGetAlarm,
    HostOpen, HostRelease, HostTakeNote,
};
