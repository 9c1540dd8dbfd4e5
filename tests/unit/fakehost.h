/* The one fake machine of the host backend's tests.  A machine is entries separated by ';': "PATH=TEXT"
   (TEXT and a line end), "PATH" (empty) and "PATH!FAULT".  PATH leaves out "sys/", and "cpu/", "cpuN/stateK",
   "coolN/", "hwmonN/" and "rtc/" stand for devices/system/cpu/, cpuN/cpuidle/stateK,
   class/thermal/cooling_deviceN/, class/hwmon/hwmonN/ and class/rtc/rtc0/; "{2-5}" makes an entry for
   each number, a TEXT "{a,b,...}" giving each its item.  Faults: read:HEX, write:HEX (every read or write
   fails so), deny (writing refused), cut:N (a read gives N bytes), take:N (a write takes N),
   refuse:VALUE (writing VALUE is busy), then:PATH=TEXT (a write sets that file too), never (on a
   stateK/name: never entered).  Writes act as the kernel's: power/state takes a word it lists,
   mem_sleep and disk bracket the word written, wakealarm takes 0 or +N (since_epoch + N) and is busy
   while set.  "clock" holds UTC, "Y,M,D,h,m,s ZONE" (UTC or Berlin).  Each millisecond of the idle
   wait, each online CPU adds 1 to the usage and 900 to the time of its deepest enabled state. */
#ifndef VMT_TESTS_FAKEHOST_H
#define VMT_TESTS_FAKEHOST_H

#include "standin-driver/hostrules.h"
#include <map>
#include <string>
#include <vector>

HOST_ZONE Berlin();   /* CEST from the last Sunday of March 2:00 to that of October 3:00 */

struct FakeHost {
    struct File {
        std::string text, refuse;
        uint32_t read = 0, write = 0, cut = ~0u, take = ~0u;
        bool deny = false, never = false;
        std::vector<std::string> then;
    };
    std::map<std::string, File> files;
    std::vector<std::string> writes;   /* "PATH=VALUE", "ROOT|" before under another root than Z:\, "!" after when failed */
    const HOST_PLATFORM platform;
    explicit FakeHost(const std::string &machine);
    ~FakeHost();
    void Fix();   /* takes every fault away */
};

#endif
