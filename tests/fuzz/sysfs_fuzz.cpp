/* The host backend's readers of sysfs files: whatever a file holds, a reader stays inside its buffers,
   and what it reads gives itself back when written out and read again.
   Input: the file text and a word (each up to a NUL), then two buffer sizes (a byte each). */
#include "standin-driver/hostrules.h"
#include "fuzz.h"
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in{ data, size };
    std::string text = in.Text(), word = in.Text();
    size_t lineSize = 1 + in.Take<uint8_t>() % 64, outSize = 1 + in.Take<uint8_t>() % 32;

    /* Buffers of exactly the size handed over: ASan sees a write beyond. */
    std::unique_ptr<char[]> line(new char[lineSize]), out(new char[outSize]);
    if (HostFirstLine(text.c_str(), line.get(), lineSize)) {
        CheckText(line.get(), lineSize, strlen(line.get()));
        FUZZ_CHECK(text.compare(0, strlen(line.get()) + 1, line.get() + std::string("\n")) == 0 || text.empty());
    }
    if (HostHasWord(text.c_str(), word.c_str()))
        FUZZ_CHECK(text.find(word) != std::string::npos);
    if (HostSelected(text.c_str(), out.get(), outSize)) {
        CheckText(out.get(), outSize, strlen(out.get()));
        FUZZ_CHECK(text.find("[" + std::string(out.get()) + "]") != std::string::npos && HostHasWord(text.c_str(), out.get()));
    }

    /* A number, and a CPU list, written out as the kernel writes them and read again. */
    uint64_t value, again;
    if (HostParseNumber(text.c_str(), &value))
        FUZZ_CHECK(HostParseNumber((std::to_string(value) + "\n").c_str(), &again) && again == value);
    uint8_t set[HOST_MAX_CPUS / 8], back[HOST_MAX_CPUS / 8];
    if (HostParseCpuList(text.c_str(), set)) {
        std::string list;
        for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++)
            if (set[cpu / 8] >> (cpu % 8) & 1)
                list += (list.empty() ? "" : ",") + std::to_string(cpu);
        FUZZ_CHECK(HostParseCpuList((list + "\n").c_str(), back) && memcmp(set, back, sizeof set) == 0);
    }
    return 0;
}
